#include "records/ReportGridModel.h"

namespace telvara {

ReportGridModel::ReportGridModel(int rows, QStringList headers, int editableFrom, QObject* parent)
    : QAbstractTableModel(parent)
    , rows_(rows)
    , headers_(std::move(headers))
    , editableFrom_(editableFrom)
    , cells_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(headers_.size())) {}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

bool ReportGridModel::inside(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < columns();
}

const QString& ReportGridModel::cell(int row, int column) const {
    static const QString empty;
    if (!inside(row, column))
        return empty;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns()) +
                  static_cast<std::size_t>(column)];
}

void ReportGridModel::setCell(int row, int column, const QString& text) {
    if (!inside(row, column))
        return;
    cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns()) +
           static_cast<std::size_t>(column)] = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void ReportGridModel::setRow(int row, const QStringList& cells) {
    if (!inside(row, 0))
        return;
    const int n = columns();
    for (int c = 0; c < n; ++c)
        cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(n) +
               static_cast<std::size_t>(c)] = c < cells.size() ? cells[c] : QString();
    emit dataChanged(index(row, 0), index(row, n - 1), {Qt::DisplayRole, Qt::EditRole});
}

void ReportGridModel::clearAll() {
    beginResetModel();
    for (QString& s : cells_)
        s.clear();
    endResetModel();
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columns() ? QVariant(headers_[section]) : QVariant();
    return section + 1;
}

Qt::ItemFlags ReportGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() >= editableFrom_)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ReportGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() < editableFrom_)
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

} // namespace telvara
