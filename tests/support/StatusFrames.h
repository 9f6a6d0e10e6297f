#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace telvara::test {

// Builds a module's status frame byte by byte at the positions each model uses.
struct StatusFrameBuilder {
    std::string bytes; // position n at index n

    explicit StatusFrameBuilder(const std::string& code, int length = 37)
        : bytes(length, '0') {
        bytes[0] = '<';
        bytes.replace(1, 7, "VOLKSTA");
        bytes.replace(8, 3, code);
    }
    StatusFrameBuilder& at(int pos, std::uint8_t b) {
        bytes[static_cast<std::size_t>(pos)] = static_cast<char>(b);
        return *this;
    }
    StatusFrameBuilder& text(int pos, const std::string& s) {
        bytes.replace(static_cast<std::size_t>(pos), s.size(), s);
        return *this;
    }
    std::string withClose(int pos) const {
        std::string s = bytes.substr(0, static_cast<std::size_t>(pos));
        return s + ">";
    }
};

inline int serialPosition(const std::string& code) {
    switch (code[1]) {
    case '1':
        return 15;
    case '2':
        return 19;
    case '3':
        return 29;
    case '4':
        return 32;
    }
    throw std::invalid_argument("model code");
}

// A frame for model `code` ("012", "010", "014", "020", "030", "040") with serial `serial5`.
// For the byte models: in/out are the status bytes; Unda: `chars` are the 16 input characters;
// Vica: `chars` are the 5 digital characters then 16 analog digits.
inline std::string statusFrame(const std::string& code, const std::string& serial5,
                               std::uint8_t in = 0, std::uint8_t out = 0,
                               const std::string& chars = {}) {
    StatusFrameBuilder f(code, 40);
    const int sp = serialPosition(code);
    if (code == "012" || code == "010" || code == "014")
        f.at(12, in).at(14, out);
    else if (code == "020")
        f.at(11, in).at(12, out);
    else if (!chars.empty())
        f.text(11, chars);
    f.text(sp, serial5);
    return f.withClose(sp + 5);
}

} // namespace telvara::test
