#include "superv/SupervLink.h"
#include "SupervFrameParser.h"
#include "SupervTestRows.h"
#include "link/PointTable.h"
#include "link/net/TcpServer.h"
#include "support/FreePort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace telvara;
using Clock = std::chrono::steady_clock;

namespace {

// Stands in for the supervisory program: keeps every byte received, per connection.
class Listener {
public:
    Listener()
        : server_({
              .onConnect = {},
              .onExecute =
                  [this](net::Connection& c) {
                      if (!c.waitForData(20))
                          return;
                      const char byte = static_cast<char>(c.readByte());
                      std::lock_guard g(mutex_);
                      streams_[&c] += byte;
                  },
              .onException = {},
              .onDisconnect = {},
          }) {
        server_.start(0);
    }

    std::uint16_t port() const { return server_.boundPort(); }
    void stop() { server_.stop(); }

    // Frames and errors of everything received so far, connection by connection.
    std::vector<SupervParseEvent> events() {
        std::lock_guard g(mutex_);
        std::vector<SupervParseEvent> out;
        for (const auto& [connection, bytes] : streams_) {
            SupervFrameParser parser;
            for (auto& e : parser.feed(bytes))
                out.push_back(std::move(e));
            for (auto& e : parser.finish())
                out.push_back(std::move(e));
        }
        return out;
    }

    std::size_t frames() {
        std::size_t n = 0;
        for (const auto& e : events())
            n += e.kind == SupervParseEvent::Kind::Frame;
        return n;
    }

private:
    std::mutex mutex_;
    std::map<const net::Connection*, std::string> streams_;
    net::TcpServer server_;
};

bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

class SupervLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        link.IdTCPClientSupervRem.setHost("127.0.0.1");
        link.IdTCPClientSupervRem.setPort(listener.port());
    }

    void setRows(const std::vector<SupervRow>& rows, bool flag = true) {
        auto guard = table.lock();
        table.reset(kColumns - 1);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < superv::kColumns; ++c)
                table.setCell(c, static_cast<int>(r), rows[r][static_cast<std::size_t>(c)]);
        table.Total_disp = static_cast<int>(rows.size());
        table.TimerSuperv_Enabled = flag;
    }

    // One tick that must not block: an unreachable host costs the 200 ms connect time-out at most.
    SupervTick timedTick() {
        const auto start = Clock::now();
        const SupervTick t = link.TimerSupervTimer(table);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(400));
        return t;
    }

    Listener listener;
    PointTable table;
    SupervLink link;
};

} // namespace

TEST_F(SupervLinkTest, FlagLoweredDoesNothing) {
    setRows({test::workedRow()}, false);
    const SupervTick t = link.TimerSupervTimer(table);
    EXPECT_FALSE(t.ran);
    EXPECT_FALSE(t.sent);
    EXPECT_FALSE(t.indicatorChanged);
    EXPECT_FALSE(link.IdTCPClientSupervRem.connected());
}

TEST_F(SupervLinkTest, NoRowsConnectsButSendsNothing) {
    setRows({});
    const SupervTick empty = link.TimerSupervTimer(table);
    EXPECT_TRUE(empty.ran);
    EXPECT_FALSE(empty.sent);
    EXPECT_FALSE(empty.indicatorChanged);
    EXPECT_EQ(SupervIndicator::RoyalBlue, empty.indicator);
    EXPECT_TRUE(link.IdTCPClientSupervRem.connected());

    // The first thing the supervisory program receives is the frame of the next tick with rows.
    setRows({test::workedRow()});
    EXPECT_TRUE(link.TimerSupervTimer(table).sent);
    ASSERT_TRUE(waitUntil([&] { return listener.frames() == 1; }));
    const auto events = listener.events();
    ASSERT_EQ(1u, events.size());
    EXPECT_TRUE(events[0].frame.crcOk());
}

