#pragma once

#include "CommandFrameSplitter.h"
#include "SimModule.h"
#include "link/net/TcpConnection.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace telvara::bench {

// The k-th source address (k from 0) of the loopback range 127.0.0.0/8, skipping 127.0.0.1.
std::string loopbackAddress(int k);

// How a module that stops reading makes the panel's answers back up soon: a small receive buffer,
// and a small segment size, so that the panel's socket cannot pack thousands of answers into one
// loopback segment. Zero leaves the system's setting.
struct Narrow {
    int receiveBufferBytes = 0;
    int maxSegmentBytes = 0;
};

// A simulated module that talks to the panel over loopback from its own address, so that the
// panel tells modules apart by peer address as it does on a real network (all connections from
// 127.0.0.1 would be one module's reconnections to it). Used from one thread at a time.
class LoopbackModule {
public:
    struct Answer {
        QByteArray frame; // '<' to '>', without CR LF
        modsim::SimModule::CommandResult result;
    };

    LoopbackModule(const modsim::SimModel& model, const QString& serial, std::string source);

    // Connects to 127.0.0.1:port. Throws net::NetError.
    void connect(std::uint16_t port, Narrow narrow = {});
    // Closes at once; the panel's next read or write on it fails.
    void disconnect();
    bool isConnected() const { return conn_ && conn_->connected(); }

    void sendStatus();
    void send(std::string_view bytes);
    // The next whole frame from the panel, carried out by the module; nullopt when none came
    // within timeoutMs. Throws net::NetError when the connection is lost.
    std::optional<Answer> awaitAnswer(int timeoutMs);
    // Reads and drops whatever arrives within ms.
    void drain(int ms);
    // Sends status frames until the panel answers one with a frame for this module: the first
    // frame registers it and is not answered, the next ones are. False after maxFrames.
    bool sendUntilAnswered(int maxFrames = 50, int waitMs = 300);

    modsim::SimModule& module() { return module_; }
    const std::string& source() const { return source_; }
    // The five serial characters that close the panel's frames to this module.
    QByteArray numPuro() const { return module_.serial().toLatin1(); }

private:
    modsim::SimModule module_;
    std::string source_;
    std::unique_ptr<net::TcpConnection> conn_;
    modsim::CommandFrameSplitter splitter_;
};

} // namespace telvara::bench
