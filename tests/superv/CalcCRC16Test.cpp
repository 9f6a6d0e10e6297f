#include "superv/CalcCRC16.h"

#include <gtest/gtest.h>

#include <string>

using telvara::CalcCRC16;

TEST(CalcCRC16, CheckValues) {
    struct Case {
        std::string bytes;
        std::uint16_t crc;
    };
    const Case cases[] = {
        {"123456789", 0xFEE8},
        {"abc", 0xCADB},
        {"", 0x0000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.crc, CalcCRC16(c.bytes)) << '"' << c.bytes << '"';
}

TEST(CalcCRC16, CoversExactlyTheCountGiven) {
    const std::string bytes = "123456789@@";
    std::uint16_t crc = 0x1234;
    CalcCRC16(reinterpret_cast<const std::uint8_t*>(bytes.data()), 9, crc);
    EXPECT_EQ(0xFEE8, crc);

    // A 16-bit count would cover only the first 4464 bytes of this.
    const std::string big(70000, 'x');
    EXPECT_NE(CalcCRC16(std::string_view(big).substr(0, 70000 - 65536)), CalcCRC16(big));
}
