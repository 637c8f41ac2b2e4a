// Brings a report list (QTableWidget) in line with the model's list view:
// columns with their headings and pixel widths, row texts, selected rows.
// Only what differs is touched, so a rebuilt list keeps its scroll position
// when the rows are the same. A cell too narrow for its text shows the whole
// text as a tooltip.
#pragma once

#include "platform/ui/ControlState.hpp"

#include <QString>

class QPoint;
class QTableWidget;

namespace quillon::gui {

void SyncListView(QTableWidget& list, const ui::ControlState& state);
/// The rows selected in the widget, ascending.
std::vector<int> SelectedListRows(const QTableWidget& list);
/// The whole text of the cell at `viewportPos` when its column cuts it off,
/// the list's tooltip there; empty when it fits or there is no cell.
QString ElidedCellText(const QTableWidget& list, const QPoint& viewportPos);

}  // namespace quillon::gui
