#pragma once

#include "core/Clock.h"
#include "core/ConfigRecord.h"
#include "core/LocaleFormats.h"
#include "core/TableConnection.h"
#include "link/ModuleServer.h"
#include "points/PanelUi.h"
#include "points/grid_refresh.h"
#include "records/EventLog.h"
#include "records/TotalizerLog.h"
#include "superv/SupervLink.h"

#include <QString>

#include <memory>
#include <optional>

namespace telvara {

// Everything the main window TZUW_Mobile owns, and the rules of its handlers, without a widget:
// the window forwards its events and timers here and shows what it is told.
class Panel {
public:
    // The data folders are those of DataRoot (TELVARA_ROOT).
    Panel(PanelUi& ui, const Clock& clock, LocaleFormats formats, int sendTimeoutMs = 3000);
    ~Panel();

    // Start-up once the window is shown. Throws (DatabaseError and the like) at the failing step;
    // the steps after it, the server start and the start event among them, are then not done.
    void FormShow();
    // Shut-down: saves the two log counters, then writes the event report file. Returns the
    // file's path; an export failure is shown and the program still ends.
    QString FormClose();

    // F6: stops the server, resets the table; the grid timer's next tick starts the server.
    void manualReset();
    struct PortFields {
        QString porta, ipSuperv;
    };
    // F7 when the fields are about to show: what the configuration record holds.
    PortFields portFields();
    void Rectangle1DblClick();
    // OK of the port fields: resets the table, moves the server to the typed port and stores port
    // and supervisory host. Throws for a port that is not a number from 1 to 65535, after the
    // reset (the grid timer then starts the server again on the old port) and before saving.
    void ButtonPortaClick(const QString& porta, const QString& ipSuperv);
    // A grid cell was selected: true when the row is in use and the dialog opens.
    bool StringGrid1SelectCell(int column, int row);

    std::optional<GridSnapshot> TimerAtualizaGridTimer();
    void Timer_Carrega_BancoTimer();
    void TimerOutTimer();
    void TimerNinguemConectouTimer();
    void TimerRegLogTimer();
    void TimerRegTotTimer();
    SupervTick TimerSupervTimer();

    PointTable& table() { return table_; }
    ModuleServer& server() { return server_; }
    EventLog& eventLog() { return eventLog_; }
    TotalizerLog& totalizerLog() { return totalizerLog_; }
    ConfigRecord& config();
    const LocaleFormats& formats() const { return formats_; }

    QString SenhaSoftware;
    int Contador_refresh = 0;
    int Linha_sel = -1;
    int Coluna_sel = -1;
    int Total_disp_anterior = 0;
    bool Abrir_painel = false;

private:
    PanelUi& ui_;
    const Clock& clock_;
    LocaleFormats formats_;
    PointTable table_;
    ModuleServer server_;
    TableConnection bdValores_;
    std::unique_ptr<ConfigRecord> config_;
    EventLog eventLog_;
    TotalizerLog totalizerLog_;
    SupervLink superv_;
};

} // namespace telvara
