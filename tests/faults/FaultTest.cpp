#include "LoopbackModule.h"
#include "app/Panel.h"
#include "link/ModuleServer.h"
#include "support/QtPrinters.h"
#include "support/RecorderPanelUi.h"
#include "support/RecorderUi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace telvara::test {

namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;
using bench::loopbackAddress;
using bench::LoopbackModule;
using Kind = modsim::SimModule::CommandResult::Kind;

const modsim::SimModel& lira() {
    return *modsim::findSimModel("lira");
}

// Polls a condition that other threads bring about; false when it does not hold in time.
bool eventually(const std::function<bool()>& holds, std::chrono::milliseconds limit = 5s) {
    const auto end = Steady::now() + limit;
    while (!holds()) {
        if (Steady::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Threads of this process: whatever the server started must be gone after it stops. A sanitizer
// starts a helper thread of its own with the process's first thread, so a count taken as the
// baseline comes after one thread has come and gone.
int threadCount() {
    static const bool helperStarted = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)helperStarted;
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

std::unique_ptr<LoopbackModule> makeModule(int k, std::uint16_t port, bench::Narrow narrow = {}) {
    auto m =
        std::make_unique<LoopbackModule>(lira(), QString::number(10000 + k), loopbackAddress(k));
    m->connect(port, narrow);
    return m;
}

// Threads that send until told to stop; joined however the test ends, a failed assertion too.
class Senders {
public:
    ~Senders() { stopAndJoin(); }
    void start(std::function<void(const std::atomic<bool>& stop)> body) {
        threads_.emplace_back([this, body = std::move(body)] { body(stop_); });
    }
    void stopAndJoin() {
        stop_ = true;
        for (auto& t : threads_)
            t.join();
        threads_.clear();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

// One status frame, one answer meant for this module.
bool roundTrip(LoopbackModule& m, int waitMs = 3000) {
    m.sendStatus();
    const auto a = m.awaitAnswer(waitMs);
    return a && (a->result.kind == Kind::Idle || a->result.kind == Kind::Applied);
}

class ModuleServerFaults : public ::testing::Test {
protected:
    PointTable table;
    RecorderUi ui;
    LocaleFormats formats = LocaleFormats::brazilian();
    std::unique_ptr<ModuleServer> server;

    void startServer(int sendTimeoutMs = 3000) {
        server = std::make_unique<ModuleServer>(table, ui, SystemClock::instance(), formats,
                                                sendTimeoutMs);
        server->setDefaultPort(0);
        server->start();
    }
    void TearDown() override {
        if (server)
            server->stop();
    }
    std::uint16_t port() const { return server->boundPort(); }
    std::size_t open() { return server->connections().size(); }

    std::unique_ptr<LoopbackModule> bringUp(int k) {
        auto m = makeModule(k, port());
        EXPECT_TRUE(m->sendUntilAnswered()) << "module " << k;
        return m;
    }
    bool statusContains(const QString& text) {
        return ui.snapshot(&RecorderUi::status).join('\n').contains(text);
    }
};

TEST_F(ModuleServerFaults, ModuleThatNeverReadsIsDroppedWhileOthersKeepGettingAnswers) {
    constexpr int kSendTimeoutMs = 300;
    startServer(kSendTimeoutMs);
    std::vector<std::unique_ptr<LoopbackModule>> others;
    for (int k = 0; k < 3; ++k)
        others.push_back(bringUp(k));
    auto stuck = makeModule(3, port(), {2048, 88});
    ASSERT_TRUE(stuck->sendUntilAnswered());
    for (auto& m : others)
        m->drain(20);

    Senders flood;
    flood.start([&](const std::atomic<bool>& stop) {
        // Sends and never reads, until the panel gives up on it.
        try {
            while (!stop)
                stuck->sendStatus();
        } catch (const net::NetError&) {
        }
    });

    // Normally a second or two; a sanitizer build on a busy machine answers more slowly.
    const auto deadline = Steady::now() + 60s;
    int answered = 0;
    auto slowest = Steady::duration::zero();
    bool dropped = false;
    while (!dropped && Steady::now() < deadline) {
        for (auto& m : others) {
            const auto t0 = Steady::now();
            ASSERT_TRUE(roundTrip(*m)) << "a module next to the stuck one got no answer";
            slowest = std::max(slowest, Steady::now() - t0);
            ++answered;
        }
        dropped = statusContains(QStringLiteral("Send timed out"));
    }
    flood.stopAndJoin();

    EXPECT_TRUE(dropped) << "the stuck module was never dropped";
    EXPECT_TRUE(eventually([&] { return open() == others.size(); }));
    EXPECT_GT(answered, 0);
    // A blocked write holds every other module back for about one send time-out (the margin is
    // for a sanitizer build on a busy machine); without the time-out they would wait for ever.
    EXPECT_LT(slowest, std::chrono::milliseconds(kSendTimeoutMs) + 2s);
    for (auto& m : others)
        EXPECT_TRUE(roundTrip(*m));
}

TEST_F(ModuleServerFaults, FrameCutByDisconnectChangesNothing) {
    startServer();
    auto known = bringUp(0);
    auto other = bringUp(1);
    known->drain(20);
    QString rx;
    int total = 0;
    {
        auto l = table.lock();
        rx = table.cell(col::Rx1, 0);
        total = table.Total_disp;
    }
    const auto reports = ui.snapshot(&RecorderUi::status).size();
    const QByteArray frame = known->module().statusFrame();
    // A known module and a module never seen, each cut after the model code.
    auto unknown = makeModule(2, port());
    for (LoopbackModule* m : {known.get(), unknown.get()}) {
        m->send(std::string_view(frame.constData(), 12));
        m->disconnect();
    }

    EXPECT_TRUE(eventually([&] { return open() == 1; }));
    // Each ended connection shows its error.
    EXPECT_TRUE(eventually([&] { return ui.snapshot(&RecorderUi::status).size() == reports + 2; }));
    {
        auto l = table.lock();
        EXPECT_EQ(table.cell(col::Rx1, 0), rx);
        EXPECT_EQ(table.Total_disp, total);
    }
    EXPECT_TRUE(roundTrip(*other));
}

TEST_F(ModuleServerFaults, TwoHundredShortConnectionsLeaveNoThreadOrConnectionBehind) {
    startServer();
    auto live = bringUp(0);
    live->drain(20);
    const int threadsBefore = threadCount();

    const QByteArray frame = live->module().statusFrame();
    for (int n = 0; n < 200; ++n) {
        LoopbackModule m(lira(), QStringLiteral("20000"), loopbackAddress(1 + n % 8));
        m.connect(port());
        switch (n % 3) {
        case 0:
            break; // gone at once
        case 1:
            m.sendStatus(); // registers one more module, then updates it
            break;
        case 2:
            m.send(std::string_view(frame.constData(), 5)); // cut short
            break;
        }
        m.disconnect();
        if (n % 25 == 0) {
            ASSERT_TRUE(roundTrip(*live)) << "after " << n << " connections";
        }
    }

    EXPECT_TRUE(eventually([&] { return open() == 1; }));
    EXPECT_TRUE(eventually([&] { return threadCount() == threadsBefore; }))
        << threadCount() << " threads, " << threadsBefore << " before";
    live->drain(20);
    EXPECT_TRUE(roundTrip(*live));
}

TEST_F(ModuleServerFaults, ModuleReconnectingWhileItsOldConnectionIsOpenIsServedOnBoth) {
    startServer();
    auto old = bringUp(5);
    old->drain(20);
    int total = 0;
    {
        auto l = table.lock();
        total = table.Total_disp;
    }
    // The same module from the same address on a new connection; the old one lingers.
    auto fresh = std::make_unique<LoopbackModule>(lira(), old->module().serial(), old->source());
    fresh->connect(port());
    ASSERT_TRUE(roundTrip(*fresh));
    // Both connections come from the module's address, so the old one gets the answer too.
    const auto copy = old->awaitAnswer(3000);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->result.kind, Kind::Idle);

    // A command reaches the module on its new connection.
    {
        auto l = table.lock();
        table.setCell(col::StCom, 1, QStringLiteral("ON"));
    }
    fresh->sendStatus();
    const auto command = fresh->awaitAnswer(3000);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->result.kind, Kind::Applied);
    EXPECT_TRUE(fresh->module().output(0));
    ASSERT_TRUE(roundTrip(*fresh));
    {
        auto l = table.lock();
        EXPECT_EQ(table.cell(col::StLido, 1), QStringLiteral("ON"));
        EXPECT_EQ(table.Total_disp, total) << "the module was registered twice";
    }

    old->disconnect();
    EXPECT_TRUE(eventually([&] { return open() == 1; }));
    fresh->drain(20);
    EXPECT_TRUE(roundTrip(*fresh));
}

// The F6 path: the server stops (joining every connection thread) while modules are sending,
// then the table is reset.
TEST(PanelFaults, ServerStoppedWhileThirtyEightModulesSendResetsTheTable) {
    RecorderPanelUi ui;
    const int threadsBefore = threadCount();
    auto panel =
        std::make_unique<Panel>(ui, SystemClock::instance(), LocaleFormats::brazilian(), 500);
    panel->server().setDefaultPort(0);
    panel->server().start();
    const std::uint16_t port = panel->server().boundPort();

    // 34 VOLK-Lira blocks fill the rows a module may begin on; the last four are never placed.
    constexpr int kModules = 38;
    constexpr int kPlaced = 34;
    std::vector<std::unique_ptr<LoopbackModule>> modules;
    for (int k = 0; k < kModules; ++k) {
        modules.push_back(makeModule(k, port));
        if (k < kPlaced) {
            ASSERT_TRUE(modules.back()->sendUntilAnswered()) << "module " << k;
        }
    }
    {
        auto l = panel->table().lock();
        ASSERT_EQ(panel->table().Total_disp, 3 * kPlaced);
    }

    std::atomic<int> answers{0};
    Senders senders;
    for (auto& m : modules)
        senders.start([&, mod = m.get()](const std::atomic<bool>& stop) {
            try {
                while (!stop) {
                    mod->sendStatus();
                    if (mod->awaitAnswer(50))
                        ++answers;
                }
            } catch (const net::NetError&) {
                // The server went away under it.
            }
        });
    ASSERT_TRUE(eventually([&] { return answers > 500; }, 10s));

    auto reset = std::async(std::launch::async, [&] { panel->manualReset(); });
    if (reset.wait_for(15s) != std::future_status::ready) {
        ADD_FAILURE() << "F6 did not return: deadlock between the server stop and a handler";
        std::abort(); // nothing left to join safely
    }
    reset.get();
    EXPECT_FALSE(panel->server().running());
    EXPECT_EQ(panel->server().connections().size(), 0u);
    {
        auto l = panel->table().lock();
        EXPECT_EQ(panel->table().Total_disp, 0);
        EXPECT_EQ(panel->table().caption, kBareCaption);
        for (int r = 0; r < kScanRows + 15; ++r)
            for (int c = 0; c <= col::ValorExibido; ++c)
                ASSERT_TRUE(panel->table().cell(c, r).isEmpty()) << "row " << r << " column " << c;
    }

    senders.stopAndJoin();
    modules.clear();
    panel.reset();
    EXPECT_TRUE(eventually([&] { return threadCount() == threadsBefore; }))
        << threadCount() << " threads, " << threadsBefore << " before";
}

} // namespace

} // namespace telvara::test
