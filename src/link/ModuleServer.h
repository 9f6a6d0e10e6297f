#pragma once

#include "link/LinkEngine.h"
#include "link/net/TcpServer.h"

#include <cstdint>

namespace telvara {

// The module server IdTCPServer1: the socket server with the link engine as its handlers.
class ModuleServer {
public:
    ModuleServer(PointTable& table, UiPort& ui, const Clock& clock, const LocaleFormats& formats,
                 int sendTimeoutMs = 3000);
    ~ModuleServer();

    // Listens on all local addresses at the default port. Throws net::NetError when it cannot.
    void start();
    // Closes every module connection and joins their threads. Never call it holding the
    // point-table lock: a connection thread may be waiting for it.
    void stop();
    bool running() const;

    void setDefaultPort(std::uint16_t port) { defaultPort_ = port; }
    std::uint16_t defaultPort() const { return defaultPort_; }
    // The port actually listened on (differs from the default only for port 0).
    std::uint16_t boundPort() const;

    net::ConnectionList& connections() { return server_.connections(); }
    LinkEngine& engine() { return engine_; }

private:
    net::TcpServer server_;
    LinkEngine engine_;
    std::uint16_t defaultPort_ = 5000;
};

} // namespace telvara
