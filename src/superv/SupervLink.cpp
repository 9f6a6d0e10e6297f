#include "superv/SupervLink.h"

#include "link/PointTable.h"
#include "superv/SupervFrame.h"

#include <exception>
#include <vector>

namespace telvara {

void SupervLink::setIndicator(SupervIndicator value, SupervTick& tick) {
    if (indicator_ != value) {
        indicator_ = value;
        tick.indicatorChanged = true;
    }
    tick.indicator = indicator_;
}

SupervTick SupervLink::TimerSupervTimer(const PointTable& table) {
    SupervTick tick;
    tick.indicator = indicator_;

    bool enabled = false;
    std::vector<SupervRow> rows;
    {
        auto guard = table.lock();
        enabled = table.TimerSuperv_Enabled;
        if (enabled)
            rows = takeSupervRows(table);
    }
    if (!enabled)
        return tick;
    tick.ran = true;

    try {
        if (!IdTCPClientSupervRem.connected()) {
            setIndicator(SupervIndicator::RoyalBlue, tick);
            IdTCPClientSupervRem.connect();
        }
        if (rows.empty())
            return tick;
        IdTCPClientSupervRem.write(buildSupervFrame(rows));
    } catch (const std::exception&) {
        // The supervisory link never bothers the operator; the next tick reconnects.
        return tick;
    }
    tick.sent = true;
    setIndicator(indicator_ == SupervIndicator::RoyalBlue ? SupervIndicator::White
                                                          : SupervIndicator::RoyalBlue,
                 tick);
    return tick;
}

} // namespace telvara
