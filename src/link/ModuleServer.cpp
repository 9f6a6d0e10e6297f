#include "link/ModuleServer.h"

namespace telvara {

ModuleServer::ModuleServer(PointTable& table, UiPort& ui, const Clock& clock,
                           const LocaleFormats& formats, int sendTimeoutMs)
    : server_(
          net::TcpServer::Handlers{[this](net::Connection& c) { engine_.IdTCPServer1Connect(c); },
                                   [this](net::Connection& c) { engine_.IdTCPServer1Execute(c); },
                                   [this](net::Connection& c, const std::exception& e) {
                                       engine_.IdTCPServer1Exception(c, e);
                                   },
                                   [this](net::Connection& c) {
                                       engine_.IdTCPServer1Disconnect(c);
                                   }})
    , engine_(LinkContext{table, ui, clock, formats, server_.connections()}) {
    server_.setSendTimeoutMs(sendTimeoutMs);
}

ModuleServer::~ModuleServer() {
    server_.stop();
}

void ModuleServer::start() {
    server_.start(defaultPort_);
}
void ModuleServer::stop() {
    server_.stop();
}
bool ModuleServer::running() const {
    return server_.running();
}
std::uint16_t ModuleServer::boundPort() const {
    return server_.boundPort();
}

} // namespace telvara
