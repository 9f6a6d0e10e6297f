#include "link/net/TcpServer.h"

#include "link/net/SocketApi.h"
#include "link/net/TcpConnection.h"

#include <atomic>
#include <list>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace telvara::net {

namespace {

// The accept thread wakes this often to join finished connection threads, and to see a stop on
// platforms where shutting the listener down does not wake its poll.
constexpr int kAcceptSliceMs = 100;

} // namespace

struct TcpServer::Impl {
    struct Worker {
        std::shared_ptr<TcpConnection> connection;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    explicit Impl(Handlers h)
        : handlers(std::move(h)) {}

    void acceptLoop();
    void startWorker(sys::Socket socket);
    void runWorker(Worker& w);
    void report(Connection& c, const std::exception& e);
    void reapFinished();
    void stopLocked();

    Handlers handlers;
    ConnectionList list;
    std::atomic<int> sendTimeoutMs{3000};
    std::atomic<bool> stopping{false};
    std::atomic<bool> running{false};
    std::atomic<std::uint16_t> port{0};
    sys::Socket listener = sys::kInvalidSocket;
    std::thread acceptThread;

    std::mutex workersMutex;
    std::list<std::unique_ptr<Worker>> workers;

    // Serialises start and stop; connection threads never take it.
    std::mutex lifecycleMutex;
};

TcpServer::TcpServer(Handlers handlers)
    : impl_(std::make_unique<Impl>(std::move(handlers))) {
    sys::initialise();
}

TcpServer::~TcpServer() {
    stop();
}

void TcpServer::start(std::uint16_t port) {
    std::lock_guard lifecycle(impl_->lifecycleMutex);
    impl_->stopLocked();

    const sys::Socket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == sys::kInvalidSocket)
        throw NetError("Could not create socket: " + sys::errorText(sys::lastError()));
    int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(port);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(s, SOMAXCONN) != 0 || !sys::setNonBlocking(s)) {
        const int e = sys::lastError();
        sys::closeSocket(s);
        throw NetError("Could not bind socket. Port " + std::to_string(port) + ": " +
                       sys::errorText(e));
    }
    socklen_t n = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);

    impl_->listener = s;
    impl_->port.store(ntohs(a.sin_port));
    impl_->stopping.store(false);
    impl_->running.store(true);
    try {
        impl_->acceptThread = std::thread([this] { impl_->acceptLoop(); });
    } catch (const std::system_error& e) {
        impl_->stopLocked();
        throw NetError(std::string("Could not start the server thread: ") + e.what());
    }
}

void TcpServer::stop() {
    {
        std::lock_guard guard(impl_->workersMutex);
        for (const auto& w : impl_->workers)
            if (w->thread.get_id() == std::this_thread::get_id())
                throw std::logic_error("TcpServer::stop called from a connection thread");
    }
    std::lock_guard lifecycle(impl_->lifecycleMutex);
    impl_->stopLocked();
}

bool TcpServer::running() const {
    return impl_->running.load();
}

std::uint16_t TcpServer::boundPort() const {
    return impl_->port.load();
}

void TcpServer::setSendTimeoutMs(int ms) {
    impl_->sendTimeoutMs.store(ms);
    std::lock_guard guard(impl_->workersMutex);
    for (auto& w : impl_->workers)
        w->connection->setSendTimeoutMs(ms);
}

ConnectionList& TcpServer::connections() {
    return impl_->list;
}

std::size_t TcpServer::threadCount() const {
    std::lock_guard guard(impl_->workersMutex);
    return impl_->workers.size();
}

void TcpServer::Impl::stopLocked() {
    stopping.store(true);
    if (acceptThread.joinable()) {
        // Wakes the accept thread's poll at once on Linux; elsewhere it sees the flag within
        // one slice.
        ::shutdown(listener, sys::kShutBoth);
        acceptThread.join();
    }
    if (listener != sys::kInvalidSocket) {
        sys::closeSocket(listener);
        listener = sys::kInvalidSocket;
    }
    // No new connection can arrive now. Wake every connection thread, then wait for each; a
    // thread busy in a handler (waiting for a lock of its own) is simply waited for, as stop holds
    // no lock that a handler could need.
    std::list<std::unique_ptr<Worker>> all;
    {
        std::lock_guard guard(workersMutex);
        for (auto& w : workers)
            w->connection->shutdown();
        all.swap(workers);
    }
    for (auto& w : all)
        if (w->thread.joinable())
            w->thread.join();
    list.clear();
    running.store(false);
    port.store(0);
}

void TcpServer::Impl::acceptLoop() {
    while (!stopping.load()) {
        reapFinished();
        pollfd p{};
        p.fd = listener;
        p.events = POLLIN;
        const int r = sys::pollSockets(&p, 1, kAcceptSliceMs);
        if (r <= 0 || stopping.load())
            continue;
        sockaddr_in peer{};
        socklen_t n = sizeof peer;
        const sys::Socket s = ::accept(listener, reinterpret_cast<sockaddr*>(&peer), &n);
        if (s == sys::kInvalidSocket) {
            const int e = sys::lastError();
            // Out of descriptors or similar: the listener stays readable, so do not spin on it.
            if (!sys::wouldBlock(e) && !sys::interrupted(e))
                sys::pollSockets(nullptr, 0, kAcceptSliceMs);
            continue;
        }
        startWorker(s);
    }
}

void TcpServer::Impl::startWorker(sys::Socket socket) {
    auto w = std::make_unique<Worker>();
    w->connection = std::make_shared<TcpConnection>(socket, sendTimeoutMs.load());
    // In the list before onConnect, so that the handler sees itself counted.
    list.add(w->connection);
    Worker& ref = *w;
    std::lock_guard guard(workersMutex);
    try {
        ref.thread = std::thread([this, &ref] { runWorker(ref); });
    } catch (const std::system_error&) {
        list.remove(ref.connection.get());
        return; // the connection closes with `w`
    }
    workers.push_back(std::move(w));
}

void TcpServer::Impl::runWorker(Worker& w) {
    TcpConnection& c = *w.connection;
    try {
        if (handlers.onConnect)
            handlers.onConnect(c);
        while (!stopping.load() && c.connected()) {
            if (handlers.onExecute) {
                handlers.onExecute(c);
            } else if (c.waitForData(10)) {
                c.discardInput();
            }
        }
    } catch (const NetError& e) {
        // A socket error during stop is of our own making and not worth reporting.
        if (!stopping.load())
            report(c, e);
    } catch (const std::exception& e) {
        report(c, e);
    } catch (...) {
        report(c, std::runtime_error("Unknown error"));
    }
    c.shutdown();
    list.remove(&c);
    if (handlers.onDisconnect) {
        try {
            handlers.onDisconnect(c);
        } catch (...) {
        }
    }
    w.done.store(true);
}

void TcpServer::Impl::report(Connection& c, const std::exception& e) {
    if (!handlers.onException)
        return;
    try {
        handlers.onException(c, e);
    } catch (...) {
    }
}

void TcpServer::Impl::reapFinished() {
    std::list<std::unique_ptr<Worker>> finished;
    {
        std::lock_guard guard(workersMutex);
        for (auto it = workers.begin(); it != workers.end();) {
            auto next = std::next(it);
            if ((*it)->done.load())
                finished.splice(finished.end(), workers, it);
            it = next;
        }
    }
    for (auto& w : finished)
        w->thread.join();
}

} // namespace telvara::net
