#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace telvara {

// Frames from the panel to a module. Every one starts with "<VOLKZUW" and ends with NumPuro (the
// module's five serial-number characters) and ">"; the line ending is added by the writer.
namespace frames {

std::string idleShort(const std::string& numPuro);
std::string idleLong(const std::string& numPuro);

// Set 01: all outputs at once from four '0'/'1' state characters.
std::string setOutputs01(const std::string& states, const std::string& numPuro);
// Set 01 pulse: 01011 (tenths) or 01012 (seconds), the length as one raw byte.
std::string pulse01(bool seconds, std::uint8_t length, const std::string& mask,
                    const std::string& numPuro);
// Set 02: 02012 ON / 02013 OFF, 02014 pulse with a three-digit time.
std::string switch02(bool on, const std::string& output, const std::string& numPuro);
std::string pulse02(const std::string& output, const std::string& time3,
                    const std::string& numPuro);
// Set 04: 04004 ON / 04005 OFF, 04006 (tenths) / 04007 (seconds) pulse with two digits.
std::string switch04(bool on, const std::string& output, const std::string& numPuro);
std::string pulse04(bool seconds, const std::string& output, const std::string& digits,
                    const std::string& numPuro);

} // namespace frames

// A pulse specification: "P", the unit letter ('C' tenths, 'L' seconds), two digits.
struct PulseSpec {
    QChar unit;
    QString digits; // the two digits as stored
    int length;
    bool tenths() const { return unit == QLatin1Char('C'); }
    bool seconds() const { return unit == QLatin1Char('L'); }
};

// nullopt when the text is shorter than four characters or its third and fourth characters are
// not digits: such a text is handled like an unknown unit letter.
std::optional<PulseSpec> parsePulseSpec(const QString& text);

} // namespace telvara
