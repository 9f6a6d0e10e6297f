#pragma once

#include "core/TableConnection.h"
#include "records/ReportGridModel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <cstddef>
#include <functional>

namespace telvara {

// A table used as a ring of R records beside a report grid of R rows: position n (1..R) is the
// n-th record in storage order and grid row n - 1. While the table holds fewer than R records a
// new record is appended; then record n overwrites position n. The counter is the number of the
// next record; it is stored into the configuration record in the same transaction as the records,
// so after a crash the next start resumes at the right position.
class RecordRing : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString table;
        QStringList columns; // table columns, in grid column order
        QStringList headers;
        int editableFrom;
        QString counterColumn; // in the configuration record
        QString captionPrefix;
        int ringSize;
    };

    RecordRing(Setup setup, QObject* parent);

    // Opens this owner's connection and table (start-up step 1).
    void open(const QString& databasePath);
    bool isOpen() const { return connection_.isOpen(); }
    TableConnection& connection() { return connection_; }

    int ringSize() const { return setup_.ringSize; }
    ReportGridModel& grid() { return grid_; }
    const ReportGridModel& grid() const { return grid_; }
    const QString& caption() const { return caption_; }
    int selectedRow() const { return selectedRow_; }

    // Removes the records after position R in storage order; returns how many went.
    int trimToRing();

signals:
    void captionChanged(const QString& caption);
    // The grid's selection moves to this row, keeping its column.
    void selectedRowChanged(int row);

protected:
    int counter() const { return counter_; }
    void setCounter(int next) { counter_ = next; }
    void setCaptionNumber(int n);

    // Reads every record into grid rows 0, 1, ... (at most R); returns the table's record count.
    int loadIntoGrid();
    // Empties the grid and fills it from row 0 with the records that pass; returns how many.
    int listInto(const std::function<bool(const TableCursor&)>& pass);

    // The values of the record numbered `number`, the index-th of this batch, in column order:
    // an int is stored as an integer, anything else as text.
    using Builder = std::function<QVariantList(std::size_t index, int number)>;
    // Writes `count` records in order, one ring position each, in one transaction. On failure
    // nothing of the batch is stored, and the grid and the counter are unchanged.
    void writeRecords(std::size_t count, const Builder& build);

    // Deletes every record and sets the counter (here and in the configuration record) to 1.
    void eraseAll();

private:
    TableCursor& table() { return connection_.table(); }
    void recover(TableCursor& t);

    Setup setup_;
    ReportGridModel grid_;
    TableConnection connection_;
    int counter_ = 1;
    QString caption_;
    int selectedRow_ = 0;
};

} // namespace telvara
