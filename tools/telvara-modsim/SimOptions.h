#pragma once

#include "SimModel.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace telvara::modsim {

struct InputMode {
    enum class Kind { Static, Random, Toggle };
    Kind kind = Kind::Static;
    QString bits;     // Static: '1'/'0' per input, input 1 first
    int periodMs = 0; // Random, Toggle
};

struct AnalogMode {
    bool random = false;
    std::array<int, 4> values{}; // raw 0-9999, when not random
};

struct ModuleSpec {
    const SimModel* model = nullptr;
    QString serial; // five digits
};

// Everything the simulator is told on its command line.
struct SimOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 5000;
    std::vector<ModuleSpec> modules;
    int intervalMs = 500;
    InputMode inputs;
    AnalogMode analog;
    std::uint32_t seed = 0;
    bool seedGiven = false;
    bool verbose = false;
    bool logJson = false;
    double durationS = 0; // 0: until SIGINT or SIGTERM
    int connectTimeoutMs = 2000;
    int reconnectMinMs = 250; // back-off after a lost or refused connection, doubling
    int reconnectMaxMs = 5000;
};

struct ParsedArgs {
    SimOptions options;
    bool help = false;
    QString error; // empty when the arguments are good
};

// `args` without the program name.
ParsedArgs parseSimArgs(const QStringList& args);
QString simHelpText();

} // namespace telvara::modsim
