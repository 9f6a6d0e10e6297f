#pragma once

#include "link/net/Connection.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace telvara::net {

// The server's list of open connections with its own lock. Whoever walks the list holds the lock
// for the walk; the point-table lock, when needed, is always taken before this one.
class ConnectionList {
public:
    std::mutex& mutex() { return mutex_; }

    // Callers hold mutex().
    const std::vector<std::shared_ptr<Connection>>& items() const { return items_; }

    void add(std::shared_ptr<Connection> c) {
        std::lock_guard g(mutex_);
        items_.push_back(std::move(c));
    }
    void remove(const Connection* c) {
        std::lock_guard g(mutex_);
        std::erase_if(items_, [c](const auto& p) { return p.get() == c; });
    }
    void clear() {
        std::lock_guard g(mutex_);
        items_.clear();
    }
    std::size_t size() {
        std::lock_guard g(mutex_);
        return items_.size();
    }

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<Connection>> items_;
};

} // namespace telvara::net
