#include "LoopbackModule.h"

#include "link/net/SocketApi.h"

#include <algorithm>
#include <chrono>

namespace telvara::bench {

std::string loopbackAddress(int k) {
    return "127.0." + std::to_string(k / 250) + "." + std::to_string(2 + k % 250);
}

LoopbackModule::LoopbackModule(const modsim::SimModel& model, const QString& serial,
                               std::string source)
    : module_(model, serial)
    , source_(std::move(source)) {}

void LoopbackModule::connect(std::uint16_t port, Narrow narrow) {
    using namespace net;
    disconnect();
    const sys::Socket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == sys::kInvalidSocket)
        throw NetError("socket: " + sys::errorText(sys::lastError()));
    const auto fail = [s](const std::string& what) {
        const int e = sys::lastError();
        sys::closeSocket(s);
        throw NetError(what + ": " + sys::errorText(e));
    };
    if (narrow.receiveBufferBytes > 0 &&
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &narrow.receiveBufferBytes,
                     sizeof narrow.receiveBufferBytes) != 0)
        fail("SO_RCVBUF");
    if (narrow.maxSegmentBytes > 0 &&
        ::setsockopt(s, IPPROTO_TCP, TCP_MAXSEG, &narrow.maxSegmentBytes,
                     sizeof narrow.maxSegmentBytes) != 0)
        fail("TCP_MAXSEG");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    if (::inet_pton(AF_INET, source_.c_str(), &a.sin_addr) != 1)
        fail("bad source address " + source_);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0)
        fail("bind " + source_);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    // Loopback connects or refuses at once; no time-out needed.
    if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0)
        fail("connect to port " + std::to_string(port));
    conn_ = std::make_unique<TcpConnection>(s, 3000);
    splitter_ = {};
}

void LoopbackModule::disconnect() {
    if (conn_)
        conn_->shutdown();
    conn_.reset();
}

void LoopbackModule::sendStatus() {
    const QByteArray f = module_.statusFrame();
    send(std::string_view(f.constData(), static_cast<std::size_t>(f.size())));
}

void LoopbackModule::send(std::string_view bytes) {
    if (!conn_)
        throw net::NetError("not connected");
    conn_->write(bytes);
}

std::optional<LoopbackModule::Answer> LoopbackModule::awaitAnswer(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    if (!conn_)
        throw net::NetError("not connected");
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (!conn_->waitForData(left > 0 ? static_cast<int>(left) : 0))
            return std::nullopt;
        if (auto frame = splitter_.feed(static_cast<char>(conn_->readByte())))
            return Answer{*frame, module_.applyCommand(*frame, modsim::SimModule::Clock::now())};
    }
}

void LoopbackModule::drain(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (conn_ && Clock::now() < deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (conn_->waitForData(static_cast<int>(left)))
            conn_->readByte();
    }
    splitter_ = {};
}

bool LoopbackModule::sendUntilAnswered(int maxFrames, int waitMs) {
    using Kind = modsim::SimModule::CommandResult::Kind;
    // The registering frame gets no answer, so the first waits are short; later ones grow in
    // case the panel is slow (a sanitizer build).
    int wait = 10;
    for (int k = 0; k < maxFrames; ++k, wait = std::min(2 * wait, waitMs)) {
        sendStatus();
        // A frame meant for another module is skipped; a missing answer means the next frame.
        while (const auto a = awaitAnswer(wait))
            if (a->result.kind == Kind::Idle || a->result.kind == Kind::Applied)
                return true;
    }
    return false;
}

} // namespace telvara::bench
