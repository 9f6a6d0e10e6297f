#include "points/grid_refresh.h"

namespace telvara {

void restartServerIfStopped(ModuleServer& server, PanelUi& ui) {
    if (server.running())
        return;
    try {
        server.start();
    } catch (const std::exception& e) {
        ui.setLabelStatus(QString::fromLocal8Bit(e.what()));
    }
}

std::optional<GridSnapshot> refreshGrid(PointTable& table, PanelUi& ui, int& Total_disp_anterior) {
    auto lock = table.lock();
    if (!table.TimerAtualizaGrid_Enabled)
        return std::nullopt;
    ui.setTimerInterval(PanelTimer::TimerAtualizaGrid, 1000);
    ui.setImage2Enabled(true);
    GridSnapshot snap;
    if (table.Total_disp == 0)
        return snap;
    snap.rows.reserve(static_cast<std::size_t>(table.Total_disp));
    for (int r = 0; r < table.Total_disp; ++r) {
        QStringList row;
        row.reserve(kColumns);
        for (int c = 0; c < kColumns; ++c)
            row << table.cell(c, r);
        snap.rows.push_back(std::move(row));
    }
    for (int k = 1; k <= kReceivedSerials && !table.Vetor_NSRec[k].isEmpty(); ++k)
        snap.memo << table.Vetor_NSRec[k];
    if (table.Total_disp != Total_disp_anterior) {
        table.Timer_Carrega_Banco_Enabled = true;
        Total_disp_anterior = table.Total_disp;
    }
    return snap;
}

QString panelPicture(const QString& stLido, const QString& tipo) {
    const bool output = tipo == QStringLiteral("SAIDA DIG") || tipo == QStringLiteral("SAIDA DIGP");
    if (stLido == QStringLiteral("ON"))
        return output ? QStringLiteral("Comliga.bmp") : QStringLiteral("Ledliga.ico");
    return output ? QStringLiteral("ComDesl.bmp") : QStringLiteral("LedDesl.bmp");
}

} // namespace telvara
