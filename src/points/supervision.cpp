#include "points/supervision.h"

#include "points/table_reset.h"

namespace telvara {

namespace {

void connectionEvent(PointTable& t, int row, bool heard) {
    t.pushEvent(PendingEvent{
        QStringLiteral("Conexão"), heard ? QStringLiteral("ON") : QStringLiteral("OFF"),
        t.cell(col::IP, row), t.cell(col::Numero, row), QStringLiteral("Alterado"),
        heard ? QStringLiteral("Conectou") : QStringLiteral("Desconectado"), QString()});
}

} // namespace

bool superviseConnections(PointTable& table, ModuleServer& server, PanelUi& ui,
                          int& Contador_refresh) {
    {
        auto lock = table.lock();
        if (!table.TimerOut_Enabled)
            return false;
        if (ui.alarmVisible() && !ui.formControlActive())
            ui.bringAlarmToFront();
        if (table.Total_disp == 0)
            return false;

        bool silent = false;
        int interval = 0;
        for (int i = 0; i < table.Total_disp; ++i) {
            // Every module's first row speaks for the module, so no disconnection goes unrecorded.
            const bool firstOfBlock =
                i == 0 || table.cell(col::Numero, i) != table.cell(col::Numero, i - 1);
            const QString evento = table.cell(col::Evento, i);
            if (table.cell(col::Rx1, i) == table.cell(col::Rx2, i)) {
                interval = 5500;
                silent = true;
                if (firstOfBlock && evento != QStringLiteral("Desconectado"))
                    connectionEvent(table, i, false);
                table.setCell(col::Evento, i, QStringLiteral("Desconectado"));
            } else {
                table.setCell(col::Rx2, i, table.cell(col::Rx1, i));
                interval = 8500;
                if (firstOfBlock && evento != QStringLiteral("Conectado"))
                    connectionEvent(table, i, true);
                if (evento != QStringLiteral("ALARME"))
                    table.setCell(col::Evento, i, QStringLiteral("Conectado"));
            }
        }
        ui.setTimerInterval(PanelTimer::TimerOut, interval);
        if (!silent) {
            Contador_refresh = 0;
            return false;
        }
        if (++Contador_refresh < 5)
            return false;
        Contador_refresh = 0;
    }
    resetPointTable(table, server, ui, col::ValorExibido);
    {
        auto lock = table.lock();
        table.Timer_Carrega_Banco_Enabled = false;
        table.TimerOut_Enabled = false;
        table.TimerSuperv_Enabled = false;
    }
    if (ui.formControlActive())
        ui.closeFormControl();
    return true;
}

void warnNoConnection(PointTable& table, PanelUi& ui) {
    {
        auto lock = table.lock();
        if (!table.TimerNinguemConectou_Enabled)
            return;
        table.TimerNinguemConectou_Enabled = false;
    }
    ui.stopTimer(PanelTimer::TimerNinguemConectou);
    ui.ShowMsg(kNoConnectionWarning);
}

} // namespace telvara
