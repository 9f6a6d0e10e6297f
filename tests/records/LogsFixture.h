#pragma once

// One run of the panel's logs over a database in a temporary folder: the three tables opened,
// FormShow steps 3 to 7 done. Destroying it is a stop without FormClose (a crash, as the file
// sees it); shutDown() is FormClose.

#include "core/Clock.h"
#include "core/ConfigRecord.h"
#include "core/DatabaseSchema.h"
#include "core/LocaleFormats.h"
#include "core/TableConnection.h"
#include "records/EventLog.h"
#include "records/LogLifecycle.h"
#include "records/TotalizerLog.h"

#include "core/SqlProbe.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace telvara::test {

struct PanelRun {
    TableConnection valores;
    std::unique_ptr<ConfigRecord> config;
    EventLog events;
    TotalizerLog totals;
    StartupLoad start;

    PanelRun(const QString& path, const Clock& clock, int eventRing, int totalRing,
             bool load = true)
        : events(clock, LocaleFormats::brazilian(), eventRing)
        , totals(totalRing) {
        valores.open(path, QLatin1String(table::Bd_Valores));
        events.open(path);
        totals.open(path);
        config = std::make_unique<ConfigRecord>(valores.table());
        if (load)
            start = LogLifecycle::loadAtStart(events, totals, *config);
    }
};

class LogsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Orvanel/Bd"));
    FakeClock clock{QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))};
    std::unique_ptr<PanelRun> run;

    PanelRun& start(int eventRing = 5, int totalRing = 4) {
        run.reset();
        run = std::make_unique<PanelRun>(path, clock, eventRing, totalRing);
        return *run;
    }

    void wipe() {
        run.reset();
        QFile::remove(path);
    }

    static PendingEvent entrada(const QString& nome, const QString& estado = QStringLiteral("ON")) {
        return {QStringLiteral("Entrada"),  estado,
                QStringLiteral("10.0.0.7"), QStringLiteral("1234567"),
                QStringLiteral("Alterado"), nome,
                QStringLiteral("3")};
    }

    // (Indice, Nome) of every event record in storage order.
    std::vector<QStringList> storedEvents() const {
        return sqlRows(path, QStringLiteral("SELECT Indice, Nome FROM BD_Eventos ORDER BY rowid"));
    }
    QString storedConfig(const char* column) const {
        return sqlRows(path, QStringLiteral("SELECT %1 FROM Bd_Valores ORDER BY rowid LIMIT 1")
                                 .arg(QLatin1String(column)))
            .at(0)
            .at(0);
    }
};

} // namespace telvara::test
