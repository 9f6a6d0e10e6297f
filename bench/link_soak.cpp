// A long run of the whole panel logic with simulated modules on loopback: 38 modules of every
// model sending status frames with random input changes, an operator switching and pulsing
// outputs, and the main window's timers writing events and totals into a database of its own.
//
//   link-soak [--seconds S] [--modules N] [--interval MS] [--seed N]
//
// Only the modules whose block begins below row 100 are registered (21 of the 38); the others
// keep sending and are never answered, as on a full table.
//
// Prints, every minute and at the end: frames sent and answered, commands carried out, events
// and totals written, resident memory, and every error seen. Exits non-zero when an error was
// seen or memory grew by more than a tenth after the first fifth of the run, by which time the
// event ring is full and the database caches have grown to their working size.

#include "LoopbackModule.h"
#include "app/Panel.h"
#include "core/ConfigRecord.h"
#include "core/DataRoot.h"
#include "core/TableConnection.h"

#include <QDir>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using telvara::bench::loopbackAddress;
using telvara::bench::LoopbackModule;
namespace modsim = telvara::modsim;
namespace col = telvara::col;
using Steady = std::chrono::steady_clock;
using Kind = modsim::SimModule::CommandResult::Kind;

namespace {

struct Options {
    double seconds = 600;
    int modules = 38;
    int intervalMs = 100;
    unsigned seed = 1;
};

// Errors are kept as distinct texts with counts, so that a long run cannot grow them.
class Errors {
public:
    void add(const QString& text) {
        std::lock_guard g(m_);
        ++counts_[text];
    }
    std::map<QString, int> snapshot() const {
        std::lock_guard g(m_);
        return counts_;
    }

private:
    mutable std::mutex m_;
    std::map<QString, int> counts_;
};

Errors errors;

// The main window as far as the soak needs one: counts, keeps no history.
class SoakUi final : public telvara::PanelUi {
public:
    void setCaption(const QString&) override {}
    void setLabelTotalConec(const QString&) override {}
    void setLabelStatus(const QString& t) override {
        if (!t.startsWith(QStringLiteral("Status: "))) // the resets' own notes are not errors
            errors.add(QStringLiteral("LabelStatus: ") + t);
    }
    void stopNoConnectionTimer() override {}
    void showAlarm(const QString&) override { ++alarms; }
    void TocarSom() override {}
    void moduleRegistered() override { ++registrations; }
    void ShowMsg(const QString& text) override { errors.add(QStringLiteral("ShowMsg: ") + text); }
    void setTimerInterval(telvara::PanelTimer, int) override {}
    void stopTimer(telvara::PanelTimer) override {}
    void setImage2Enabled(bool) override {}
    void clearGrid() override {}
    bool alarmVisible() const override { return false; }
    void bringAlarmToFront() override {}
    bool formControlActive() const override { return false; }
    void closeFormControl() override {}

    std::atomic<long> alarms{0};
    std::atomic<long> registrations{0};
};

struct Counters {
    std::atomic<long> sent{0}, answered{0}, extra{0}, applied{0}, foreign{0}, refused{0}, lost{0};
};

long residentKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

std::uint16_t freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(s);
    return ntohs(a.sin_port);
}

// The models in the order they first report: one of each, then VOLK-Lira. The table places a
// module only while its first row is below 100, so the later ones are never registered.
const modsim::SimModel& modelOf(int k) {
    static const char* first[] = {"vica", "tove", "sela", "orla", "unda"};
    return *modsim::findSimModel(k < 5 ? first[k] : "lira");
}

