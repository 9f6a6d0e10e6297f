#pragma once

#include "core/Clock.h"
#include "core/LocaleFormats.h"
#include "link/PointTable.h"
#include "link/UiPort.h"
#include "link/net/ConnectionList.h"

#include <stdexcept>

namespace telvara {

// What the processing of one status frame works on.
struct LinkContext {
    PointTable& table;
    UiPort& ui;
    const Clock& clock;
    const LocaleFormats& formats;
    net::ConnectionList& connections;
};

// A frame whose processing cannot go on; it ends the connection that delivered it.
class LinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace telvara
