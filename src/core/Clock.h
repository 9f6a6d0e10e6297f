#pragma once

#include <QDateTime>

#include <atomic>
#include <mutex>

namespace telvara {

// Wall clock of the workstation, injectable so that hours ON and timestamps can be tested
// without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    static SystemClock& instance();
};

// A clock that only moves when told to.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start)
        : now_(std::move(start)) {}
    QDateTime now() const override {
        std::lock_guard g(m_);
        return now_;
    }
    void set(QDateTime t) {
        std::lock_guard g(m_);
        now_ = std::move(t);
    }
    void advanceSecs(qint64 s) {
        std::lock_guard g(m_);
        now_ = now_.addSecs(s);
    }

private:
    mutable std::mutex m_;
    QDateTime now_;
};

} // namespace telvara
