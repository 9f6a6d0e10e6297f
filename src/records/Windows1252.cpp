#include "records/Windows1252.h"

#include <QList>
#include <QStringView>

#include <array>

namespace telvara {

namespace {

// Bytes 0x80..0x9F, the part where the code page differs from Latin-1 (0 = unassigned).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char encode(uint u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray toWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const uint u : QStringView(text).toUcs4())
        out.append(encode(u));
    return out;
}

} // namespace telvara
