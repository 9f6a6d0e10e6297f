#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace telvara::net {

// A failed socket operation: the peer closed, a read or write failed or timed out. It ends the
// connection that raised it.
class NetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One module connection as the link engine sees it. The socket layer implements it over BSD
// sockets; tests and the fuzzer implement it in memory.
class Connection {
public:
    virtual ~Connection() = default;

    virtual bool connected() const = 0;
    // True when at least one byte can be read without waiting; waits up to `ms` for one.
    virtual bool waitForData(int ms) = 0;
    // Next byte; waits for it. Throws NetError when the peer closed or the read failed.
    virtual std::uint8_t readByte() = 0;
    // Drops every byte already received and not yet read.
    virtual void discardInput() = 0;
    // Sends all bytes or throws NetError (a peer that stops reading hits the send time-out).
    virtual void write(std::string_view bytes) = 0;
    void writeLn(std::string_view bytes) {
        std::string s(bytes);
        s += "\r\n";
        write(s);
    }

    virtual std::string peerAddress() const = 0;
    virtual std::string localAddress() const = 0;
    virtual std::uint16_t localPort() const = 0;
};

} // namespace telvara::net
