#pragma once

#include "link/LinkEngine.h"
#include "support/MemoryConnection.h"
#include "support/QtPrinters.h"
#include "support/RecorderUi.h"
#include "support/StatusFrames.h"

#include <gtest/gtest.h>

#include <memory>

namespace telvara::test {

// A link engine over in-memory connections, a fake clock and Brazilian formats.
class LinkFixture : public ::testing::Test {
protected:
    PointTable table;
    RecorderUi ui;
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0))};
    LocaleFormats formats = LocaleFormats::brazilian();
    net::ConnectionList connections;
    LinkEngine engine{LinkContext{table, ui, clock, formats, connections}};

    LinkFixture() { table.caption = kBareCaption + " - 10.0.0.1"; } // first contact already made

    std::shared_ptr<MemoryConnection> connect(const std::string& peer = "10.0.0.5") {
        auto c = std::make_shared<MemoryConnection>(peer);
        connections.add(c);
        return c;
    }
    // Sends one frame and returns what the panel answered on that connection.
    std::string send(MemoryConnection& c, const std::string& frame) {
        c.feed(frame);
        engine.IdTCPServer1Execute(c);
        return c.takeOutput();
    }
    // Registers a module and applies one frame, so that its rows hold read states.
    int addModule(MemoryConnection& c, const std::string& code, const std::string& serial5,
                  std::uint8_t in = 0, std::uint8_t out = 0, const std::string& chars = {}) {
        const int first = table.Total_disp;
        send(c, statusFrame(code, serial5, in, out, chars));
        send(c, statusFrame(code, serial5, in, out, chars));
        return first;
    }
    void resetTable() {
        auto l = table.lock();
        table.reset(22);
        table.caption = kBareCaption + " - 10.0.0.1";
    }
    const QString& cell(int column, int row) { return table.cell(column, row); }
    void set(int column, int row, const QString& v) { table.setCell(column, row, v); }
    std::deque<PendingEvent> events() {
        auto l = table.lock();
        return table.takeEvents();
    }
    std::deque<PendingTotal> totals() {
        auto l = table.lock();
        return table.takeTotals();
    }
};

inline std::string crlf(const std::string& s) {
    return s + "\r\n";
}

} // namespace telvara::test
