#include "superv/SupervFrame.h"

#include "link/PointTable.h"
#include "superv/CalcCRC16.h"

#include <algorithm>

namespace telvara {

std::vector<SupervRow> takeSupervRows(const PointTable& table) {
    table.assertHeld();
    const int rows = std::clamp(table.Total_disp, 0, kRows);
    std::vector<SupervRow> out(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < superv::kColumns; ++c)
            out[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = table.cell(c, r);
    return out;
}

std::string toSupervLatin1(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u <= 0xFF) {
            out += static_cast<char>(u);
            continue;
        }
        // A surrogate pair is one character: one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode()))
            ++i;
        out += '?';
    }
    return out;
}

std::string buildSupervFrame(const std::vector<SupervRow>& rows) {
    std::size_t size = 6;
    for (const auto& row : rows)
        for (const auto& text : row)
            size += 4 + static_cast<std::size_t>(text.size());

    std::string f;
    f.reserve(size);
    f += superv::kStart;
    f += static_cast<char>(rows.size() & 0xFF);
    f += superv::kSeparator;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < superv::kColumns; ++c) {
            f += superv::kCellStart;
            f += static_cast<char>(r & 0xFF);
            f += static_cast<char>(c);
            f += superv::kTextStart;
            f += toSupervLatin1(rows[r][static_cast<std::size_t>(c)]);
        }
    }
    f += superv::kEnd;
    const std::uint16_t crc = CalcCRC16(f);
    f += static_cast<char>(crc & 0xFF);
    f += static_cast<char>(crc >> 8);
    return f;
}

} // namespace telvara
