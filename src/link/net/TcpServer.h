#pragma once

#include "link/net/Connection.h"
#include "link/net/ConnectionList.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

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

    // Throws NetError when the port cannot be bound. Port 0 picks a free port (tests).
    void start(std::uint16_t port);
    void stop();
    bool running() const;
    // The port actually bound (after start), else 0.
    std::uint16_t boundPort() const;

    // Every write to a connection gives up after this long (a peer that stopped reading).
    void setSendTimeoutMs(int ms);

    ConnectionList& connections();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Client side of the same layer, for the supervisory link, the simulator and tests.
// Throws NetError when the connection cannot be made within the time-out.
std::unique_ptr<Connection> connectTcp(const std::string& host, std::uint16_t port, int timeoutMs,
                                       int sendTimeoutMs = 3000);

} // namespace telvara::net
