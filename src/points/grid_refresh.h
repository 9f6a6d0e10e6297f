#pragma once

#include "link/ModuleServer.h"
#include "points/PanelUi.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace telvara {

// What one working tick of the grid timer copies for the window to show.
struct GridSnapshot {
    std::vector<QStringList> rows; // rows 0 .. Total_disp - 1, 23 cells each
    QStringList memo;              // received serial numbers, up to the first empty entry
};

// Restarts a stopped module server on every tick, so that a reset before any frame cannot leave
// the panel deaf. A failure to listen is shown in LabelStatus and tried again at the next tick.
void restartServerIfStopped(ModuleServer& server, PanelUi& ui);

// TimerAtualizaGridTimer after the server restart: nullopt while its request flag is lowered.
// Raises Timer_Carrega_Banco_Enabled once per new row count (Total_disp_anterior).
std::optional<GridSnapshot> refreshGrid(PointTable& table, PanelUi& ui, int& Total_disp_anterior);

// The picture of a custom control panel item for a row's state and kind.
QString panelPicture(const QString& stLido, const QString& tipo);

} // namespace telvara
