#include "superv/CalcCRC16.h"

namespace telvara {

void CalcCRC16(const std::uint8_t* data, std::size_t count, std::uint16_t& crc) {
    std::uint16_t reg = 0;
    for (std::size_t n = 0; n < count; ++n) {
        reg ^= static_cast<std::uint16_t>(data[n] << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ 0x8005)
                                 : static_cast<std::uint16_t>(reg << 1);
    }
    crc = reg;
}

std::uint16_t CalcCRC16(std::string_view bytes) {
    std::uint16_t crc = 0;
    CalcCRC16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), crc);
    return crc;
}

} // namespace telvara
