#pragma once

#include "link/net/Connection.h"
#include "link/net/SocketApi.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace telvara::net {

// A connected TCP socket, server or client side. Reads go through a fixed buffer, so a peer that
// streams without pause costs a bounded amount of memory. The reading calls (waitForData,
// readByte, discardInput) belong to one thread; write and shutdown may come from any thread.
class TcpConnection final : public Connection {
public:
    static constexpr std::size_t kChunk = 512;
    // How much discardInput drains from the socket at most in one call.
    static constexpr std::size_t kDiscardLimit = 64 * kChunk;

    // Takes ownership of a connected socket.
    TcpConnection(sys::Socket socket, int sendTimeoutMs);
    ~TcpConnection() override;
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    bool connected() const override;
    bool waitForData(int ms) override;
    std::uint8_t readByte() override;
    void discardInput() override;
    void write(std::string_view bytes) override;

    std::string peerAddress() const override { return peer_; }
    std::string localAddress() const override { return local_; }
    std::uint16_t localPort() const override { return localPort_; }

    // Ends both directions: a blocked readByte or write wakes up and throws, the peer sees the end.
    // Safe from any thread and more than once; the descriptor itself is closed by the destructor.
    void shutdown();
    void setSendTimeoutMs(int ms) { sendTimeoutMs_.store(ms); }

private:
    [[noreturn]] void fail(const std::string& message);

    sys::Socket socket_;
    std::atomic<bool> open_{true};
    std::atomic<bool> shutDown_{false};
    std::atomic<int> sendTimeoutMs_;
    // Read side, used by the reading thread only.
    std::array<std::uint8_t, kChunk> buffer_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool endOfInput_ = false;
    std::mutex writeMutex_;
    std::string peer_;
    std::string local_;
    std::uint16_t localPort_ = 0;
};

} // namespace telvara::net
