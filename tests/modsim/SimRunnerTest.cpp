#include "SimRunner.h"
#include "link/net/TcpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

using namespace telvara;
using namespace telvara::modsim;
using namespace std::chrono_literals;

namespace {

// A stand-in panel: collects the status frames of every connection and answers each with what
// `answer` returns for it (nothing when empty).
class FakePanel {
public:
    // (connection number from 1, frame number on that connection from 1) -> answer
    using Answer = std::function<std::string(int connection, int frame)>;

    explicit FakePanel(Answer answer)
        : answer_(std::move(answer))
        , server_(handlers()) {
        server_.start(0);
    }
    ~FakePanel() { server_.stop(); }

    std::uint16_t port() const { return server_.boundPort(); }

    // Waits until some frame satisfies pred; returns it, or an empty array after the time limit.
    QByteArray waitForFrame(const std::function<bool(int connection, const QByteArray&)>& pred,
                            std::chrono::milliseconds limit = 5s) {
        std::unique_lock l(m_);
        QByteArray found;
        cv_.wait_for(l, limit, [&] {
            for (const auto& [conn, f] : frames_)
                if (pred(conn, f)) {
                    found = f;
                    return true;
                }
            return false;
        });
        return found;
    }

private:
    struct State {
        int connection = 0;
        int frames = 0;
    };

    net::TcpServer::Handlers handlers() {
        net::TcpServer::Handlers h;
        h.onConnect = [this](net::Connection&) {
            std::lock_guard g(m_);
            state() = {++connections_, 0};
        };
        h.onExecute = [this](net::Connection& c) {
            serve(c);
        };
        return h;
    }

    // Each connection has a thread of its own, so its numbers can live there.
    static State& state() {
        thread_local State s;
        return s;
    }

    void serve(net::Connection& c) {
        State& state = FakePanel::state();
        if (!c.waitForData(10) || c.readByte() != '<')
            return;
        QByteArray frame("<");
        while (frame.size() < 40 && !frame.endsWith('>'))
            frame += static_cast<char>(c.readByte());
        {
            std::lock_guard g(m_);
            frames_.emplace_back(state.connection, frame);
        }
        cv_.notify_all();
        const std::string a = answer_(state.connection, ++state.frames);
        if (a == "drop")
            throw std::runtime_error("dropped by the test");
        if (!a.empty())
            c.writeLn(a);
    }

    Answer answer_;
    std::mutex m_;
    std::condition_variable cv_;
    int connections_ = 0;
    std::vector<std::pair<int, QByteArray>> frames_;
    net::TcpServer server_;
};

SimOptions oneOrla(std::uint16_t port) {
    SimOptions o;
    o.port = port;
    o.modules = {{findSimModel("orla"), "00042"}};
    o.intervalMs = 20;
    o.reconnectMinMs = 10;
    o.logJson = true;
    return o;
}

struct Lines {
    std::mutex m;
    QStringList lines;
    SimRunner::Sink sink() {
        return [this](const QString& l) {
            std::lock_guard g(m);
            lines << l;
        };
    }
};

TEST(SimRunner, ReportsCommandedStateInLaterFrames) {
    FakePanel panel([](int, int frame) {
        return frame == 1 ? "<VOLKZUW010100"
                            "0100"
                            "00042>"
                          : "<VOLKZUW9990000000"
                            "00042>";
    });
    Lines out;
    SimRunner runner(oneOrla(panel.port()), out.sink(), {});
    runner.start();
    const QByteArray first = panel.waitForFrame([](int, const QByteArray&) { return true; });
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(0, first[14]); // starts with every output OFF
    const QByteArray later =
        panel.waitForFrame([](int, const QByteArray& f) { return f.size() > 14 && f[14] == 2; });
    EXPECT_EQ("00042", later.mid(15, 5));
    runner.stop();
    EXPECT_EQ(1u, runner.commandsApplied());

    // The JSON log shows the command applied and the idle frames that followed.
    std::lock_guard g(out.m);
    int applied = 0, idle = 0;
    for (const auto& line : out.lines) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        ASSERT_FALSE(o.isEmpty()) << line.toStdString();
        EXPECT_EQ("VOLK-Orla", o["model"].toString());
        if (o["dir"] == "rx")
            (o["result"] == "applied" ? applied : idle) += 1;
    }
    EXPECT_EQ(1, applied);
    EXPECT_GE(idle, 1);
}

TEST(SimRunner, ConnectsAgainAfterLostConnection) {
    FakePanel panel([](int connection, int) { return connection == 1 ? "drop" : ""; });
    SimRunner runner(oneOrla(panel.port()), {}, {});
    runner.start();
    EXPECT_FALSE(panel.waitForFrame([](int c, const QByteArray&) { return c == 2; }).isEmpty());
    runner.stop();
}

// The command-line tool itself: help, bad arguments and a clean end on SIGTERM.
class ModsimExecutable : public ::testing::Test {
protected:
    // ThreadSanitizer cannot follow a fork from a process that already runs threads (the fake
    // panel's), so those tests run in the other builds only.
    static void skipUnderThreadSanitizer() {
#if defined(__SANITIZE_THREAD__)
        GTEST_SKIP() << "fork after threads under ThreadSanitizer";
#endif
    }

    void SetUp() override {
        const char* dir = std::getenv("TELVARA_TOOLS_DIR");
        exe = dir ? QString::fromLocal8Bit(dir) + "/telvara-modsim/telvara-modsim"
                  : QString(TELVARA_MODSIM_EXE);
    }
    QString exe;
};

TEST_F(ModsimExecutable, HelpAndBadArguments) {
    QProcess p;
    p.start(exe, {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(0, p.exitCode());
    EXPECT_TRUE(p.readAllStandardOutput().contains("--module MODEL[:SERIAL]"));

    p.start(exe, {"--module", "volk-xyz"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(2, p.exitCode());
    EXPECT_TRUE(p.readAllStandardError().contains("unknown model"));
}

TEST_F(ModsimExecutable, EndsCleanlyOnSigterm) {
    skipUnderThreadSanitizer();
    if (IsSkipped())
        return;
    FakePanel panel([](int, int) { return ""; });
    QProcess p;
    p.start(exe, {"--port", QString::number(panel.port()), "--module", "tove:3", "--interval", "20",
                  "--log-json"});
    ASSERT_TRUE(p.waitForStarted(10000));
    const QByteArray frame = panel.waitForFrame([](int, const QByteArray&) { return true; });
    EXPECT_EQ("00003", frame.mid(19, 5));
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(QProcess::NormalExit, p.exitStatus());
    EXPECT_EQ(0, p.exitCode());
    EXPECT_TRUE(p.readAllStandardOutput().contains("\"dir\":\"tx\""));
}

TEST_F(ModsimExecutable, ExitsAfterDuration) {
    skipUnderThreadSanitizer();
    if (IsSkipped())
        return;
    FakePanel panel([](int, int) { return ""; });
    QProcess p;
    p.start(exe, {"--port", QString::number(panel.port()), "--all", "--duration", "0.3"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(0, p.exitCode());
    // Every model reached the panel.
    for (const char* code : {"010", "012", "014", "020", "030", "040"})
        EXPECT_FALSE(
            panel.waitForFrame([code](int, const QByteArray& f) { return f.mid(8, 3) == code; })
                .isEmpty())
            << code;
}

} // namespace
