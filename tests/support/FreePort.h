#pragma once

#include "link/net/TcpServer.h"

#include <cstdint>

namespace telvara::test {

// A loopback port nobody listens on right now: bound by a server that has stopped again.
inline std::uint16_t freePort() {
    net::TcpServer probe({});
    probe.start(0);
    const auto port = probe.boundPort();
    probe.stop();
    return port;
}

} // namespace telvara::test
