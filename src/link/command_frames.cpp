#include "link/command_frames.h"

namespace telvara {

namespace frames {

namespace {
const std::string kHeader = "<VOLKZUW";
std::string close(const std::string& numPuro) {
    return numPuro + ">";
}
} // namespace

std::string idleShort(const std::string& numPuro) {
    return kHeader + "9990000000" + close(numPuro);
}

std::string idleLong(const std::string& numPuro) {
    return kHeader + "999000000000" + close(numPuro);
}

std::string setOutputs01(const std::string& states, const std::string& numPuro) {
    return kHeader + "010100" + states + close(numPuro);
}

std::string pulse01(bool seconds, std::uint8_t length, const std::string& mask,
                    const std::string& numPuro) {
    std::string f = kHeader + (seconds ? "01012" : "01011");
    f.push_back(static_cast<char>(length));
    return f + mask + close(numPuro);
}

std::string switch02(bool on, const std::string& output, const std::string& numPuro) {
    return kHeader + (on ? "02012" : "02013") + output + "00000" + close(numPuro);
}

std::string pulse02(const std::string& output, const std::string& time3,
                    const std::string& numPuro) {
    return kHeader + "02014" + output + time3 + "00" + close(numPuro);
}

std::string switch04(bool on, const std::string& output, const std::string& numPuro) {
    return kHeader + (on ? "04004" : "04005") + output + "0000" + close(numPuro);
}

std::string pulse04(bool seconds, const std::string& output, const std::string& digits,
                    const std::string& numPuro) {
    return kHeader + (seconds ? "04007" : "04006") + output + "00" + digits + close(numPuro);
}

} // namespace frames

std::optional<PulseSpec> parsePulseSpec(const QString& text) {
    if (text.size() < 4)
        return std::nullopt;
    const QString digits = text.mid(2, 2);
    if (!digits[0].isDigit() || !digits[1].isDigit() || digits[0].unicode() > '9' ||
        digits[1].unicode() > '9')
        return std::nullopt;
    return PulseSpec{text[1], digits, digits.toInt()};
}

} // namespace telvara
