#pragma once

#include "superv/SupervFrame.h"

#include <QString>

#include <vector>

namespace telvara::test {

// The row of the worked example: one VOLK-Lira input with empty Valor, Nome and Senha.
inline SupervRow workedRow() {
    return {"1000001",     "10.0.0.7", "5000", "VOLK-Lira", "1", "ON",       "ON",
            "ENTRADA DIG", "",         "",     "",          "0", "Conectado"};
}

// `count` rows whose names make the frame as long as needed; names carry '%', '@', '&' and '$'
// so that a parser that splits on them instead of the block structure is caught.
inline std::vector<SupervRow> manyRows(int count, int nameLength) {
    std::vector<SupervRow> rows;
    for (int r = 0; r < count; ++r) {
        SupervRow row = workedRow();
        row[4] = QString::number(r % 16 + 1);
        QString name = QStringLiteral("Válvula %1 50% @ R$ & ").arg(r);
        while (name.size() < nameLength)
            name += QChar(u'a' + static_cast<char16_t>(name.size() % 26));
        row[9] = name.left(nameLength);
        rows.push_back(row);
    }
    return rows;
}

} // namespace telvara::test
