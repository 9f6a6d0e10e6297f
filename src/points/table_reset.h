#pragma once

#include "link/ModuleServer.h"
#include "points/PanelUi.h"

namespace telvara {

// The point table reset behind F6, the automatic reset and the port change: "Status:
// Refreshed...", the module server stopped (without the lock: its threads may be waiting for
// it), then under the lock columns 0..lastColumn emptied, the bare caption back and the grid rows
// emptied. The caller lowers its own flags.
void resetPointTable(PointTable& table, ModuleServer& server, PanelUi& ui, int lastColumn);

} // namespace telvara
