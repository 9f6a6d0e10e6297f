#pragma once

#include "SupervFrameParser.h"

#include <cstddef>
#include <string>

namespace telvara {

// Column headers of the thirteen columns a supervisory frame carries.
extern const char* const kSupervColumnHeaders[ReceivedSupervFrame::kColumns];

// One line of JSON, ending in '\n': frame number, peer, size, row count, CRCs and the rows as
// arrays of UTF-8 strings decoded from Latin-1.
std::string formatFrameJson(const ReceivedSupervFrame& frame, std::size_t number,
                            const std::string& peer);

// A title line, then the column headers and one line per row, aligned.
std::string formatFrameTable(const ReceivedSupervFrame& frame, std::size_t number,
                             const std::string& peer);

} // namespace telvara
