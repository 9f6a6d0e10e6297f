#pragma once

#include "core/Database.h"
#include "core/TableCursor.h"

#include <QString>

#include <memory>

namespace telvara {

// What each owner of a table holds: its own connection to the file (FireTaskList) and its table
// on it (FDTableTask). Opened once at start and kept for the whole run.
class TableConnection {
public:
    // Opens the file (creating what is missing) and reads the table.
    void open(const QString& databasePath, const QString& table);
    bool isOpen() const { return table_ != nullptr; }

    Database& database();
    TableCursor& table();

private:
    void requireOpen() const;

    std::unique_ptr<Database> db_;
    std::unique_ptr<TableCursor> table_;
};

} // namespace telvara
