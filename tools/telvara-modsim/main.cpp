// telvara-modsim: simulated VOLK modules for commissioning and testing the Telvara panel.

#include "SimOptions.h"
#include "SimRunner.h"

#include <chrono>
#include <cstdio>
#include <random>

#ifndef _WIN32
#include <csignal>
#include <ctime>
#include <pthread.h>
#else
#include <atomic>
#include <csignal>
#include <thread>
#endif

using namespace telvara::modsim;

namespace {

void printLine(std::FILE* f, const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), f);
    std::fflush(f);
}

#ifdef _WIN32
std::atomic<bool> g_signalled{false};
void onSignal(int) {
    g_signalled = true;
}
#endif

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    ParsedArgs parsed = parseSimArgs(args);
    if (parsed.help) {
        std::fputs(simHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        printLine(stderr, "telvara-modsim: " + parsed.error);
        printLine(stderr, "Try 'telvara-modsim --help'.");
        return 2;
    }
    SimOptions& o = parsed.options;
    if (!o.seedGiven)
        o.seed = std::random_device{}();

#ifndef _WIN32
    // The signals are taken by this thread alone, through sigtimedwait; the module threads
    // inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
#else
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#endif

    SimRunner runner(
        o, [](const QString& line) { printLine(stdout, line); },
        [](const QString& line) { printLine(stderr, line); });
    printLine(stderr, QString("telvara-modsim: %1 module(s) to %2:%3, seed %4")
                          .arg(o.modules.size())
                          .arg(QString::fromStdString(o.host))
                          .arg(o.port)
                          .arg(o.seed));
    runner.start();

    using Clock = std::chrono::steady_clock;
    const bool timed = o.durationS > 0;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(o.durationS));
    for (;;) {
        // Without a duration, wake once a minute for nothing but to wait again.
        auto left = timed ? end - Clock::now() : Clock::duration(std::chrono::minutes(1));
        if (left <= Clock::duration::zero())
            break;
#ifndef _WIN32
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec t{static_cast<std::time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        if (sigtimedwait(&stopSignals, nullptr, &t) > 0)
            break;
#else
        if (g_signalled)
            break;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(left, std::chrono::milliseconds(100)));
#endif
    }
    runner.stop();
    printLine(stderr, QString("telvara-modsim: stopped after %1 status frames, %2 commands")
                          .arg(runner.framesSent())
                          .arg(runner.commandsApplied()));
    return 0;
}
