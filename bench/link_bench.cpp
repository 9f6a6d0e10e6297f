// Answer latency and throughput of the module server against a minimal thread-per-connection
// TCP server on loopback, and the CPU the server spends on idle connections.
//
//   link-bench [--rounds N] [--seconds S] [--idle S] [--modules N] [--idle-connections N]
//
// Every module is a VOLK-Lira, the smallest block (three rows). A block is placed only when it
// begins below row 100, so 34 of them are the most the table registers (rows 0 to 101); a 35th
// module is never answered. Each module keeps sending its status frame and waiting for the answer
// before sending the next (closed loop). Latency is from the status frame sent to the whole answer
// received. Panel and baseline take turns in each round so that a busy machine disturbs both alike.

#include "EchoServer.h"
#include "LoopbackModule.h"
#include "link/ModuleServer.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using telvara::LocaleFormats;
using telvara::ModuleServer;
using telvara::PointTable;
using telvara::SystemClock;
using telvara::UiPort;
using namespace telvara::bench;
namespace modsim = telvara::modsim;
using Steady = std::chrono::steady_clock;

namespace {

struct Options {
    int rounds = 3;
    double seconds = 2.0;
    double idleSeconds = 10.0;
    int modules = 34;
    int idleConnections = 38;
};

class NullUi final : public UiPort {
public:
    void setCaption(const QString&) override {}
    void setLabelTotalConec(const QString&) override {}
    void setLabelStatus(const QString& t) override { lastStatus = t; }
    void stopNoConnectionTimer() override {}
    void showAlarm(const QString&) override {}
    void TocarSom() override {}
    void moduleRegistered() override {}
    QString lastStatus;
};

struct Samples {
    std::vector<double> us;
    std::uint64_t errors = 0;
    double seconds = 0;

    void add(const Samples& o) {
        us.insert(us.end(), o.us.begin(), o.us.end());
        errors += o.errors;
        seconds += o.seconds;
    }
    double percentile(double p) {
        if (us.empty())
            return 0;
        std::sort(us.begin(), us.end());
        const auto i = static_cast<std::size_t>(p * static_cast<double>(us.size() - 1));
        return us[i];
    }
    double perSecond() const { return seconds > 0 ? static_cast<double>(us.size()) / seconds : 0; }
};

using Modules = std::vector<std::unique_ptr<LoopbackModule>>;

const modsim::SimModel& lira() {
    return *modsim::findSimModel("lira");
}

// Connects n modules; each sends until it gets an answer meant for it. The panel may send a
// module an extra answer while another one registers, so what is left over is drained.
Modules connectModules(std::uint16_t port, int n, bool panel) {
    Modules m;
    for (int k = 0; k < n; ++k) {
        auto mod = std::make_unique<LoopbackModule>(lira(), QString::number(10000 + k),
                                                    loopbackAddress(k));
        mod->connect(port);
        bool ok = false;
        if (panel) {
            ok = mod->sendUntilAnswered();
        } else {
            mod->sendStatus();
            ok = mod->awaitAnswer(2000).has_value();
        }
        if (!ok) {
            std::fprintf(stderr, "module %d got no answer while warming up\n", k);
            std::exit(2);
        }
        m.push_back(std::move(mod));
    }
    for (auto& mod : m)
        mod->drain(20);
    return m;
}

void closedLoop(LoopbackModule& m, bool panel, Steady::time_point end, Samples& s) {
    const auto start = Steady::now();
    while (Steady::now() < end) {
        const auto t0 = Steady::now();
        m.sendStatus();
        const auto a = m.awaitAnswer(2000);
        const auto t1 = Steady::now();
        if (!a || (panel && a->result.kind != modsim::SimModule::CommandResult::Kind::Idle)) {
            ++s.errors;
            continue;
        }
        s.us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    s.seconds = std::chrono::duration<double>(Steady::now() - start).count();
}

// All modules flat out for `seconds`; the rate is answered frames per second of wall time.
Samples measure(Modules& modules, bool panel, double seconds) {
    std::vector<Samples> each(modules.size());
    std::latch ready(static_cast<std::ptrdiff_t>(modules.size()) + 1);
    Steady::time_point end;
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < modules.size(); ++k)
        threads.emplace_back([&, k] {
            ready.arrive_and_wait();
            closedLoop(*modules[k], panel, end, each[k]);
        });
    end = Steady::now() +
          std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(seconds));
    const auto start = Steady::now();
    ready.arrive_and_wait();
    for (auto& t : threads)
        t.join();
    Samples all;
    for (auto& s : each)
        all.add(s);
    all.seconds = std::chrono::duration<double>(Steady::now() - start).count();
    return all;
}

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct BenchPanel {
    PointTable table;
    NullUi ui;
    LocaleFormats formats = LocaleFormats::brazilian();
    ModuleServer server{table, ui, SystemClock::instance(), formats};
    BenchPanel() {
        server.setDefaultPort(0);
        server.start();
    }
    std::uint16_t port() const { return server.boundPort(); }
};

