#pragma once

#include <vector>

class QTableView;

namespace telvara {

class ReportGridModel;

// The look of a report window's grid (StringGrid1): Arial, rows 23 high, alternating background,
// lines, no row numbers, one cell selected at a time and the selection shown without the focus.
void setUpReportGrid(QTableView& grid, ReportGridModel& model, const std::vector<int>& widths);

// Selects `row` in the grid's current column (the first when none) and brings it into view.
void selectReportRow(QTableView& grid, int row);

// Brings the selected cell into view (when the window is shown).
void showReportSelection(QTableView& grid);

} // namespace telvara
