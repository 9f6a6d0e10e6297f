#pragma once

#include "SimOptions.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace telvara::modsim {

// Runs the modules of the options, each its own TCP client on its own thread: sends the status
// frame every interval, obeys the command frames that come back, and connects again with a
// growing back-off when the connection is lost or refused.
class SimRunner {
public:
    // Receives whole lines without the line end; called from the module threads, one at a time.
    using Sink = std::function<void(const QString& line)>;

    // `out` gets the JSON lines (--log-json), `err` the messages for people.
    SimRunner(SimOptions options, Sink out, Sink err);
    ~SimRunner();
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    void start();
    // Ends every module thread and closes its connection; returns once all are joined.
    void stop();

    std::uint64_t framesSent() const { return framesSent_.load(); }
    std::uint64_t commandsApplied() const { return commandsApplied_.load(); }

private:
    void runModule(std::size_t index);
    // Waits, or returns false at once when the runner stops.
    bool pause(std::chrono::milliseconds ms);
    void writeLine(const Sink& sink, const QString& line);

    SimOptions options_;
    Sink out_;
    Sink err_;
    std::mutex sinkMutex_;
    std::mutex stopMutex_;
    std::condition_variable stopCv_;
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> threads_;
    std::chrono::steady_clock::time_point started_;
    std::atomic<std::uint64_t> framesSent_{0};
    std::atomic<std::uint64_t> commandsApplied_{0};
};

} // namespace telvara::modsim
