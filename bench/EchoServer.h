#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace telvara::bench {

// The baseline: the least a thread-per-connection TCP server can do with a status frame. Blocking
// sockets, Nagle off; every '>' received is answered at once with a fixed frame of the panel's
// answer size. Loopback only.
class EchoServer {
public:
    explicit EchoServer(std::string answer);
    ~EchoServer();
    EchoServer(const EchoServer&) = delete;
    EchoServer& operator=(const EchoServer&) = delete;

    // Listens on 127.0.0.1 on a free port and returns it. Throws std::runtime_error.
    std::uint16_t start();
    void stop();

private:
    void acceptLoop();
    void serve(int socket);

    std::string answer_;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::list<std::thread> threads_;
    std::list<int> sockets_;
};

} // namespace telvara::bench
