#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace telvara {

// CRC-16/UMTS of the supervisory frame: polynomial 0x8005, initial value 0, most significant bit
// first, no reflection, no final exclusive-or ("123456789" gives 0xFEE8). The count is a size_t
// so that a frame longer than 65535 bytes is covered whole.
void CalcCRC16(const std::uint8_t* data, std::size_t count, std::uint16_t& crc);

std::uint16_t CalcCRC16(std::string_view bytes);

} // namespace telvara
