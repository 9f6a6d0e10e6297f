#include "link/frame_reader.h"

namespace telvara {

namespace {

// The output byte of a VOLK-Tove (model digit '2', position 12) is binary and reads 0x3E when
// exactly outputs 2 to 6 are ON; there it is a state, not the end of the frame.
bool isBinaryStatusByte(const StatusFrame& frame, int position) {
    return position == 12 && frame.at(9) == '2';
}

} // namespace

StatusFrame collectFrame(net::Connection& connection) {
    StatusFrame frame;
    for (int counter = 1; counter <= kMaxFramePosition; ++counter) {
        const std::uint8_t b = connection.readByte();
        frame.bytes[static_cast<std::size_t>(counter)] = b;
        if (b == '>' && !isBinaryStatusByte(frame, counter))
            break;
    }
    return frame;
}

QString serialNumber(const StatusFrame& frame) {
    int first;
    switch (frame.at(9)) {
    case '1':
        first = 15;
        break;
    case '2':
        first = 19;
        break;
    case '3':
        first = 29;
        break;
    case '4':
        first = 32;
        break;
    default:
        return {};
    }
    QString s;
    s.reserve(7);
    for (int p = first; p < first + 5; ++p)
        s += QChar(frame.at(p));
    s += QChar(frame.at(9));
    s += QChar(frame.at(10));
    return s;
}

std::optional<int> toInt(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'))
        i = 1;
    if (i == t.size())
        return std::nullopt;
    for (int k = i; k < t.size(); ++k)
        if (t[k] < QLatin1Char('0') || t[k] > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

bool isDecimalSerial(const QString& serial) {
    if (serial.isEmpty())
        return false;
    for (QChar c : serial)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return toInt(serial).has_value();
}

} // namespace telvara
