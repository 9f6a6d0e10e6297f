#pragma once

#include "link/LinkContext.h"
#include "link/net/Connection.h"

#include <exception>

namespace telvara {

// The module server's handlers: the whole road of one status frame, from the connection's bytes
// to the point table and the answer frame. Runs on the connection threads; works the same over
// real sockets and over in-memory connections.
class LinkEngine {
public:
    explicit LinkEngine(LinkContext ctx)
        : ctx_(ctx) {}

    void IdTCPServer1Connect(net::Connection& connection);
    // Reads and processes at most one status frame.
    void IdTCPServer1Execute(net::Connection& connection);
    void IdTCPServer1Exception(net::Connection& connection, const std::exception& error);
    void IdTCPServer1Disconnect(net::Connection& connection);

    // Waits up to this long for the first byte of a frame (10 ms).
    static constexpr int kWaitMs = 10;

    LinkContext& context() { return ctx_; }

private:
    LinkContext ctx_;
};

} // namespace telvara
