#include "points/table_reset.h"

namespace telvara {

void resetPointTable(PointTable& table, ModuleServer& server, PanelUi& ui, int lastColumn) {
    ui.setLabelStatus(QStringLiteral("Status: Refreshed..."));
    server.stop();
    auto lock = table.lock();
    table.reset(lastColumn);
    ui.setCaption(table.caption);
    ui.clearGrid();
}

} // namespace telvara
