#pragma once

#include <span>
#include <string_view>

namespace telvara::modsim {

// What the simulator needs to know of one module model: the layout of its status frame and the
// command set it obeys.
struct SimModel {
    std::string_view name;      // "VOLK-Orla"
    std::string_view shortName; // "orla"
    std::string_view code;      // three digits at status positions 8-10
    int inputs;
    int outputs;
    int commandSet;  // 1, 2 or 4; 0 when the model has no outputs
    int inputPos;    // input byte, or the first input character
    int outputPos;   // output byte, or the first output character
    bool bitFields;  // states as bits of one byte (else one '1'/'0' character per point)
    int analogPos;   // first of the four analog fields, 0 when there are none
    int serialPos;   // first of the five serial characters
    int frameLength; // '<' to '>' inclusive
};

std::span<const SimModel> allSimModels();
// By full name or short name, case-insensitive; nullptr when unknown.
const SimModel* findSimModel(std::string_view name);

} // namespace telvara::modsim
