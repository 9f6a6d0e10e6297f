#pragma once

#include "link/ModuleServer.h"
#include "support/QtPrinters.h"
#include "support/RecorderPanelUi.h"

#include <gtest/gtest.h>

namespace telvara::test {

// A point table with a module server on a free loopback port and a recording window.
class PointsFixture : public ::testing::Test {
protected:
    PointTable table;
    RecorderPanelUi ui;
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0))};
    LocaleFormats formats = LocaleFormats::brazilian();
    ModuleServer server{table, ui, clock, formats};

    PointsFixture() { server.setDefaultPort(0); }

    // Writes a module block the way a registration does.
    int addBlock(const QString& serial, int rows, const QString& tipo = "ENTRADA DIG") {
        auto l = table.lock();
        const int first = table.Total_disp;
        for (int n = 1; n <= rows; ++n) {
            const int r = first + n - 1;
            table.setCell(col::Numero, r, serial);
            table.setCell(col::IP, r, "127.0.0.1");
            table.setCell(col::IO, r, QString::number(n));
            table.setCell(col::Tipo, r, tipo);
            table.setCell(col::Evento, r, "Conectado");
            table.setCell(col::Rx1, r, "0");
            table.setCell(col::Rx2, r, "0");
            ++table.Total_disp;
        }
        return first;
    }
    void set(int column, int row, const QString& v) {
        auto l = table.lock();
        table.setCell(column, row, v);
    }
    QString cell(int column, int row) {
        auto l = table.lock();
        return table.cell(column, row);
    }
    std::deque<PendingEvent> events() {
        auto l = table.lock();
        return table.takeEvents();
    }
};

} // namespace telvara::test
