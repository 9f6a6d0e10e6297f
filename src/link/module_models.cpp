#include "link/module_models.h"

#include <array>

namespace telvara {

namespace {

QStringList repeat(const QString& s, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << s;
    return l;
}

const QString kIn = QStringLiteral("ENTRADA DIG");
const QString kOut = QStringLiteral("SAIDA DIG");

const std::array<ModuleModel, 6>& models() {
    static const std::array<ModuleModel, 6> m{{
        {QStringLiteral("VOLK-Lira"),
         12,
         repeat(kIn, 1) + repeat(kOut, 2),
         QStringLiteral("OFF"),
         0,
         1,
         false,
         1,
         2,
         CommandSet::Set01,
         {}},
        {QStringLiteral("VOLK-Orla"),
         10,
         repeat(kIn, 3) + repeat(kOut, 4),
         QStringLiteral("OFF"),
         0,
         3,
         false,
         3,
         4,
         CommandSet::Set01,
         {}},
        {QStringLiteral("VOLK-Sela"),
         14,
         repeat(kIn, 4) + repeat(kOut, 4),
         QStringLiteral("OFF"),
         0,
         4,
         true,
         4,
         4,
         CommandSet::Set01,
         {}},
        {QStringLiteral("VOLK-Tove"), 20, repeat(kIn, 3) + repeat(kOut, 8), QStringLiteral("OFF"),
         0, 3, false, 3, 8, CommandSet::Set02,
         QStringList{"01", "02", "03", "04", "05", "06", "07", "08"}},
        {QStringLiteral("VOLK-Unda"),
         30,
         repeat(kIn, 16),
         QStringLiteral("OFF"),
         0,
         16,
         false,
         0,
         0,
         CommandSet::None,
         {}},
        {QStringLiteral("VOLK-Vica"), 40,
         repeat(kIn, 2) + repeat(kOut, 2) + QStringList{QStringLiteral("SAIDA DIGP")} +
             repeat(QStringLiteral("ENTRADA ANC"), 2) + repeat(QStringLiteral("ENTRADA ANV"), 2) +
             repeat(QStringLiteral("SAIDA ANC"), 2),
         QStringLiteral("-"), 0, 2, true, 2, 3, CommandSet::Set04, QStringList{"01", "02", "11"}},
    }};
    return m;
}

} // namespace

std::span<const ModuleModel> allModels() {
    return models();
}

const ModuleModel* modelByCode(int code) {
    for (const auto& m : models())
        if (m.code == code)
            return &m;
    return nullptr;
}

const ModuleModel* modelByName(const QString& name) {
    for (const auto& m : models())
        if (m.name == name)
            return &m;
    return nullptr;
}

} // namespace telvara
