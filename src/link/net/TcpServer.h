#pragma once

#include "link/net/Connection.h"
#include "link/net/ConnectionList.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace telvara::net {

// TCP server over BSD sockets: listens on all IPv4 addresses, one thread per connection that
// calls onExecute over and over while the connection lives. An exception out of a handler (or a
// failed read/write) calls onException on that thread, then the connection is closed, taken off
// the list and onDisconnect is called. stop() may be called from any thread but a connection
// thread; it closes every socket and joins every thread.
class TcpServer {
public:
    struct Handlers {
        std::function<void(Connection&)> onConnect;
        std::function<void(Connection&)> onExecute;
        std::function<void(Connection&, const std::exception&)> onException;
        std::function<void(Connection&)> onDisconnect;
    };

    explicit TcpServer(Handlers handlers);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Throws NetError when the port cannot be bound. Port 0 picks a free port (tests). A running
    // server is stopped first, so start() also moves it to another port.
    void start(std::uint16_t port);
    // Also lets a handler that is busy (waiting for a lock of its own) finish; throws
    // std::logic_error when called from a connection thread, which it would have to join.
    void stop();
    bool running() const;
    // The port actually bound (after start), else 0.
    std::uint16_t boundPort() const;

    // Every write to a connection gives up after this long (a peer that stopped reading).
    void setSendTimeoutMs(int ms);

    ConnectionList& connections();

    // Connection threads started and not yet joined; finished ones are joined by the accept thread
    // within a fraction of a second, and all of them by stop().
    std::size_t threadCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Client side of the same layer, for the supervisory link, the simulator and tests.
// Throws NetError when the connection cannot be made within the time-out.
std::unique_ptr<Connection> connectTcp(const std::string& host, std::uint16_t port, int timeoutMs,
                                       int sendTimeoutMs = 3000);

} // namespace telvara::net
