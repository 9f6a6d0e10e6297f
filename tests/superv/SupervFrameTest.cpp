#include "superv/SupervFrame.h"
#include "SupervTestRows.h"
#include "link/PointTable.h"
#include "superv/CalcCRC16.h"

#include <gtest/gtest.h>

#include <string>

using namespace telvara;

namespace {

std::string fromHex(const char* hex) {
    std::string out;
    unsigned value = 0;
    int digits = 0;
    for (const char* p = hex; *p; ++p) {
        if (*p == ' ')
            continue;
        value = value * 16 + static_cast<unsigned>(std::stoi(std::string(1, *p), nullptr, 16));
        if (++digits == 2) {
            out += static_cast<char>(value);
            value = 0;
            digits = 0;
        }
    }
    return out;
}

std::vector<SupervRow> rowsOf(PointTable& table) {
    auto guard = table.lock();
    return takeSupervRows(table);
}

} // namespace

TEST(SupervFrame, WorkedFrameIsByteExact) {
    PointTable table;
    const SupervRow row = test::workedRow();
    for (int c = 0; c < superv::kColumns; ++c)
        table.setCell(c, 0, row[static_cast<std::size_t>(c)]);
    // Columns beyond "Evento" and rows beyond Total_disp are not sent.
    table.setCell(col::Param1, 0, "123");
    table.setCell(col::Numero, 1, "1000002");
    table.Total_disp = 1;

    const std::string expected = fromHex(
        "24 01 0D 25 00 00 26 31 30 30 30 30 30 31 25 00 01 26 31 30 2E 30 2E 30 2E 37 25 00 02 "
        "26 35 30 30 30 25 00 03 26 56 4F 4C 4B 2D 4C 69 72 61 25 00 04 26 31 25 00 05 26 4F 4E "
        "25 00 06 26 4F 4E 25 00 07 26 45 4E 54 52 41 44 41 20 44 49 47 25 00 08 26 25 00 09 26 "
        "25 00 0A 26 25 00 0B 26 30 25 00 0C 26 43 6F 6E 65 63 74 61 64 6F 40 E4 E9");
    ASSERT_EQ(112u, expected.size());
    EXPECT_EQ(expected, buildSupervFrame(rowsOf(table)));
    EXPECT_EQ(0xE9E4, CalcCRC16(std::string_view(expected).substr(0, 110)));
}

TEST(SupervFrame, ThreeRowModuleLength) {
    std::vector<SupervRow> rows(3, test::workedRow());
    rows[1][5] = "OFF";
    rows[2][12] = "Desconectado";
    std::size_t texts = 0;
    for (const auto& row : rows)
        for (const auto& t : row)
            texts += static_cast<std::size_t>(t.size());
    const std::string frame = buildSupervFrame(rows);
    EXPECT_EQ(3 + 3 * 13 * 4 + texts + 3, frame.size());
    EXPECT_EQ(3, frame[1]);
}

TEST(SupervFrame, EmptyTableGivesBareFrame) {
    const std::string frame = buildSupervFrame({});
    const std::uint16_t crc = CalcCRC16(std::string_view("$\0\r@", 4));
    EXPECT_EQ(std::string("$\0\r@", 4) + char(crc & 0xFF) + char(crc >> 8), frame);
}

TEST(SupervFrame, TextBecomesLatin1) {
    struct Case {
        QString text;
        std::string bytes;
    };
    const Case cases[] = {
        {QStringLiteral("Ligação"), "Liga\xE7\xE3o"},
        {QStringLiteral("ã"), "\xE3"},
        {QStringLiteral("ÿ"), "\xFF"},
        // No Latin-1 byte: '?', never the low eight bits, which could be '$' (U+0124) or '@'.
        {QStringLiteral("Ĥ€ŀ"), "???"},
        // One character outside the BMP is one '?'.
        {QString::fromUtf8("a\xF0\x9F\x98\x80z"), "a?z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bytes, toSupervLatin1(c.text)) << c.text.toStdString();
}

TEST(SupervFrame, LargeFrameIsBuiltWhole) {
    const auto rows = test::manyRows(115, 40);
    const std::string frame = buildSupervFrame(rows);
    std::size_t texts = 0;
    for (const auto& row : rows)
        for (const auto& t : row)
            texts += toSupervLatin1(t).size();
    ASSERT_GT(frame.size(), 10000u);
    EXPECT_EQ(3 + 115 * 13 * 4 + texts + 3, frame.size());
    EXPECT_EQ('@', frame[frame.size() - 3]);
    const std::uint16_t crc = CalcCRC16(std::string_view(frame).substr(0, frame.size() - 2));
    EXPECT_EQ(char(crc & 0xFF), frame[frame.size() - 2]);
    EXPECT_EQ(char(crc >> 8), frame[frame.size() - 1]);
}