TEST_F(SupervLinkTest, SendsTheTableAndTogglesTheIndicator) {
    struct Case {
        const char* name;
        std::vector<SupervRow> rows;
    };
    const Case cases[] = {
        {"one module", std::vector<SupervRow>(3, test::workedRow())},
        {"frame over 10000 bytes", test::manyRows(115, 40)},
    };
    std::size_t expectedFrames = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRows(c.rows);
        for (const auto colour : {SupervIndicator::White, SupervIndicator::RoyalBlue}) {
            const SupervTick t = link.TimerSupervTimer(table);
            EXPECT_TRUE(t.ran);
            EXPECT_TRUE(t.sent);
            EXPECT_TRUE(t.indicatorChanged);
            EXPECT_EQ(colour, t.indicator);
        }
        expectedFrames += 2;
        ASSERT_TRUE(waitUntil([&] { return listener.frames() == expectedFrames; }));
        const auto events = listener.events();
        ASSERT_EQ(expectedFrames, events.size()); // nothing malformed, nothing skipped
        for (std::size_t i = expectedFrames - 2; i < expectedFrames; ++i) {
            const auto& f = events[i].frame;
            EXPECT_TRUE(f.crcOk());
            ASSERT_EQ(c.rows.size(), f.rows.size());
            for (std::size_t r = 0; r < c.rows.size(); ++r)
                for (std::size_t col = 0; col < 13; ++col)
                    EXPECT_EQ(toSupervLatin1(c.rows[r][col]), f.rows[r][col]);
        }
    }
}

TEST_F(SupervLinkTest, RefusedHostShowsNothing) {
    link.IdTCPClientSupervRem.setPort(test::freePort());
    setRows({test::workedRow()});
    for (int i = 0; i < 3; ++i) {
        const SupervTick t = timedTick();
        EXPECT_TRUE(t.ran);
        EXPECT_FALSE(t.sent);
        EXPECT_FALSE(t.indicatorChanged);
        EXPECT_EQ(SupervIndicator::RoyalBlue, t.indicator);
    }
}

TEST_F(SupervLinkTest, LostConnectionTurnsTheDotOffAndReconnects) {
    setRows({test::workedRow()});
    ASSERT_EQ(SupervIndicator::White, link.TimerSupervTimer(table).indicator);

    listener.stop();
    ASSERT_TRUE(waitUntil([&] { return !link.IdTCPClientSupervRem.connected(); }));
    const SupervTick lost = timedTick();
    EXPECT_FALSE(lost.sent);
    EXPECT_TRUE(lost.indicatorChanged);
    EXPECT_EQ(SupervIndicator::RoyalBlue, lost.indicator);

    // The supervisory program comes back (here on another port).
    Listener again;
    link.IdTCPClientSupervRem.setPort(again.port());
    const SupervTick back = link.TimerSupervTimer(table);
    EXPECT_TRUE(back.sent);
    EXPECT_EQ(SupervIndicator::White, back.indicator);
    ASSERT_TRUE(waitUntil([&] { return again.frames() == 1; }));
}

#ifndef _WIN32
// A listener whose accept queue is full drops new SYNs, so connecting hangs until the time-out.
TEST_F(SupervLinkTest, SilentHostCostsOnlyTheConnectTimeOut) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    ASSERT_EQ(0, ::bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a));
    ASSERT_EQ(0, ::listen(server, 0));
    ASSERT_EQ(0, ::getsockname(server, reinterpret_cast<sockaddr*>(&a), &n));
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int f = ::socket(AF_INET, SOCK_STREAM, 0);
        ::fcntl(f, F_SETFL, O_NONBLOCK);
        ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(f);
    }

    link.IdTCPClientSupervRem.setPort(ntohs(a.sin_port));
    setRows({test::workedRow()});
    const auto start = Clock::now();
    const SupervTick t = timedTick();
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_FALSE(t.sent);
    EXPECT_EQ(SupervIndicator::RoyalBlue, t.indicator);
    EXPECT_FALSE(link.IdTCPClientSupervRem.connected());

    for (const int f : fillers)
        ::close(f);
    ::close(server);
}
#endif
