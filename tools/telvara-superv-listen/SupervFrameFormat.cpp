#include "SupervFrameFormat.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace telvara {

const char* const kSupervColumnHeaders[ReceivedSupervFrame::kColumns] = {
    "Número", "IP",    "Porta", "Modelo", "I/O", "StLido", "StCom",
    "Tipo",   "Valor", "Nome",  "Senha",  "EP",  "Evento"};

namespace {

std::string hex4(std::uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
    return buf;
}

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20 || b == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(b));
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

// Characters, not bytes, so that accented texts line up.
std::size_t utf8Width(std::string_view s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Control bytes would break the table's lines; show them as '.'.
std::string printable(std::string_view latin1) {
    std::string s(latin1);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '.';
    return latin1ToUtf8(s);
}

std::string title(const ReceivedSupervFrame& f, std::size_t number, const std::string& peer) {
    std::string t = "frame " + std::to_string(number) + " from " + peer + ": " +
                    std::to_string(f.size) + " bytes, row count " + std::to_string(f.rowCount) +
                    ", CRC " + hex4(f.crcReceived);
    if (f.crcOk())
        t += " ok";
    else
        t += " BAD (computed " + hex4(f.crcComputed) + ")";
    return t + "\n";
}

} // namespace

std::string formatFrameJson(const ReceivedSupervFrame& f, std::size_t number,
                            const std::string& peer) {
    std::string out =
        "{\"frame\":" + std::to_string(number) + ",\"peer\":" + jsonString(peer) +
        ",\"bytes\":" + std::to_string(f.size) + ",\"row_count\":" + std::to_string(f.rowCount) +
        ",\"crc_ok\":" + (f.crcOk() ? "true" : "false") + ",\"crc_received\":\"" +
        hex4(f.crcReceived) + "\",\"crc_computed\":\"" + hex4(f.crcComputed) + "\",\"rows\":[";
    for (std::size_t r = 0; r < f.rows.size(); ++r) {
        out += r ? ",[" : "[";
        for (std::size_t c = 0; c < f.rows[r].size(); ++c) {
            if (c)
                out += ',';
            out += jsonString(latin1ToUtf8(f.rows[r][c]));
        }
        out += ']';
    }
    out += "]}\n";
    return out;
}

std::string formatFrameTable(const ReceivedSupervFrame& f, std::size_t number,
                             const std::string& peer) {
    constexpr auto kCols = static_cast<std::size_t>(ReceivedSupervFrame::kColumns);
    std::vector<std::array<std::string, kCols>> lines;
    std::array<std::string, kCols> head;
    for (std::size_t c = 0; c < kCols; ++c)
        head[c] = kSupervColumnHeaders[c];
    lines.push_back(head);
    for (const auto& row : f.rows) {
        std::array<std::string, kCols> line;
        for (std::size_t c = 0; c < kCols; ++c)
            line[c] = printable(row[c]);
        lines.push_back(std::move(line));
    }
    std::array<std::size_t, kCols> width{};
    for (const auto& line : lines)
        for (std::size_t c = 0; c < kCols; ++c)
            width[c] = std::max(width[c], utf8Width(line[c]));

    std::string out = title(f, number, peer);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string label = i == 0 ? "row" : std::to_string(i - 1);
        std::string text = "  " + std::string(label.size() < 4 ? 4 - label.size() : 0, ' ') + label;
        for (std::size_t c = 0; c < kCols; ++c) {
            text += "  ";
            text += lines[i][c];
            if (c + 1 < kCols)
                text.append(width[c] - utf8Width(lines[i][c]), ' ');
        }
        out += text + "\n";
    }
    return out;
}

} // namespace telvara
