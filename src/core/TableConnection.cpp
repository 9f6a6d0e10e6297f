#include "core/TableConnection.h"

namespace telvara {

void TableConnection::open(const QString& databasePath, const QString& table) {
    auto db = std::make_unique<Database>(databasePath);
    auto cursor = std::make_unique<TableCursor>(*db, table);
    cursor->refresh();
    table_.reset();
    db_ = std::move(db);
    table_ = std::move(cursor);
}

void TableConnection::requireOpen() const {
    if (!isOpen())
        throw DatabaseError(QStringLiteral("O banco de dados não foi aberto."));
}

Database& TableConnection::database() {
    requireOpen();
    return *db_;
}

TableCursor& TableConnection::table() {
    requireOpen();
    return *table_;
}

} // namespace telvara
