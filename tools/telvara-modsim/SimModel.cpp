#include "SimModel.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace telvara::modsim {

namespace {

// Positions count the opening '<' as 0. Unused positions of a frame carry '0'.
constexpr std::array<SimModel, 6> kModels{{
    {"VOLK-Lira", "lira", "012", 1, 2, 1, 12, 14, true, 0, 15, 21},
    {"VOLK-Orla", "orla", "010", 3, 4, 1, 12, 14, true, 0, 15, 21},
    {"VOLK-Sela", "sela", "014", 4, 4, 1, 12, 14, true, 0, 15, 21},
    {"VOLK-Tove", "tove", "020", 3, 8, 2, 11, 12, true, 0, 19, 25},
    {"VOLK-Unda", "unda", "030", 16, 0, 0, 11, 0, false, 0, 29, 35},
    {"VOLK-Vica", "vica", "040", 2, 3, 4, 11, 13, false, 16, 32, 38},
}};

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::span<const SimModel> allSimModels() {
    return kModels;
}

const SimModel* findSimModel(std::string_view name) {
    for (const auto& m : kModels)
        if (sameText(name, m.name) || sameText(name, m.shortName))
            return &m;
    return nullptr;
}

} // namespace telvara::modsim
