#include "records/RecordRing.h"

#include "core/ConfigRecord.h"

#include <utility>
#include <vector>

namespace telvara {

RecordRing::RecordRing(Setup setup, QObject* parent)
    : QObject(parent)
    , setup_(std::move(setup))
    , grid_(setup_.ringSize, setup_.headers, setup_.editableFrom, this) {}

void RecordRing::open(const QString& databasePath) {
    connection_.open(databasePath, setup_.table);
}

void RecordRing::setCaptionNumber(int n) {
    caption_ = setup_.captionPrefix + QString::number(n);
    emit captionChanged(caption_);
}

// After a failed write the table is read again, so the cursor matches what the file holds.
void RecordRing::recover(TableCursor& t) {
    try {
        t.refresh();
    } catch (...) {
        // The original error is the one to report.
    }
}

int RecordRing::trimToRing() {
    TableCursor& t = table();
    t.rewind();
    const int before = t.recordCount();
    if (before <= setup_.ringSize)
        return 0;
    try {
        Database::Transaction tx(connection_.database());
        t.moveTo(setup_.ringSize);
        while (!t.eof())
            t.remove();
        tx.commit();
    } catch (...) {
        recover(t);
        throw;
    }
    return before - t.recordCount();
}

int RecordRing::loadIntoGrid() {
    TableCursor& t = table();
    t.rewind();
    std::vector<QStringList> rows;
    for (; !t.eof() && static_cast<int>(rows.size()) < setup_.ringSize; t.next()) {
        QStringList cells;
        for (const QString& c : setup_.columns)
            cells << t.text(c);
        rows.push_back(std::move(cells));
    }
    grid_.clearAll();
    for (std::size_t r = 0; r < rows.size(); ++r)
        grid_.setRow(static_cast<int>(r), rows[r]);
    return t.recordCount();
}

int RecordRing::listInto(const std::function<bool(const TableCursor&)>& pass) {
    TableCursor& t = table();
    t.rewind();
    std::vector<QStringList> rows;
    for (; !t.eof() && static_cast<int>(rows.size()) < setup_.ringSize; t.next()) {
        if (!pass(t))
            continue;
        QStringList cells;
        for (const QString& c : setup_.columns)
            cells << t.text(c);
        rows.push_back(std::move(cells));
    }
    grid_.clearAll();
    for (std::size_t r = 0; r < rows.size(); ++r)
        grid_.setRow(static_cast<int>(r), rows[r]);
    return static_cast<int>(rows.size());
}

void RecordRing::writeRecords(std::size_t count, const Builder& build) {
    if (count == 0)
        return;
    TableCursor& t = table();
    const int R = setup_.ringSize;
    struct Written {
        int number;
        QStringList cells;
    };
    std::vector<Written> written;
    written.reserve(count);
    // A counter outside 1..R (never set, or saved by a run with another ring size) starts at 1.
    int n = counter_ >= 1 && counter_ <= R ? counter_ : 1;
    try {
        Database::Transaction tx(connection_.database());
        for (std::size_t i = 0; i < count; ++i) {
            const QVariantList values = build(i, n);
            if (t.recordCount() < R) {
                t.insert();
            } else {
                t.moveTo(n - 1);
                t.edit();
            }
            QStringList cells;
            for (int c = 0; c < setup_.columns.size() && c < values.size(); ++c) {
                const QVariant& v = values[c];
                if (v.typeId() == QMetaType::Int)
                    t.setInteger(setup_.columns[c], v.toInt());
                else
                    t.setText(setup_.columns[c], v.toString());
                cells << v.toString();
            }
            t.post();
            written.push_back({n, std::move(cells)});
            n = n + 1 > R ? 1 : n + 1;
        }
        ConfigRecord::storeCounter(connection_.database(), setup_.counterColumn, n);
        tx.commit();
    } catch (...) {
        recover(t);
        throw;
    }
    for (const Written& w : written)
        grid_.setRow(w.number - 1, w.cells);
    counter_ = n;
    setCaptionNumber(written.back().number);
    selectedRow_ = counter_ - 1;
    emit selectedRowChanged(selectedRow_);
}

void RecordRing::eraseAll() {
    TableCursor& t = table();
    try {
        Database::Transaction tx(connection_.database());
        t.rewind();
        while (!t.eof())
            t.remove();
        ConfigRecord::storeCounter(connection_.database(), setup_.counterColumn, 1);
        tx.commit();
    } catch (...) {
        recover(t);
        throw;
    }
    counter_ = 1;
    selectedRow_ = 0;
    emit selectedRowChanged(0);
    grid_.clearAll();
}

} // namespace telvara
