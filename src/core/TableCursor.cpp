#include "core/TableCursor.h"

#include "core/Database.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <algorithm>

namespace telvara {

namespace {

QVariant columnValue(const SQLite::Column& c) {
    switch (c.getType()) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(c.getInt64()));
    case SQLITE_FLOAT:
        return QVariant(c.getDouble());
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(c.getText(), c.getBytes()));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(c.getBlob()), c.getBytes()));
    default:
        return QVariant();
    }
}

void bindValue(SQLite::Statement& s, int index, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        s.bind(index);
        break;
    case QMetaType::Bool:
        s.bind(index, v.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
        s.bind(index, static_cast<int64_t>(v.toLongLong()));
        break;
    case QMetaType::Double:
        s.bind(index, v.toDouble());
        break;
    default:
        s.bind(index, v.toString().toStdString());
        break;
    }
}

} // namespace

TableCursor::TableCursor(Database& db, QString table)
    : db_(db)
    , table_(std::move(table)) {}

QString TableCursor::where() const {
    return QStringLiteral("tabela \"%1\"").arg(table_);
}

void TableCursor::refresh() {
    std::vector<Record> records;
    QStringList columns;
    try {
        SQLite::Statement q(db_.handle(),
                            QStringLiteral("SELECT _rowid_, * FROM %1 ORDER BY _rowid_")
                                .arg(quoteIdentifier(table_))
                                .toStdString());
        for (int i = 1; i < q.getColumnCount(); ++i)
            columns << QString::fromUtf8(q.getColumnName(i));
        while (q.executeStep()) {
            Record r;
            r.rowid = q.getColumn(0).getInt64();
            r.values.reserve(static_cast<std::size_t>(columns.size()));
            for (int i = 1; i < q.getColumnCount(); ++i)
                r.values.push_back(columnValue(q.getColumn(i)));
            records.push_back(std::move(r));
        }
    } catch (const std::exception& e) {
        if (!db_.tableExists(table_))
            throw DatabaseError(
                QStringLiteral("A tabela \"%1\" não existe no banco de dados.").arg(table_));
        throw db_.error(e, where());
    }
    columns_ = std::move(columns);
    records_ = std::move(records);
    pos_ = 0;
    state_ = State::Browse;
}

void TableCursor::next() {
    if (pos_ < recordCount())
        ++pos_;
}

void TableCursor::moveTo(int index) {
    if (index < 0 || index >= recordCount())
        throw DatabaseError(QStringLiteral("A tabela \"%1\" não tem o registro %2 (tem %3).")
                                .arg(table_)
                                .arg(index + 1)
                                .arg(recordCount()));
    pos_ = index;
}

bool TableCursor::hasColumn(const QString& column) const {
    return columns_.contains(column, Qt::CaseInsensitive);
}

int TableCursor::columnIndex(const QString& column) const {
    const int i = static_cast<int>(columns_.indexOf(column));
    if (i >= 0)
        return i;
    for (int j = 0; j < columns_.size(); ++j)
        if (columns_[j].compare(column, Qt::CaseInsensitive) == 0)
            return j;
    throw DatabaseError(
        QStringLiteral("A coluna \"%1\" não existe na tabela \"%2\".").arg(column, table_));
}

const QVariant& TableCursor::value(const QString& column) const {
    const auto i = static_cast<std::size_t>(columnIndex(column));
    if (state_ != State::Browse)
        return buffer_.values[i];
    if (eof())
        throw DatabaseError(QStringLiteral("Não há registro atual na tabela \"%1\".").arg(table_));
    return records_[static_cast<std::size_t>(pos_)].values[i];
}

QString TableCursor::text(const QString& column) const {
    const QVariant& v = value(column);
    if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    return v.toString(); // empty for a column that holds no value
}

qint64 TableCursor::integer(const QString& column) const {
    const QVariant& v = value(column);
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double: {
        const double d = v.toDouble();
        ok = d == static_cast<double>(static_cast<qint64>(d));
        n = static_cast<qint64>(d);
        break;
    }
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok, 10);
        break;
    default:
        break;
    }
    if (!ok) {
        if (v.isNull())
            throw DatabaseError(QStringLiteral("A coluna \"%1\" da tabela \"%2\" está vazia; "
                                               "um número inteiro era esperado.")
                                    .arg(column, table_));
        throw DatabaseError(QStringLiteral("O valor \"%1\" da coluna \"%2\" da tabela \"%3\" não "
                                           "é um número inteiro.")
                                .arg(text(column), column, table_));
    }
    return n;
}

bool TableCursor::boolean(const QString& column) const {
    const QVariant& v = value(column);
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong() != 0;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s == QLatin1String("1") || s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s == QLatin1String("0") || s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (v.isNull())
        throw DatabaseError(QStringLiteral("A coluna \"%1\" da tabela \"%2\" está vazia; "
                                           "verdadeiro ou falso era esperado.")
                                .arg(column, table_));
    throw DatabaseError(QStringLiteral("O valor \"%1\" da coluna \"%2\" da tabela \"%3\" não é "
                                       "verdadeiro nem falso.")
                            .arg(text(column), column, table_));
}

