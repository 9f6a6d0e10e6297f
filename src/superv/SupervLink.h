#pragma once

#include "superv/SupervClient.h"

#include <cstdint>

namespace telvara {

class PointTable;

// Colour of the Label4 dot on the banner: royal blue is the banner's own colour (the dot is
// invisible), white makes it show.
enum class SupervIndicator { RoyalBlue, White };
inline constexpr std::uint32_t kSupervRoyalBlueArgb = 0xFF4169E1;
inline constexpr std::uint32_t kSupervWhiteArgb = 0xFFFFFFFF;

struct SupervTick {
    // TimerSuperv_Enabled was raised: TimerSuperv runs every kIntervalMs from now on.
    bool ran = false;
    bool sent = false;
    // The colour Label4 should show after this tick, and whether it differs from before.
    SupervIndicator indicator = SupervIndicator::RoyalBlue;
    bool indicatorChanged = false;
};

// Forwarding of the point table to the supervisory program, without the window: the main
// window's TimerSupervTimer calls TimerSupervTimer() and applies the interval and the indicator.
// Every failure is swallowed; an unreachable host costs at most the connect time-out.
class SupervLink {
public:
    static constexpr int kFirstIntervalMs = 5000;
    static constexpr int kIntervalMs = 2000;

    SupervClient IdTCPClientSupervRem;

    // User-interface thread only. Takes the flag, Total_disp and the cells in one step under the
    // point-table lock, then connects and sends without it.
    SupervTick TimerSupervTimer(const PointTable& table);

    SupervIndicator indicator() const { return indicator_; }

private:
    void setIndicator(SupervIndicator value, SupervTick& tick);

    SupervIndicator indicator_ = SupervIndicator::RoyalBlue;
};

} // namespace telvara