void runModule(LoopbackModule& m, std::uint16_t port, const Options& o, unsigned seed,
               const std::atomic<bool>& stop, Counters& c) {
    std::mt19937 rng(seed);
    const auto chance = [&](double p) {
        return std::uniform_real_distribution<>(0, 1)(rng) < p;
    };
    modsim::SimModule& sim = m.module();
    const int inputs = sim.model().inputs;
    while (!stop) {
        try {
            if (!m.isConnected())
                m.connect(port);
            while (!stop) {
                const auto next = Steady::now() + std::chrono::milliseconds(o.intervalMs);
                sim.tick(modsim::SimModule::Clock::now());
                if (inputs > 0 && chance(0.05)) {
                    const int i = std::uniform_int_distribution<>(0, inputs - 1)(rng);
                    sim.setInput(i, !sim.input(i));
                }
                if (sim.model().analogPos > 0)
                    for (int ch = 0; ch < 4; ++ch)
                        sim.setAnalog(ch, sim.analog(ch) +
                                              std::uniform_int_distribution<>(-300, 300)(rng));
                m.sendStatus();
                ++c.sent;
                int got = 0;
                for (;;) {
                    const auto left =
                        std::chrono::duration_cast<std::chrono::milliseconds>(next - Steady::now())
                            .count();
                    const auto a = m.awaitAnswer(left > 0 ? static_cast<int>(left) : 0);
                    if (!a)
                        break;
                    switch (a->result.kind) {
                    case Kind::Applied:
                        ++c.applied;
                        [[fallthrough]];
                    case Kind::Idle:
                        // A frame that matches no row is answered on the connection of the
                        // module handled before it: that module gets a second answer.
                        ++(got++ == 0 ? c.answered : c.extra);
                        break;
                    case Kind::OtherModule:
                        ++c.foreign;
                        break;
                    case Kind::Refused:
                        ++c.refused;
                        errors.add(QStringLiteral("module refused: ") +
                                   QString::fromLatin1(a->frame) + " (" + a->result.detail + ")");
                        break;
                    }
                }
            }
        } catch (const std::exception& e) {
            ++c.lost;
            errors.add(QStringLiteral("module connection lost: ") +
                       QString::fromLocal8Bit(e.what()));
            m.disconnect();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
}

// The operator: switches a random output to the other state, or pulses a pulsed one; once per
// VOLK-Vica, gives its analog inputs a scale and limits so that alarms come and go.
void operatorStep(telvara::PointTable& t, std::mt19937& rng) {
    auto lock = t.lock();
    if (t.Total_disp == 0)
        return;
    for (int r = 0; r < t.Total_disp; ++r)
        if (t.cell(col::Modelo, r) == QStringLiteral("VOLK-Vica") &&
            t.cell(col::IO, r) == QStringLiteral("6") && t.cell(col::Param1, r).isEmpty())
            for (int k = 0; k < 4; ++k)
                for (auto [c, v] : {std::pair{col::Param1, "0"},
                                    {col::Param2, "9999"},
                                    {col::Param3, "0"},
                                    {col::Param4, "100"},
                                    {col::ALMin, "20"},
                                    {col::ALMax, "80"}})
                    t.setCell(c, r + k, QString::fromLatin1(v));
    const int r = std::uniform_int_distribution<>(0, t.Total_disp - 1)(rng);
    const QString tipo = t.cell(col::Tipo, r);
    if (tipo == QStringLiteral("SAIDA DIGP")) {
        t.setCell(col::Valor, r, QStringLiteral("PC05"));
        t.setCell(col::StCom, r, QStringLiteral("PUL"));
        t.setCell(col::StLido, r, QStringLiteral("ON"));
    } else if (tipo == QStringLiteral("SAIDA DIG")) {
        t.setCell(col::StCom, r,
                  t.cell(col::StLido, r) == QStringLiteral("ON") ? QStringLiteral("OFF")
                                                                 : QStringLiteral("ON"));
    }
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds"))
            o.seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--modules"))
            o.modules = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--interval"))
            o.intervalMs = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            o.seed = static_cast<unsigned>(std::atol(argv[i + 1]));
        else {
            std::fprintf(stderr,
                         "usage: %s [--seconds S] [--modules N] [--interval MS] [--seed N]\n",
                         argv[0]);
            return 2;
        }
    }

    // A database of its own, configured before the panel starts: a free port, and the
    // supervisory program on this machine.
    QTemporaryDir root;
    qputenv("TELVARA_ROOT", root.path().toLocal8Bit());
    QDir().mkpath(QFileInfo(telvara::DataRoot::databaseFile()).path());
    const std::uint16_t port = freePort();
    {
        telvara::TableConnection c;
        c.open(telvara::DataRoot::databaseFile(), QStringLiteral("Bd_Valores"));
        telvara::ConfigRecord config(c.table());
        config.createIfMissing();
        config.setPortaAndIPSuperv(QString::number(port), QStringLiteral("127.0.0.1"));
    }

    SoakUi ui;
    telvara::Panel panel(ui, telvara::SystemClock::instance(), telvara::LocaleFormats::brazilian());
    panel.FormShow();
    std::printf("link-soak: %d modules every %d ms for %.0f s on port %u, database in %s\n",
                o.modules, o.intervalMs, o.seconds, port, qPrintable(root.path()));

    Counters counters;
    std::atomic<bool> stop{false};
    std::vector<std::unique_ptr<LoopbackModule>> modules;
    std::vector<std::thread> threads;
    for (int k = 0; k < o.modules; ++k) {
        modules.push_back(std::make_unique<LoopbackModule>(modelOf(k), QString::number(30000 + k),
                                                           loopbackAddress(k)));
        threads.emplace_back(runModule, std::ref(*modules.back()), port, std::cref(o),
                             o.seed + static_cast<unsigned>(k), std::cref(stop),
                             std::ref(counters));
        // One after the other, so that the models register in order.
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * o.intervalMs));
    }

    // The main window's timers, on this thread as on the user-interface thread.
    struct Timer {
        const char* name;
        int ms;
        std::function<void()> tick;
        Steady::time_point due;
    };
    long eventsWritten = 0, totalsWritten = 0;
    std::mt19937 rng(o.seed);
    std::vector<Timer> timers = {
        {"TimerRegLog",
         500,
         [&] {
             eventsWritten += static_cast<long>(panel.eventLog().TimerRegLogTimer(panel.table()));
         },
         {}},
        {"TimerRegTot",
         1000,
         [&] {
             totalsWritten +=
                 static_cast<long>(panel.totalizerLog().TimerRegTotTimer(panel.table()));
         },
         {}},
        {"TimerAtualizaGrid", 1000, [&] { panel.TimerAtualizaGridTimer(); }, {}},
        {"Timer_Carrega_Banco", 4500, [&] { panel.Timer_Carrega_BancoTimer(); }, {}},
        {"TimerOut", 5500, [&] { panel.TimerOutTimer(); }, {}},
        {"TimerSuperv", 2000, [&] { panel.TimerSupervTimer(); }, {}},
        {"operator", 250, [&] { operatorStep(panel.table(), rng); }, {}},
    };
    const auto start = Steady::now();
    for (auto& t : timers)
        t.due = start + std::chrono::milliseconds(t.ms);

    const auto elapsed = [&] {
        return std::chrono::duration<double>(Steady::now() - start).count();
    };
    long rssStart = 0, rssSettled = 0, rssMax = 0;
    auto nextReport = start + std::chrono::seconds(10);
    const auto report = [&](const char* when) {
        const long rss = residentKb();
        rssMax = std::max(rssMax, rss);
        int total = 0;
        {
            auto l = panel.table().lock();
            total = panel.table().Total_disp;
        }
        std::printf("%s t=%4.0fs rows=%d sent=%ld answered=%ld commands=%ld events=%ld "
                    "totals=%ld alarms=%ld lost=%ld rss=%ld kB\n",
                    when, elapsed(), total, counters.sent.load(), counters.answered.load(),
                    counters.applied.load(), eventsWritten, totalsWritten, ui.alarms.load(),
                    counters.lost.load(), rss);
        std::fflush(stdout);
        return rss;
    };
    while (elapsed() < o.seconds) {
        auto now = Steady::now();
        auto wake = now + std::chrono::milliseconds(50);
        for (auto& t : timers) {
            if (now >= t.due) {
                try {
                    t.tick();
                } catch (const std::exception& e) {
                    errors.add(QString::fromLatin1(t.name) + ": " +
                               QString::fromLocal8Bit(e.what()));
                }
                t.due += std::chrono::milliseconds(t.ms);
            }
            wake = std::min(wake, t.due);
        }
        if (Steady::now() >= nextReport) {
            const long rss = report("  ");
            if (rssStart == 0)
                rssStart = rss; // the modules are registered
            if (rssSettled == 0 && elapsed() >= o.seconds / 5)
                rssSettled = rss;
            nextReport +=
                std::chrono::seconds(std::clamp(static_cast<long>(o.seconds / 10), 1L, 60L));
        }
        std::this_thread::sleep_until(wake);
    }
    stop = true;
    for (auto& t : threads)
        t.join();
    const long rssEnd = report("end");
    panel.FormClose();

    const auto seen = errors.snapshot();
    long errorCount = 0;
    std::printf("\nsoak report (%.0f s, %d modules, %ld registered)\n", elapsed(), o.modules,
                ui.registrations.load());
    std::printf("  frames sent %ld, answered %ld (%.1f %%), commands carried out %ld\n",
                counters.sent.load(), counters.answered.load(),
                counters.sent ? 100.0 * static_cast<double>(counters.answered) /
                                    static_cast<double>(counters.sent)
                              : 0.0,
                counters.applied.load());
    std::printf("  second answers to one frame %ld, answers for another module %ld, refused frames "
                "%ld, connections lost %ld\n",
                counters.extra.load(), counters.foreign.load(), counters.refused.load(),
                counters.lost.load());
    std::printf("  events written %ld, totals written %ld, alarms shown %ld\n", eventsWritten,
                totalsWritten, ui.alarms.load());
    if (rssSettled == 0)
        rssSettled = rssStart;
    const double growth = rssSettled > 0 ? 100.0 * static_cast<double>(rssEnd - rssSettled) /
                                               static_cast<double>(rssSettled)
                                         : 0.0;
    std::printf("  resident memory: %ld kB at 10 s, %ld kB after a fifth of the run, %ld kB at "
                "the end (%+.1f %% since the fifth), %ld kB at most\n",
                rssStart, rssSettled, rssEnd, growth, rssMax);
    std::printf("  errors:%s\n", seen.empty() ? " none" : "");
    for (const auto& [text, n] : seen) {
        std::printf("    %dx %s\n", n, qPrintable(text));
        errorCount += n;
    }
    return errorCount > 0 || growth > 10.0 ? 1 : 0;
}
