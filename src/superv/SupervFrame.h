#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace telvara {

class PointTable;

// Frame bytes to the supervisory program.
namespace superv {
inline constexpr char kStart = '$';
inline constexpr char kSeparator = '\r';
inline constexpr char kCellStart = '%';
inline constexpr char kTextStart = '&';
inline constexpr char kEnd = '@';
// Columns 0 ("Número") to 12 ("Evento") of each row are sent.
inline constexpr int kColumns = 13;
} // namespace superv

using SupervRow = std::array<QString, superv::kColumns>;

// Columns 0..12 of rows 0..Total_disp-1. The caller holds the point-table lock; copying
// QStrings is cheap, so the frame itself is built after the lock is released.
std::vector<SupervRow> takeSupervRows(const PointTable& table);

// One byte per character: a character above U+00FF has no Latin-1 byte and becomes '?', since its
// low eight bits could forge a '%', '&' or '@' of the frame structure.
std::string toSupervLatin1(const QString& text);

// The whole frame, start byte through CRC, however long: the receiver parses by structure, so a
// frame is never cut.
std::string buildSupervFrame(const std::vector<SupervRow>& rows);

} // namespace telvara
