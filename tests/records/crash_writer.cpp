// Child of the crash test: starts the logs like the panel does, then writes event batches of one
// to three records for ever, printing the number of the last event of each batch once the write
// has returned. Event numbers continue from the highest one found in the table.

#include "core/Clock.h"
#include "core/ConfigRecord.h"
#include "core/DatabaseSchema.h"
#include "core/LocaleFormats.h"
#include "core/TableConnection.h"
#include "records/EventLog.h"
#include "records/LogLifecycle.h"
#include "records/TotalizerLog.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

using namespace telvara;

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int ring = std::atoi(argv[2]);
    try {
        TableConnection valores;
        EventLog events(SystemClock::instance(), LocaleFormats::brazilian(), ring);
        TotalizerLog totals(ring);
        valores.open(path, QLatin1String(table::Bd_Valores));
        events.open(path);
        totals.open(path);
        ConfigRecord config(valores.table());
        LogLifecycle::loadAtStart(events, totals, config);

        long seq = 0;
        for (int r = 0; r < ring; ++r)
            seq = std::max(seq, events.grid().cell(r, 3).toLong());
        for (;;) {
            std::deque<PendingEvent> batch;
            const long size = 1 + seq % 3;
            for (long i = 0; i < size; ++i)
                batch.push_back({QStringLiteral("Entrada"), QStringLiteral("ON"),
                                 QStringLiteral("10.0.0.7"), QStringLiteral("1234567"),
                                 QStringLiteral("Alterado"), QString::number(++seq),
                                 QStringLiteral("1")});
            events.Registrar_log(batch);
            const std::string line = std::to_string(seq) + "\n";
            if (::write(STDOUT_FILENO, line.data(), line.size()) < 0)
                return 4;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
}
