#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace telvara {

namespace net {
class Connection;
}

// The TCP client to the supervisory program (the main window's IdTCPClientSupervRem). Nothing is
// ever read back. A new host or port takes effect at the next connect.
class SupervClient {
public:
    static constexpr std::uint16_t kDefaultPort = 5100;
    static constexpr int kConnectTimeoutMs = 200;
    // Writes run on the user-interface thread: a supervisory program that stops reading costs at
    // most this much per tick, then the connection is dropped.
    static constexpr int kSendTimeoutMs = 200;

    SupervClient();
    ~SupervClient();
    SupervClient(const SupervClient&) = delete;
    SupervClient& operator=(const SupervClient&) = delete;

    const std::string& host() const { return host_; }
    void setHost(std::string host) { host_ = std::move(host); }
    std::uint16_t port() const { return port_; }
    void setPort(std::uint16_t port) { port_ = port; }
    int connectTimeoutMs() const { return connectTimeoutMs_; }
    void setConnectTimeoutMs(int ms) { connectTimeoutMs_ = ms; }
    void setSendTimeoutMs(int ms) { sendTimeoutMs_ = ms; }

    // Also notices a connection that the supervisory program closed.
    bool connected();
    // Throws net::NetError when no connection is made within the connect time-out.
    void connect();
    // Sends every byte or throws net::NetError; a failed write drops the connection, because part
    // of a frame may already be on the wire and the next frame must start a clean stream.
    void write(std::string_view bytes);
    void disconnect();

private:
    std::string host_;
    std::uint16_t port_ = kDefaultPort;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    int sendTimeoutMs_ = kSendTimeoutMs;
    std::unique_ptr<net::Connection> conn_;
};

} // namespace telvara
