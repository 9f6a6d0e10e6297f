#include "dialogs/report_grid_view.h"

#include "records/ReportGridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace telvara {

void setUpReportGrid(QTableView& grid, ReportGridModel& model, const std::vector<int>& widths) {
    grid.setModel(&model);
    grid.setFont(QFont(QStringLiteral("Arial"), 9));
    grid.setAlternatingRowColors(true);
    grid.setShowGrid(true);
    grid.setSelectionBehavior(QAbstractItemView::SelectItems);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setWordWrap(false);
    grid.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);

    QHeaderView* rows = grid.verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(23);

    QHeaderView* columns = grid.horizontalHeader();
    columns->setHighlightSections(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
        grid.setColumnWidth(c, widths[static_cast<std::size_t>(c)]);

    // Keep the selection in the active colour when the grid loses the focus.
    QPalette palette = grid.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    grid.setPalette(palette);
}

void selectReportRow(QTableView& grid, int row) {
    QAbstractItemModel* model = grid.model();
    if (model == nullptr || row < 0 || row >= model->rowCount())
        return;
    const int column = grid.currentIndex().isValid() ? grid.currentIndex().column() : 0;
    const QModelIndex cell = model->index(row, column);
    grid.setCurrentIndex(cell);
    // A hidden grid has no real height yet; its window scrolls when it is shown.
    if (grid.isVisible())
        grid.scrollTo(cell);
}

void showReportSelection(QTableView& grid) {
    if (grid.currentIndex().isValid())
        grid.scrollTo(grid.currentIndex());
}

} // namespace telvara
