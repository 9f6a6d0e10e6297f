#pragma once

#include "link/LinkContext.h"
#include "link/frame_reader.h"

namespace telvara {

// Finds the sender's first row by serial number and either registers the module (unknown) or
// applies the frame's states to its rows (known). Leaves Num_serie_agora naming the module whose
// status was applied. Throws LinkError for a serial number that is not a decimal number, before
// anything is written. The point-table lock is held by the caller.
void applyStatusFrame(LinkContext& ctx, const StatusFrame& frame, const QString& serial,
                      const net::Connection& connection);

} // namespace telvara
