#pragma once

#include <QString>

#include <vector>

namespace telvara {

// The three tables with the columns and types that the panel reads and writes.
struct ColumnDef {
    const char* name;
    const char* type; // TEXT, INTEGER or BOOLEAN (stored as 0 or 1)
};

struct TableDef {
    const char* name;
    std::vector<ColumnDef> columns;

    QString createStatement() const;
};

namespace table {
inline constexpr const char* Bd_Valores = "Bd_Valores";
inline constexpr const char* BD_Eventos = "BD_Eventos";
inline constexpr const char* RegTotalizador = "RegTotalizador";
} // namespace table

const std::vector<TableDef>& databaseTables();

} // namespace telvara
