#include "link/net/TcpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace telvara::net;
using namespace std::chrono_literals;

namespace {

// What the server's handlers saw, for the test thread to wait on.
struct Recorder {
    std::mutex m;
    std::condition_variable cv;
    int connects = 0;
    int disconnects = 0;
    std::vector<std::string> errors;
    std::vector<bool> errorWasNetError;
    std::string peer, local;
    std::uint16_t localPort = 0;

    void connected(Connection& c) {
        std::lock_guard g(m);
        ++connects;
        peer = c.peerAddress();
        local = c.localAddress();
        localPort = c.localPort();
        cv.notify_all();
    }
    void failed(const std::exception& e) {
        std::lock_guard g(m);
        errors.push_back(e.what());
        errorWasNetError.push_back(dynamic_cast<const NetError*>(&e) != nullptr);
        cv.notify_all();
    }
    void disconnected() {
        std::lock_guard g(m);
        ++disconnects;
        cv.notify_all();
    }
    template <class Pred> bool waitFor(Pred pred, std::chrono::milliseconds limit = 5s) {
        std::unique_lock l(m);
        return cv.wait_for(l, limit, pred);
    }
};

void echo(Connection& c) {
    if (c.waitForData(10)) {
        const char b = static_cast<char>(c.readByte());
        c.write(std::string_view(&b, 1));
    }
}

// Reads n bytes, failing the test instead of blocking when they do not come.
std::string readN(Connection& c, std::size_t n) {
    std::string s;
    while (s.size() < n) {
        if (!c.waitForData(2000)) {
            ADD_FAILURE() << "no data after " << s.size() << " bytes";
            break;
        }
        s += static_cast<char>(c.readByte());
    }
    return s;
}

template <class Pred> bool pollUntil(Pred pred, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class TcpServerTest : public ::testing::Test {
protected:
    void startServer(std::function<void(Connection&)> execute = echo) {
        TcpServer::Handlers h;
        h.onConnect = [this](Connection& c) {
            rec.connected(c);
        };
        h.onExecute = std::move(execute);
        h.onException = [this](Connection&, const std::exception& e) {
            rec.failed(e);
        };
        h.onDisconnect = [this](Connection&) {
            rec.disconnected();
        };
        server = std::make_unique<TcpServer>(std::move(h));
        server->start(0);
    }
    std::unique_ptr<Connection> connect() {
        return connectTcp("127.0.0.1", server->boundPort(), 2000);
    }
    void TearDown() override {
        if (server)
            server->stop();
    }

    Recorder rec;
    std::unique_ptr<TcpServer> server;
};

TEST_F(TcpServerTest, EchoesAndReportsAddresses) {
    startServer();
    ASSERT_TRUE(server->running());
    ASSERT_NE(0, server->boundPort());
    auto c = connect();
    c->write("hello");
    EXPECT_EQ("hello", readN(*c, 5));

    ASSERT_TRUE(rec.waitFor([&] { return rec.connects == 1; }));
    EXPECT_EQ("127.0.0.1", rec.peer);
    EXPECT_EQ("127.0.0.1", rec.local);
    EXPECT_EQ(server->boundPort(), rec.localPort);
    EXPECT_EQ("127.0.0.1", c->peerAddress());
    EXPECT_EQ("127.0.0.1", c->localAddress());
    EXPECT_NE(0, c->localPort());
    EXPECT_EQ(1u, server->connections().size());
}

// The server answers single command bytes so that the client side's reading calls can be
// checked against known arrivals.
void scripted(Connection& c) {
    if (!c.waitForData(10))
        return;
    switch (c.readByte()) {
    case 'A':
        c.write("abc");
        break;
    case 'X':
        c.write("xyz");
        break;
    case 'Q':
        c.write("Q");
        break;
    case 'E':
        c.write("<ab");
        throw std::runtime_error("bye");
    default:
        break;
    }
}

TEST_F(TcpServerTest, WaitReadAndDiscard) {
    startServer(scripted);
    auto c = connect();
    EXPECT_FALSE(c->waitForData(20));

    c->write("A");
    ASSERT_TRUE(c->waitForData(2000));
    EXPECT_EQ('a', c->readByte());
    c->discardInput(); // "bc" sits in the read buffer
    EXPECT_FALSE(c->waitForData(0));

    c->write("X");
    ASSERT_TRUE(c->waitForData(2000));
    c->discardInput(); // "xyz" is still in the socket
    EXPECT_FALSE(c->waitForData(0));

    c->write("Q");
    EXPECT_EQ("Q", readN(*c, 1));
    EXPECT_TRUE(c->connected());
}

TEST_F(TcpServerTest, PeerClosingMidFrameEndsTheRead) {
    startServer(scripted);
    auto c = connect();
    c->write("E"); // server sends "<ab", then its handler throws
    EXPECT_EQ("<ab", readN(*c, 3));
    EXPECT_TRUE(c->waitForData(2000)); // end of input counts as readable
    EXPECT_THROW(c->readByte(), NetError);
    EXPECT_FALSE(c->connected());

    ASSERT_TRUE(rec.waitFor([&] { return rec.disconnects == 1; }));
    EXPECT_EQ(std::vector<std::string>{"bye"}, rec.errors);
    EXPECT_EQ(0u, server->connections().size());
}

TEST_F(TcpServerTest, ServerReadOfHalfFrameFailsWithNetError) {
    startServer([](Connection& c) {
        if (c.waitForData(10))
            while (c.readByte() != '>') {
            }
    });
    {
        auto c = connect();
        c->write("<0123");
    }
    ASSERT_TRUE(rec.waitFor([&] { return rec.disconnects == 1; }));
    ASSERT_EQ(1u, rec.errors.size());
    EXPECT_TRUE(rec.errorWasNetError[0]) << rec.errors[0];
    EXPECT_EQ(0u, server->connections().size());
}

TEST_F(TcpServerTest, StalledPeerIsDroppedAfterSendTimeoutOthersGoOn) {
    startServer([](Connection& c) {
        if (!c.waitForData(10))
            return;
        const char b = static_cast<char>(c.readByte());
        if (b == 'F') {
            const std::string chunk(64 * 1024, 'x');
            for (;;)
                c.write(chunk);
        }
        c.write(std::string_view(&b, 1));
    });
    server->setSendTimeoutMs(200);
    auto stalled = connect();
    auto other = connect();
    stalled->write("F"); // and never read

    ASSERT_TRUE(rec.waitFor([&] { return rec.disconnects == 1; }, 20s));
    EXPECT_EQ(std::vector<std::string>{"Send timed out"}, rec.errors);
    other->write("ping");
    EXPECT_EQ("ping", readN(*other, 4));
    EXPECT_EQ(1u, server->connections().size());

    // The stalled peer finds its connection ended once it reads what was queued.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    for (;;) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        ASSERT_TRUE(stalled->waitForData(2000));
        try {
            stalled->readByte();
        } catch (const NetError&) {
            break;
        }
        stalled->discardInput();
    }
    EXPECT_FALSE(stalled->connected());
}

TEST_F(TcpServerTest, QuickConnectCloseCyclesLeaveNothingBehind) {
    startServer();
    for (int i = 0; i < 200; ++i)
        connect().reset();
    ASSERT_TRUE(rec.waitFor([&] { return rec.disconnects == 200; }, 20s)) << rec.disconnects;
    EXPECT_EQ(200, rec.connects);
    EXPECT_EQ(0u, server->connections().size());
    EXPECT_TRUE(pollUntil([&] { return server->threadCount() == 0; }))
        << server->threadCount() << " threads not joined";
}

TEST_F(TcpServerTest, StopWakesBlockedReadsAndJoinsEverything) {
    // The handler blocks in readByte, which has no time limit of its own.
    startServer([](Connection& c) { c.readByte(); });
    std::vector<std::unique_ptr<Connection>> clients;
    for (int i = 0; i < 5; ++i)
        clients.push_back(connect());
    ASSERT_TRUE(rec.waitFor([&] { return rec.connects == 5; }));

    const auto t0 = std::chrono::steady_clock::now();
    server->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
    EXPECT_FALSE(server->running());
    EXPECT_EQ(0, server->boundPort());
    EXPECT_EQ(0u, server->threadCount());
    EXPECT_EQ(0u, server->connections().size());
    EXPECT_EQ(5, rec.disconnects);
    EXPECT_TRUE(rec.errors.empty()) << rec.errors[0]; // our own shutdown is not an error
    for (auto& c : clients) {
        ASSERT_TRUE(c->waitForData(2000));
        EXPECT_THROW(c->readByte(), NetError);
    }
}

TEST_F(TcpServerTest, StopWaitsForHandlerBusyWithLocksWithoutDeadlock) {
    // As in the link engine: a handler takes an outside lock, then the connection list's lock,
    // and writes to every connection.
    std::mutex tableLock;
    std::atomic<bool> waiting{false};
    startServer([&](Connection& c) {
        if (!c.waitForData(10))
            return;
        c.readByte();
        waiting = true;
        std::lock_guard table(tableLock);
        std::lock_guard list(server->connections().mutex());
        for (const auto& other : server->connections().items())
            other->write("!");
    });
    auto c = connect();
    std::unique_lock table(tableLock);
    c->write("go");
    ASSERT_TRUE(pollUntil([&] { return waiting.load(); }));

    auto stopped = std::async(std::launch::async, [&] { server->stop(); });
    EXPECT_EQ(std::future_status::timeout, stopped.wait_for(50ms)); // waits for the handler
    table.unlock();
    ASSERT_EQ(std::future_status::ready, stopped.wait_for(5s));
    EXPECT_EQ(0u, server->threadCount());
}

TEST_F(TcpServerTest, RestartsOnSameAndOtherPort) {
    startServer();
    const auto port = server->boundPort();
    {
        auto c = connect();
        c->write("1");
        EXPECT_EQ("1", readN(*c, 1));
    }
    server->stop();
    EXPECT_THROW(connectTcp("127.0.0.1", port, 1000), NetError);

    server->start(port); // the old connection may still be in TIME_WAIT
    EXPECT_EQ(port, server->boundPort());
    {
        auto c = connect();
        c->write("2");
        EXPECT_EQ("2", readN(*c, 1));
    }

    TcpServer rival(TcpServer::Handlers{});
    EXPECT_THROW(rival.start(port), NetError);

    server->start(0); // a running server restarts on the new port
    EXPECT_NE(port, server->boundPort());
    auto c = connect();
    c->write("3");
    EXPECT_EQ("3", readN(*c, 1));
}

} // namespace