void TableCursor::set(const QString& column, QVariant v) {
    const auto i = static_cast<std::size_t>(columnIndex(column));
    if (state_ == State::Browse)
        throw DatabaseError(
            QStringLiteral("A tabela \"%1\" não está em edição nem em inclusão.").arg(table_));
    buffer_.values[i] = std::move(v);
    changed_[i] = true;
}

void TableCursor::setText(const QString& column, const QString& value) {
    set(column, QVariant(value)); // stored as text, an empty one included
}
void TableCursor::setInteger(const QString& column, qint64 value) {
    set(column, QVariant(static_cast<qlonglong>(value)));
}
void TableCursor::setBoolean(const QString& column, bool value) {
    set(column, QVariant(static_cast<qlonglong>(value ? 1 : 0)));
}

void TableCursor::insert() {
    state_ = State::Insert;
    buffer_ = Record{0, std::vector<QVariant>(static_cast<std::size_t>(columns_.size()))};
    changed_.assign(static_cast<std::size_t>(columns_.size()), false);
}

void TableCursor::edit() {
    if (eof())
        throw DatabaseError(
            QStringLiteral("Não há registro atual para alterar na tabela \"%1\".").arg(table_));
    state_ = State::Edit;
    buffer_ = records_[static_cast<std::size_t>(pos_)];
    changed_.assign(static_cast<std::size_t>(columns_.size()), false);
}

void TableCursor::cancel() {
    state_ = State::Browse;
}

TableCursor::Record TableCursor::readRecord(qint64 rowid) {
    SQLite::Statement q(db_.handle(), QStringLiteral("SELECT * FROM %1 WHERE _rowid_ = ?")
                                          .arg(quoteIdentifier(table_))
                                          .toStdString());
    q.bind(1, static_cast<int64_t>(rowid));
    Record r{rowid, {}};
    if (q.executeStep())
        for (int i = 0; i < q.getColumnCount(); ++i)
            r.values.push_back(columnValue(q.getColumn(i)));
    if (r.values.size() != static_cast<std::size_t>(columns_.size()))
        throw DatabaseError(
            QStringLiteral("A tabela \"%1\" mudou durante o uso; releia a tabela.").arg(table_));
    return r;
}

void TableCursor::post() {
    if (state_ == State::Browse)
        return;
    QStringList names;
    std::vector<QVariant> values;
    for (std::size_t i = 0; i < changed_.size(); ++i)
        if (changed_[i]) {
            names << quoteIdentifier(columns_[static_cast<int>(i)]);
            values.push_back(buffer_.values[i]);
        }
    try {
        if (state_ == State::Insert) {
            QString sql;
            if (names.isEmpty()) {
                sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(table_));
            } else {
                QStringList marks;
                for (qsizetype i = 0; i < names.size(); ++i)
                    marks << QStringLiteral("?");
                sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(quoteIdentifier(table_), names.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", ")));
            }
            SQLite::Statement s(db_.handle(), sql.toStdString());
            for (std::size_t i = 0; i < values.size(); ++i)
                bindValue(s, static_cast<int>(i) + 1, values[i]);
            s.exec();
            // Read back what was stored: the table may give defaults to the columns not set.
            Record r = readRecord(db_.handle().getLastInsertRowid());
            auto at = std::upper_bound(records_.begin(), records_.end(), r.rowid,
                                       [](qint64 id, const Record& rec) { return id < rec.rowid; });
            pos_ = static_cast<int>(at - records_.begin());
            records_.insert(at, std::move(r));
        } else {
            if (!names.isEmpty()) {
                QStringList sets;
                for (const QString& n : names)
                    sets << n + QStringLiteral(" = ?");
                SQLite::Statement s(
                    db_.handle(), QStringLiteral("UPDATE %1 SET %2 WHERE _rowid_ = ?")
                                      .arg(quoteIdentifier(table_), sets.join(QStringLiteral(", ")))
                                      .toStdString());
                for (std::size_t i = 0; i < values.size(); ++i)
                    bindValue(s, static_cast<int>(i) + 1, values[i]);
                s.bind(static_cast<int>(values.size()) + 1, static_cast<int64_t>(buffer_.rowid));
                if (s.exec() == 0)
                    throw DatabaseError(
                        QStringLiteral("O registro %1 da tabela \"%2\" não existe mais.")
                            .arg(pos_ + 1)
                            .arg(table_));
                records_[static_cast<std::size_t>(pos_)] = readRecord(buffer_.rowid);
            }
        }
    } catch (const std::exception& e) {
        throw db_.error(e, where());
    }
    state_ = State::Browse;
}

void TableCursor::remove() {
    if (eof())
        throw DatabaseError(
            QStringLiteral("Não há registro atual para apagar na tabela \"%1\".").arg(table_));
    state_ = State::Browse;
    const auto at = records_.begin() + pos_;
    try {
        SQLite::Statement s(db_.handle(), QStringLiteral("DELETE FROM %1 WHERE _rowid_ = ?")
                                              .arg(quoteIdentifier(table_))
                                              .toStdString());
        s.bind(1, static_cast<int64_t>(at->rowid));
        s.exec();
    } catch (const std::exception& e) {
        throw db_.error(e, where());
    }
    records_.erase(at);
}

} // namespace telvara
