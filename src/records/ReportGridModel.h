#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace telvara {

// The text grid of a report window (StringGrid1): a fixed number of rows of text cells. The
// columns from editableFrom on may be typed into, as in the window design; what is typed there
// stays in the grid and never reaches the database.
class ReportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ReportGridModel(int rows, QStringList headers, int editableFrom, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    int rows() const { return rows_; }
    int columns() const { return static_cast<int>(headers_.size()); }
    const QString& cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    void setRow(int row, const QStringList& cells);
    void clearAll();

private:
    bool inside(int row, int column) const;

    int rows_;
    QStringList headers_;
    int editableFrom_;
    std::vector<QString> cells_; // row after row
};

} // namespace telvara
