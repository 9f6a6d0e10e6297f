#include "core/Database.h"

#include "core/DatabaseSchema.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace telvara {

QString quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

Database::Database(const QString& path)
    : path_(path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw DatabaseError(
            QStringLiteral("Não foi possível criar a pasta \"%1\" do banco de dados.")
                .arg(QDir::toNativeSeparators(info.absolutePath())));
    try {
        db_ = std::make_unique<SQLite::Database>(path.toStdString(),
                                                 SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
                                                 /*busy timeout ms*/ 5000);
    } catch (const std::exception& e) {
        throw error(e);
    }
    check();
    configure();
    createMissingTables();
}

Database::~Database() = default;

DatabaseError Database::error(const std::exception& e, const QString& context) const {
    if (auto* de = dynamic_cast<const DatabaseError*>(&e))
        return *de;
    const QString file = QDir::toNativeSeparators(path_);
    const QString detail = QString::fromUtf8(e.what());
    const QString where = context.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(context);
    int code = 0;
    if (auto* se = dynamic_cast<const SQLite::Exception*>(&e))
        code = se->getErrorCode() & 0xff;
    switch (code) {
    case SQLITE_NOTADB:
        return DatabaseError(
            QStringLiteral("O arquivo \"%1\" não é um banco de dados SQLite.").arg(file));
    case SQLITE_CORRUPT:
        return DatabaseError(QStringLiteral("O banco de dados \"%1\" está danificado%2: %3")
                                 .arg(file, where, detail));
    case SQLITE_CANTOPEN:
        return DatabaseError(
            QStringLiteral("Não foi possível abrir o banco de dados \"%1\": %2").arg(file, detail));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseError(
            QStringLiteral("O banco de dados \"%1\" está em uso por outro programa%2: %3")
                .arg(file, where, detail));
    default:
        return DatabaseError(
            QStringLiteral("Erro no banco de dados \"%1\"%2: %3").arg(file, where, detail));
    }
}

// Refuses a damaged file before the first write: nothing of what it holds is touched.
void Database::check() {
    std::vector<QString> problems;
    try {
        SQLite::Statement q(*db_, "PRAGMA quick_check");
        while (q.executeStep())
            problems.push_back(QString::fromUtf8(q.getColumn(0).getText()));
    } catch (const std::exception& e) {
        throw error(e);
    }
    if (problems.empty() || problems.front() != QLatin1String("ok"))
        throw DatabaseError(QStringLiteral("O banco de dados \"%1\" está danificado: %2")
                                .arg(QDir::toNativeSeparators(path_),
                                     problems.empty()
                                         ? QStringLiteral("sem resposta da verificação")
                                         : problems.front()));
}

// Rollback journal (DELETE, SQLite's own default) with synchronous=FULL: a commit returns only
// after the journal and then the file itself have been flushed to disk, so a killed process or a
// power cut leaves either the whole transaction or none of it, and the next opening rolls back a
// half-written one. A file that another tool put in WAL mode is left in it: WAL with FULL is just
// as durable, and switching it back would change the file.
void Database::configure() {
    try {
        db_->exec("PRAGMA synchronous = FULL");
        const std::string mode = db_->execAndGet("PRAGMA journal_mode").getString();
        if (mode != "wal" && mode != "delete")
            db_->exec("PRAGMA journal_mode = DELETE");
    } catch (const std::exception& e) {
        throw error(e);
    }
}

bool Database::tableExists(const QString& table) {
    try {
        SQLite::Statement q(*db_,
                            "SELECT count(*) FROM sqlite_master WHERE name = ? COLLATE NOCASE");
        q.bind(1, table.toStdString());
        q.executeStep();
        return q.getColumn(0).getInt64() > 0;
    } catch (const std::exception& e) {
        throw error(e);
    }
}

void Database::createMissingTables() {
    std::vector<const TableDef*> missing;
    for (const TableDef& t : databaseTables())
        if (!tableExists(QLatin1String(t.name)))
            missing.push_back(&t);
    if (missing.empty())
        return;
    Transaction tx(*this);
    for (const TableDef* t : missing)
        exec(t->createStatement());
    tx.commit();
}

void Database::exec(const QString& sql) {
    try {
        db_->exec(sql.toStdString());
    } catch (const std::exception& e) {
        throw error(e);
    }
}

Database::Transaction::Transaction(Database& db)
    : db_(db) {
    try {
        tx_ = std::make_unique<SQLite::Transaction>(db.handle(),
                                                    SQLite::TransactionBehavior::IMMEDIATE);
    } catch (const std::exception& e) {
        throw db_.error(e);
    }
}

Database::Transaction::~Transaction() = default;

void Database::Transaction::commit() {
    try {
        tx_->commit();
    } catch (const std::exception& e) {
        throw db_.error(e);
    }
}

} // namespace telvara
