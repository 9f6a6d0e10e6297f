#include "link/PointTable.h"

#include <cassert>
#include <cstdlib>

namespace telvara {

PointTable::PointTable()
    : cells_(static_cast<std::size_t>(kColumns) * kRows) {}

void PointTable::assertHeld() const {
    if (!mutex.heldByThisThread()) {
        assert(!"point table used without its lock");
        std::abort();
    }
}

const QString& PointTable::cell(int column, int row) const {
    assert(column >= 0 && column < kColumns && row >= 0 && row < kRows);
    return cells_[static_cast<std::size_t>(column) * kRows + row];
}

void PointTable::setCell(int column, int row, const QString& text) {
    assert(column >= 0 && column < kColumns && row >= 0 && row < kRows);
    cells_[static_cast<std::size_t>(column) * kRows + row] = text;
}

void PointTable::reset(int lastColumn) {
    assertHeld();
    for (int c = 0; c <= lastColumn && c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            cells_[static_cast<std::size_t>(c) * kRows + r].clear();
    Total_disp = 0;
    caption = kBareCaption;
}

bool PointTable::TimerRegistraLog_Enabled() const {
    return !events_.empty();
}
bool PointTable::TimerRegTot_Enabled() const {
    return !totals_.empty();
}

void PointTable::pushEvent(PendingEvent e) {
    assertHeld();
    events_.push(std::move(e));
}

void PointTable::pushTotal(PendingTotal t) {
    assertHeld();
    totals_.push(std::move(t));
}

std::deque<PendingEvent> PointTable::takeEvents() {
    assertHeld();
    return events_.takeAll();
}

std::deque<PendingTotal> PointTable::takeTotals() {
    assertHeld();
    return totals_.takeAll();
}

void PointTable::putBackEvents(std::deque<PendingEvent> events) {
    assertHeld();
    events_.putBack(std::move(events));
}

void PointTable::putBackTotals(std::deque<PendingTotal> totals) {
    assertHeld();
    totals_.putBack(std::move(totals));
}

std::size_t PointTable::pendingEvents() const {
    return events_.size();
}
std::size_t PointTable::pendingTotals() const {
    return totals_.size();
}

} // namespace telvara
