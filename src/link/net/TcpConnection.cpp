#include "link/net/TcpConnection.h"

#include <algorithm>
#include <chrono>

namespace telvara::net {

namespace {

using Clock = std::chrono::steady_clock;

// A blocked read looks at the shutdown flag this often, in case the platform does not wake a
// poll on a socket that another thread shut down.
constexpr int kReadSliceMs = 250;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// poll() for one event on one socket, restarted after signals, giving up at the deadline.
// Returns the revents (0 on time-out) or -1 with the error in `error`.
int pollUntil(sys::Socket s, short events, Clock::time_point deadline, int& error) {
    for (;;) {
        pollfd p{};
        p.fd = s;
        p.events = events;
        const int r = sys::pollSockets(&p, 1, msLeft(deadline));
        if (r > 0)
            return p.revents;
        if (r == 0)
            return 0;
        error = sys::lastError();
        if (!sys::interrupted(error))
            return -1;
        if (msLeft(deadline) == 0)
            return 0;
    }
}

} // namespace

TcpConnection::TcpConnection(sys::Socket socket, int sendTimeoutMs)
    : socket_(socket)
    , sendTimeoutMs_(sendTimeoutMs) {
    sys::setNonBlocking(socket_);
    sys::setNoDelay(socket_);
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (::getpeername(socket_, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        peer_ = sys::dottedAddress(a);
    a = {};
    n = sizeof a;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &n) == 0) {
        local_ = sys::dottedAddress(a);
        localPort_ = ntohs(a.sin_port);
    }
}

TcpConnection::~TcpConnection() {
    sys::closeSocket(socket_);
}

bool TcpConnection::connected() const {
    return open_.load();
}

void TcpConnection::shutdown() {
    shutDown_.store(true);
    open_.store(false);
    ::shutdown(socket_, sys::kShutBoth);
}

void TcpConnection::fail(const std::string& message) {
    open_.store(false);
    throw NetError(message);
}

bool TcpConnection::waitForData(int ms) {
    if (pos_ < len_ || endOfInput_ || shutDown_.load())
        return true; // the next readByte answers at once, with a byte or an error
    int error = 0;
    const int r = pollUntil(socket_, POLLIN, Clock::now() + std::chrono::milliseconds(ms), error);
    // An error or hang-up counts as readable: the read that follows reports it.
    return r != 0;
}

std::uint8_t TcpConnection::readByte() {
    if (pos_ < len_)
        return buffer_[pos_++];
    for (;;) {
        if (shutDown_.load())
            fail("Connection closed");
        if (endOfInput_)
            fail("Connection closed by peer");
        const auto n = ::recv(socket_, reinterpret_cast<char*>(buffer_.data()),
                              static_cast<int>(buffer_.size()), 0);
        if (n > 0) {
            pos_ = 1;
            len_ = static_cast<std::size_t>(n);
            return buffer_[0];
        }
        if (n == 0) {
            endOfInput_ = true;
            continue;
        }
        const int e = sys::lastError();
        if (sys::interrupted(e))
            continue;
        if (!sys::wouldBlock(e))
            fail(sys::errorText(e));
        int error = 0;
        const int r = pollUntil(socket_, POLLIN,
                                Clock::now() + std::chrono::milliseconds(kReadSliceMs), error);
        if (r < 0)
            fail(sys::errorText(error));
    }
}

void TcpConnection::discardInput() {
    pos_ = len_ = 0;
    // Only what is already here: never wait, and stop after a bounded amount so that a peer
    // streaming without pause cannot keep this call busy.
    for (std::size_t drained = 0; drained < kDiscardLimit;) {
        const auto n = ::recv(socket_, reinterpret_cast<char*>(buffer_.data()),
                              static_cast<int>(buffer_.size()), 0);
        if (n > 0) {
            drained += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) {
            endOfInput_ = true;
            break;
        }
        const int e = sys::lastError();
        if (sys::interrupted(e))
            continue;
        if (!sys::wouldBlock(e))
            endOfInput_ = true;
        break;
    }
    // An end seen here stays for the next readByte to report, so that the handler ends the
    // connection the usual way.
}

void TcpConnection::write(std::string_view bytes) {
    std::lock_guard guard(writeMutex_);
    if (shutDown_.load())
        throw NetError("Connection closed");
    const auto deadline = Clock::now() + std::chrono::milliseconds(sendTimeoutMs_.load());
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto n = ::send(socket_, p, static_cast<int>(std::min<std::size_t>(left, 1 << 20)),
                              sys::kNoSignal);
        if (n > 0) {
            p += n;
            left -= static_cast<std::size_t>(n);
            continue;
        }
        const int e = n < 0 ? sys::lastError() : 0;
        if (n < 0 && sys::interrupted(e))
            continue;
        if (n < 0 && !sys::wouldBlock(e))
            fail(sys::errorText(e));
        int error = 0;
        const int r = pollUntil(socket_, POLLOUT, deadline, error);
        if (r < 0)
            fail(sys::errorText(error));
        if (r == 0) {
            // The peer stopped reading. End the connection both ways so that its reader thread
            // notices too and the socket is not left half used.
            shutdown();
            throw NetError("Send timed out");
        }
    }
}

} // namespace telvara::net
