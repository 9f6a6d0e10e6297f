#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace telvara {

class Database;

// A table opened whole and walked in storage order (FDTableTask): refresh reads every record,
// first/next/eof walk them, insert/edit start a change of one record and post writes it at once.
// Columns are read and written by name; a name the table lacks, or a stored text where a number
// is asked for, raises DatabaseError and changes nothing.
class TableCursor {
public:
    TableCursor(Database& db, QString table);

    const QString& tableName() const { return table_; }
    const QStringList& columns() const { return columns_; }
    bool hasColumn(const QString& column) const;

    void refresh();
    void rewind() {
        refresh();
        first();
    }
    void first() { pos_ = 0; }
    void next();
    bool eof() const { return pos_ >= recordCount(); }
    int recordCount() const { return static_cast<int>(records_.size()); }
    int position() const { return pos_; } // 0-based index in storage order
    void moveTo(int index);

    // A new record, appended at the end of the table when posted; all columns start empty.
    void insert();
    void edit();
    void post();
    void cancel();
    void remove(); // the current record; the cursor then stands on the record that followed it

    QString text(const QString& column) const;
    qint64 integer(const QString& column) const;
    bool boolean(const QString& column) const;
    void setText(const QString& column, const QString& value);
    void setInteger(const QString& column, qint64 value);
    void setBoolean(const QString& column, bool value);

private:
    enum class State { Browse, Insert, Edit };
    struct Record {
        qint64 rowid = 0;
        std::vector<QVariant> values;
    };

    int columnIndex(const QString& column) const;
    const QVariant& value(const QString& column) const;
    void set(const QString& column, QVariant value);
    Record readRecord(qint64 rowid);
    QString where() const;

    Database& db_;
    QString table_;
    QStringList columns_;
    std::vector<Record> records_;
    int pos_ = 0;
    State state_ = State::Browse;
    Record buffer_;
    std::vector<bool> changed_;
};

} // namespace telvara
