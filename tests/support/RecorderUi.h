#pragma once

#include "link/UiPort.h"

#include <QStringList>

#include <mutex>

namespace telvara::test {

// Records what the logic asked of the user interface.
class RecorderUi : public UiPort {
public:
    void setCaption(const QString& c) override { add(&captions, c); }
    void setLabelTotalConec(const QString& t) override { add(&totalConec, t); }
    void setLabelStatus(const QString& t) override { add(&status, t); }
    void stopNoConnectionTimer() override { add(&calls, QStringLiteral("stopNoConnectionTimer")); }
    void showAlarm(const QString& text) override { add(&alarms, text); }
    void TocarSom() override { add(&calls, QStringLiteral("TocarSom")); }
    void moduleRegistered() override { add(&calls, QStringLiteral("moduleRegistered")); }

    int count(const QString& call) const {
        std::lock_guard g(m);
        return static_cast<int>(calls.count(call));
    }
    QStringList snapshot(const QStringList RecorderUi::*list) const {
        std::lock_guard g(m);
        return this->*list;
    }

    mutable std::mutex m;
    QStringList captions, totalConec, status, alarms, calls;

private:
    void add(QStringList* l, const QString& s) {
        std::lock_guard g(m);
        l->append(s);
    }
};

} // namespace telvara::test
