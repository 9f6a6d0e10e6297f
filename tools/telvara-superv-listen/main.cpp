// telvara-superv-listen: stands in for the supervisory program. Accepts the panel's connections,
// splits what arrives into supervisory frames, checks their CRC and prints them.

#include "SupervFrameFormat.h"
#include "SupervFrameParser.h"

#include "link/net/TcpServer.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#include <time.h>
#endif

namespace {

using telvara::SupervFrameParser;
using telvara::SupervParseEvent;

constexpr const char* kHelp =
    R"(Usage: telvara-superv-listen [options]

Receives the supervisory frames of a Telvara panel: listens on a TCP port on all IPv4
addresses, accepts any number of connections, splits each byte stream into frames by their
block structure, checks each frame's CRC-16 and prints the frame.

Options:
  --port N       TCP port to listen on (default 5100). 0 picks a free port.
  --json         print one JSON object per frame, one per line, instead of a table:
                   {"frame":N,"peer":"ADDR","bytes":N,"row_count":N,"crc_ok":true|false,
                    "crc_received":"XXXX","crc_computed":"XXXX","rows":[[13 strings],...]}
                 cell texts are decoded from Latin-1 to UTF-8.
  --count N      exit after N frames (good or bad CRC); 0 means never (default).
  --max-frame N  give up on a frame that has no end byte after N bytes (default 1048576).
  -h, --help     show this text and exit.

Output: frames go to standard output. Standard error gets, on its first line,
"listening on 0.0.0.0:PORT" with the port actually bound, then one line per connection
opened or closed, per malformed frame (the stream is resynchronised at the next "$"), per run
of bytes skipped outside any frame and per frame with a bad CRC.
SIGINT and SIGTERM end the program cleanly. Exit status: 0, 1 when the port cannot be bound,
2 for a bad option.
)";

struct Options {
    std::uint16_t port = 5100;
    bool json = false;
    std::size_t count = 0;
    std::size_t maxFrame = SupervFrameParser::kDefaultMaxFrameBytes;
};

template <typename T> bool parseNumber(std::string_view text, T& value, T min, T max) {
    unsigned long long v = 0;
    const auto* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end || text.empty() || v < static_cast<unsigned long long>(min) ||
        v > static_cast<unsigned long long>(max))
        return false;
    value = static_cast<T>(v);
    return true;
}

// Returns -1 to go on, else the exit status.
int parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "telvara-superv-listen: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--port") {
            const char* v = value("--port");
            if (!v || !parseNumber<std::uint16_t>(v, o.port, 0, 65535)) {
                if (v)
                    std::fprintf(stderr, "telvara-superv-listen: bad port \"%s\"\n", v);
                return 2;
            }
        } else if (a == "--count") {
            const char* v = value("--count");
            if (!v || !parseNumber<std::size_t>(v, o.count, 0, 1'000'000'000)) {
                if (v)
                    std::fprintf(stderr, "telvara-superv-listen: bad count \"%s\"\n", v);
                return 2;
            }
        } else if (a == "--max-frame") {
            const char* v = value("--max-frame");
            if (!v || !parseNumber<std::size_t>(v, o.maxFrame, 6, std::size_t{1} << 30)) {
                if (v)
                    std::fprintf(stderr, "telvara-superv-listen: bad frame limit \"%s\"\n", v);
                return 2;
            }
        } else {
            std::fprintf(stderr, "telvara-superv-listen: unknown option \"%s\" (see --help)\n",
                         argv[i]);
            return 2;
        }
    }
    return -1;
}

// Shared by the connection threads: one parser per connection, one output.
class Receiver {
public:
    explicit Receiver(const Options& o)
        : options_(o) {}

    void opened(telvara::net::Connection& c) {
        std::lock_guard g(mutex_);
        parsers_[&c] = std::make_unique<SupervFrameParser>(options_.maxFrame);
        std::fprintf(stderr, "connection from %s\n", c.peerAddress().c_str());
    }

