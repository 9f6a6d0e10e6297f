#include "link/net/SocketApi.h"
#include "link/net/TcpConnection.h"
#include "link/net/TcpServer.h"

#include <chrono>

namespace telvara::net {

namespace {

in_addr resolveIPv4(const std::string& host) {
    in_addr address{};
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1)
        return address;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        throw NetError("Host not found: " + host);
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return address;
}

} // namespace

std::unique_ptr<Connection> connectTcp(const std::string& host, std::uint16_t port, int timeoutMs,
                                       int sendTimeoutMs) {
    sys::initialise();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr = resolveIPv4(host);
    a.sin_port = htons(port);

    const sys::Socket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == sys::kInvalidSocket)
        throw NetError("Could not create socket: " + sys::errorText(sys::lastError()));
    const auto failWith = [s](const std::string& message) {
        sys::closeSocket(s);
        throw NetError(message);
    };
    const std::string target = host + ":" + std::to_string(port);
    if (!sys::setNonBlocking(s))
        failWith("Could not connect to " + target + ": " + sys::errorText(sys::lastError()));

    if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        int e = sys::lastError();
        if (!sys::connectInProgress(e) && !sys::interrupted(e))
            failWith("Could not connect to " + target + ": " + sys::errorText(e));
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd p{};
            p.fd = s;
            p.events = POLLOUT;
            const int r = sys::pollSockets(&p, 1, left > 0 ? static_cast<int>(left) : 0);
            if (r > 0)
                break;
            if (r == 0)
                failWith("Connect timed out: " + target);
            e = sys::lastError();
            if (!sys::interrupted(e))
                failWith("Could not connect to " + target + ": " + sys::errorText(e));
        }
        int error = 0;
        socklen_t n = sizeof error;
        ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &n);
        if (error != 0)
            failWith("Could not connect to " + target + ": " + sys::errorText(error));
    }
    return std::make_unique<TcpConnection>(s, sendTimeoutMs);
}

} // namespace telvara::net
