#pragma once

#include "core/TableCursor.h"
#include "link/PointTable.h"

namespace telvara {

// Timer_Carrega_BancoTimer: copies the stored settings of every point record of Bd_Valores into
// the matching rows (same Ns and NumeroIO), then lowers Timer_Carrega_Banco_Enabled. Nothing
// happens while the flag is lowered or no row is in use. Returns whether it ran.
bool applyStoredSettings(PointTable& table, TableCursor& bdValores);

} // namespace telvara