    void execute(telvara::net::Connection& c) {
        if (!c.waitForData(100))
            return;
        std::string chunk;
        try {
            while (chunk.size() < 4096 && c.waitForData(0))
                chunk += static_cast<char>(c.readByte());
        } catch (const telvara::net::NetError&) {
            // The peer closed after its last bytes; the connection is no longer connected(), so
            // the server ends it after this call and the parser's finish() reports the rest.
        }
        handle(c, [&](SupervFrameParser& p) { return p.feed(chunk); });
    }

    void closed(telvara::net::Connection& c) {
        handle(c, [](SupervFrameParser& p) { return p.finish(); });
        std::lock_guard g(mutex_);
        parsers_.erase(&c);
        std::fprintf(stderr, "connection from %s closed\n", c.peerAddress().c_str());
    }

    bool done() const { return done_.load(); }

private:
    template <typename F> void handle(telvara::net::Connection& c, F parse) {
        SupervFrameParser* parser = nullptr;
        {
            std::lock_guard g(mutex_);
            auto it = parsers_.find(&c);
            if (it == parsers_.end())
                return;
            parser = it->second.get();
        }
        // Only this connection's thread uses its parser.
        const auto events = parse(*parser);
        const std::string peer = c.peerAddress();
        std::lock_guard g(mutex_);
        for (const auto& e : events)
            report(e, peer);
    }

    void report(const SupervParseEvent& e, const std::string& peer) {
        if (done_)
            return;
        switch (e.kind) {
        case SupervParseEvent::Kind::Malformed:
            std::fprintf(stderr, "malformed frame from %s: %s\n", peer.c_str(), e.message.c_str());
            return;
        case SupervParseEvent::Kind::Skipped:
            std::fprintf(stderr, "from %s: %s\n", peer.c_str(), e.message.c_str());
            return;
        case SupervParseEvent::Kind::Frame:
            break;
        }
        ++frames_;
        if (!e.frame.crcOk())
            std::fprintf(stderr, "frame %zu from %s: bad CRC (received %04X, computed %04X)\n",
                         frames_, peer.c_str(), static_cast<unsigned>(e.frame.crcReceived),
                         static_cast<unsigned>(e.frame.crcComputed));
        const std::string text = options_.json ? telvara::formatFrameJson(e.frame, frames_, peer)
                                               : telvara::formatFrameTable(e.frame, frames_, peer);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        if (options_.count != 0 && frames_ >= options_.count)
            done_ = true;
    }

    const Options& options_;
    std::mutex mutex_;
    std::map<const telvara::net::Connection*, std::unique_ptr<SupervFrameParser>> parsers_;
    std::size_t frames_ = 0;
    std::atomic<bool> done_{false};
};

#ifdef _WIN32
std::atomic<bool> g_signalled{false};
extern "C" void onSignal(int) {
    g_signalled = true;
}
#endif

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = parseOptions(argc, argv, options); status >= 0)
        return status;

#ifndef _WIN32
    // Every thread inherits the blocked signals; only the loop below takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
#else
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#endif

    Receiver receiver(options);
    telvara::net::TcpServer server({
        .onConnect = [&](telvara::net::Connection& c) { receiver.opened(c); },
        .onExecute = [&](telvara::net::Connection& c) { receiver.execute(c); },
        .onException =
            [](telvara::net::Connection& c, const std::exception& e) {
                std::fprintf(stderr, "connection from %s: %s\n", c.peerAddress().c_str(), e.what());
            },
        .onDisconnect = [&](telvara::net::Connection& c) { receiver.closed(c); },
    });
    try {
        server.start(options.port);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "telvara-superv-listen: cannot listen on port %u: %s\n",
                     static_cast<unsigned>(options.port), e.what());
        return 1;
    }
    std::fprintf(stderr, "listening on 0.0.0.0:%u\n", static_cast<unsigned>(server.boundPort()));
    std::fflush(stderr);

    while (!receiver.done()) {
#ifndef _WIN32
        const timespec wait{0, 100'000'000};
        if (sigtimedwait(&signals, nullptr, &wait) > 0)
            break;
#else
        if (g_signalled)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
#endif
    }
    server.stop();
    return 0;
}
