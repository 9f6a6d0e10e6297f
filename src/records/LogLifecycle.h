#pragma once

#include "core/ConfigRecord.h"

#include <QString>

namespace telvara {

class Clock;
class EventLog;
class TotalizerLog;

struct StartupLoad {
    ConfigValues config;
    bool configCreated = false;
    int eventsRemoved = 0;
};

// What the main window does with the logs and the configuration record when it is shown and
// when it closes, once the three tables are open.
class LogLifecycle {
public:
    // FormShow steps 3 to 7: trims the event table to the ring, loads both logs into their grids
    // and captions, creates the configuration record when Bd_Valores is empty and reads it, and
    // sets Num_evento and Num_eventoT from it. Port, host and password are left to the caller.
    static StartupLoad loadAtStart(EventLog& events, TotalizerLog& totals, ConfigRecord& config);

    // FormClose steps 1 to 3: saves both counters into the configuration record, then writes the
    // event report file into folder. Returns its path; empty when Bd_Valores holds no record.
    // The counters are saved even when the export then fails (ReportFileError).
    static QString saveAtClose(EventLog& events, TotalizerLog& totals, ConfigRecord& config,
                               const QString& folder, const Clock& clock);
};

} // namespace telvara
