#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace telvara {

enum class CommandSet { None, Set01, Set02, Set04 };

// Everything the link knows about one model of the module family.
struct ModuleModel {
    QString name;         // "VOLK-Lira", ...
    int code;             // model code at frame positions 8-10
    QStringList tipos;    // Tipo of each row of the block
    QString initialState; // StLido at registration
    int firstInput, inputCount;
    bool totalized; // inputs count running time
    int firstOutput, outputCount;
    CommandSet commandSet;
    QStringList outputIds; // output numbers of sets 02 and 04
    int rows() const { return static_cast<int>(tipos.size()); }
};

const ModuleModel* modelByCode(int code);
const ModuleModel* modelByName(const QString& name);
std::span<const ModuleModel> allModels();

} // namespace telvara
