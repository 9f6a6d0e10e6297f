#pragma once

#include "core/DatabaseError.h"

#include <QString>

#include <exception>
#include <memory>

namespace SQLite {
class Database;
class Transaction;
} // namespace SQLite

namespace telvara {

// One connection to the database file (FireTaskList). Opening creates the folder, the file and
// whichever of the three tables is missing; an existing table is never changed. A file that is
// not an SQLite database, or one that fails the quick check, is refused before anything is
// written to it.
class Database {
public:
    explicit Database(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    SQLite::Database& handle() { return *db_; }

    // Runs statements that return no rows.
    void exec(const QString& sql);
    bool tableExists(const QString& table);

    // The error to throw for a failure of the SQLite layer, worded for the operator.
    DatabaseError error(const std::exception& e, const QString& context = {}) const;

    // One write transaction (BEGIN IMMEDIATE); rolled back unless committed.
    class Transaction {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        Database& db_;
        std::unique_ptr<SQLite::Transaction> tx_;
    };

private:
    void configure();
    void check();
    void createMissingTables();

    QString path_;
    std::unique_ptr<SQLite::Database> db_;
};

// Double-quoted SQL identifier.
QString quoteIdentifier(const QString& name);

} // namespace telvara
