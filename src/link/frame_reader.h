#pragma once

#include "link/net/Connection.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace telvara {

inline constexpr int kMaxFramePosition = 36;

// One status frame as received: position n (the opening '<' is position 0) at index n, for n
// from 1 to 36. Positions that were not received read as zero bytes.
struct StatusFrame {
    std::array<std::uint8_t, 101> bytes{};
    std::uint8_t at(int position) const { return bytes[static_cast<std::size_t>(position)]; }
};

// Collects the bytes after a '<': up to 36 of them, ending early at (and keeping) a '>'.
StatusFrame collectFrame(net::Connection& connection);

// The seven-character serial number: the five bytes at the model digit's serial positions, then
// positions 9 and 10. Empty for a model digit other than '1' to '4'.
QString serialNumber(const StatusFrame& frame);

// Strict integer conversion of stored or received text: optional sign, decimal digits, surrounding
// blanks allowed; nullopt for anything else, including empty text and overflow.
std::optional<int> toInt(const QString& text);

// Serial numbers are decimal digits only, no sign, no blanks.
bool isDecimalSerial(const QString& serial);

} // namespace telvara
