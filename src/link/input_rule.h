#pragma once

#include "link/LinkContext.h"

namespace telvara {

// Compares an input row's read state (StLido) with the state last seen (StCom); a change queues
// an "Entrada" event, plays the sound of a "SOM" point and, on a totalized input, times the ON
// period and queues its total. The point-table lock is held by the caller.
void applyInputRule(LinkContext& ctx, int row, bool totalized);

// Hours between two instants with seconds resolution (milliseconds dropped); 0 when the end lies
// before the start.
double hoursOn(const QDateTime& start, const QDateTime& end);

} // namespace telvara
