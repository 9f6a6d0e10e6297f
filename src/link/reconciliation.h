#pragma once

#include "link/LinkContext.h"

namespace telvara {

// Answers the status frame just applied: every open connection whose peer address and module
// (Num_serie_agora) match gets its input events and then one command frame or one idle frame. Only
// connections whose last frame was this module's count, even when others share its address.
// Runs under the point-table lock and takes the connection-list lock for the whole pass. A failed
// write to the connection being served ends it (the error propagates); a failed write to another
// connection only drops that connection from this pass, so a dead peer cannot take a live one down.
void reconcile(LinkContext& ctx, const net::Connection& served);

} // namespace telvara