// What the panel answers an idle VOLK-Lira: the short idle frame and CR LF.
const std::string kIdleAnswer = "<VOLKZUW999000000010000>\r\n";

struct Result {
    Samples echo, panel;
};

Result runScenario(int n, const Options& o) {
    Result r;
    for (int round = 0; round < o.rounds; ++round) {
        {
            EchoServer echo(kIdleAnswer);
            auto m = connectModules(echo.start(), n, false);
            r.echo.add(measure(m, false, o.seconds));
        }
        {
            BenchPanel p;
            auto m = connectModules(p.port(), n, true);
            r.panel.add(measure(m, true, o.seconds));
        }
    }
    return r;
}

const char* verdict(bool ok) {
    return ok ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            o.rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seconds"))
            o.seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--idle"))
            o.idleSeconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--modules"))
            o.modules = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--idle-connections"))
            o.idleConnections = std::atoi(argv[i + 1]);
        else {
            std::fprintf(stderr,
                         "usage: %s [--rounds N] [--seconds S] [--idle S] [--modules N] "
                         "[--idle-connections N]\n",
                         argv[0]);
            return 2;
        }
    }
    std::printf("link-bench: %d round(s) of %.1f s per measurement, %u cores\n", o.rounds,
                o.seconds, std::thread::hardware_concurrency());

    Result one = runScenario(1, o);
    Result many = runScenario(o.modules, o);

    double idleCpu = 0;
    {
        BenchPanel p;
        // The registered modules, then connections that never send (the table has no room for
        // their modules); none of them sends anything while the CPU is measured.
        auto m = connectModules(p.port(), std::min(o.modules, o.idleConnections), true);
        for (int k = o.modules; k < o.idleConnections; ++k) {
            m.push_back(std::make_unique<LoopbackModule>(lira(), QString::number(10000 + k),
                                                         loopbackAddress(k)));
            m.back()->connect(p.port());
        }
        const double c0 = cpuSeconds();
        const auto t0 = Steady::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(o.idleSeconds));
        const double wall = std::chrono::duration<double>(Steady::now() - t0).count();
        idleCpu = 100.0 * (cpuSeconds() - c0) / wall;
    }

    const double e1 = one.echo.percentile(0.5), p1 = one.panel.percentile(0.5);
    const double e1_99 = one.echo.percentile(0.99), p1_99 = one.panel.percentile(0.99);
    const double eM = many.echo.percentile(0.5), pM = many.panel.percentile(0.5);
    const double eM90 = many.echo.percentile(0.9), pM90 = many.panel.percentile(0.9);
    const double eM99 = many.echo.percentile(0.99), pM99 = many.panel.percentile(0.99);
    const double eRate = many.echo.perSecond(), pRate = many.panel.perSecond();

    std::printf("\n%-34s %12s %12s %8s\n", "", "echo", "panel", "ratio");
    const auto row = [](const char* what, double e, double p) {
        std::printf("%-34s %12.1f %12.1f %8.2f\n", what, e, p, e > 0 ? p / e : 0.0);
    };
    row("1 module: p50 latency (us)", e1, p1);
    row("1 module: p99 latency (us)", e1_99, p1_99);
    row("1 module: answered frames/s", one.echo.perSecond(), one.panel.perSecond());
    char label[64];
    std::snprintf(label, sizeof label, "%d modules: p50 latency (us)", o.modules);
    row(label, eM, pM);
    std::snprintf(label, sizeof label, "%d modules: p90 latency (us)", o.modules);
    row(label, eM90, pM90);
    std::snprintf(label, sizeof label, "%d modules: p99 latency (us)", o.modules);
    row(label, eM99, pM99);
    std::snprintf(label, sizeof label, "%d modules: answered frames/s", o.modules);
    row(label, eRate, pRate);
    std::printf("%d idle connections: panel CPU %.2f %% of one core over %.0f s\n",
                o.idleConnections, idleCpu, o.idleSeconds);
    std::printf("errors (no or wrong answer): echo %llu, panel %llu\n",
                static_cast<unsigned long long>(one.echo.errors + many.echo.errors),
                static_cast<unsigned long long>(one.panel.errors + many.panel.errors));

    std::printf("\ntargets\n");
    std::printf("  1 module p50 <= 1.3 x echo:          %.2f  %s\n", p1 / e1,
                verdict(p1 <= 1.3 * e1));
    std::printf("  %d modules frames/s >= 0.5 x echo:   %.2f  %s\n", o.modules, pRate / eRate,
                verdict(pRate >= 0.5 * eRate));
    std::printf("  %d modules p99 <= 3 x echo:          %.2f  %s\n", o.modules, pM99 / eM99,
                verdict(pM99 <= 3 * eM99));
    std::printf("  %d idle connections <= 3 %% of a core: %.2f  %s\n", o.idleConnections, idleCpu,
                verdict(idleCpu <= 3.0));
    return 0;
}
