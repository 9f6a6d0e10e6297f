#include "EchoServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace telvara::bench {

EchoServer::EchoServer(std::string answer)
    : answer_(std::move(answer)) {}

EchoServer::~EchoServer() {
    stop();
}

std::uint16_t EchoServer::start() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0)
        throw std::runtime_error(std::string("echo server: ") + std::strerror(errno));
    socklen_t n = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &n);
    stopping_ = false;
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return ntohs(a.sin_port);
}

void EchoServer::stop() {
    if (!acceptThread_.joinable())
        return;
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listener_);
    std::list<std::thread> threads;
    {
        std::lock_guard g(mutex_);
        for (int s : sockets_)
            ::shutdown(s, SHUT_RDWR);
        threads.swap(threads_);
    }
    for (auto& t : threads)
        t.join();
    std::lock_guard g(mutex_);
    for (int s : sockets_)
        ::close(s);
    sockets_.clear();
}

void EchoServer::acceptLoop() {
    while (!stopping_) {
        const int s = ::accept(listener_, nullptr, nullptr);
        if (s < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // the listener was shut down
        }
        int on = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard g(mutex_);
        sockets_.push_back(s);
        threads_.emplace_back([this, s] { serve(s); });
    }
}

void EchoServer::serve(int s) {
    char buffer[512];
    for (;;) {
        const auto n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0 && !(n < 0 && errno == EINTR))
            return;
        for (auto k = std::count(buffer, buffer + std::max<ssize_t>(n, 0), '>'); k > 0; --k)
            if (::send(s, answer_.data(), answer_.size(), MSG_NOSIGNAL) < 0)
                return;
    }
}

} // namespace telvara::bench
