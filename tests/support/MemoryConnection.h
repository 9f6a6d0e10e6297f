#pragma once

#include "link/net/Connection.h"

#include <deque>
#include <string>

namespace telvara::test {

// A module connection in memory: bytes fed in are what the module sent, writes are collected.
class MemoryConnection : public net::Connection {
public:
    explicit MemoryConnection(std::string peer = "10.0.0.5", std::string local = "10.0.0.1",
                              std::uint16_t port = 5000)
        : peer_(std::move(peer))
        , local_(std::move(local))
        , port_(port) {}

    void feed(std::string_view bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
    std::string takeOutput() {
        std::string s;
        s.swap(output_);
        return s;
    }
    void failWrites(bool fail) { failWrites_ = fail; }
    void disconnect() { connected_ = false; }

    bool connected() const override { return connected_; }
    bool waitForData(int) override { return !input_.empty(); }
    std::uint8_t readByte() override {
        if (input_.empty())
            throw net::NetError("Connection closed gracefully.");
        const auto b = static_cast<std::uint8_t>(input_.front());
        input_.pop_front();
        return b;
    }
    void discardInput() override { input_.clear(); }
    void write(std::string_view bytes) override {
        if (failWrites_)
            throw net::NetError("Socket Error # 32 Broken pipe.");
        output_.append(bytes);
    }
    std::string peerAddress() const override { return peer_; }
    std::string localAddress() const override { return local_; }
    std::uint16_t localPort() const override { return port_; }

private:
    std::string peer_, local_;
    std::uint16_t port_;
    std::deque<char> input_;
    std::string output_;
    bool connected_ = true;
    bool failWrites_ = false;
};

} // namespace telvara::test
