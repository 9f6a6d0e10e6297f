#include "superv/SupervClient.h"

#include "link/net/TcpServer.h"

namespace telvara {

SupervClient::SupervClient() = default;
SupervClient::~SupervClient() = default;

bool SupervClient::connected() {
    if (!conn_)
        return false;
    // Nothing is ever read from the supervisory program, so only a read shows that it closed or
    // reset the connection; whatever it sent is dropped.
    try {
        if (conn_->connected() && conn_->waitForData(0)) {
            conn_->discardInput();
            // Answers at once: with a byte, dropped too, or by throwing at the end of input.
            if (conn_->waitForData(0))
                conn_->readByte();
        }
    } catch (const net::NetError&) {
        conn_.reset();
        return false;
    }
    if (!conn_->connected()) {
        conn_.reset();
        return false;
    }
    return true;
}

void SupervClient::connect() {
    conn_.reset();
    conn_ = net::connectTcp(host_, port_, connectTimeoutMs_, sendTimeoutMs_);
}

void SupervClient::write(std::string_view bytes) {
    if (!conn_)
        throw net::NetError("supervisory client not connected");
    try {
        conn_->write(bytes);
    } catch (...) {
        conn_.reset();
        throw;
    }
}

void SupervClient::disconnect() {
    conn_.reset();
}

} // namespace telvara
