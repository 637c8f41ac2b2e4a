// Brings a report list (QTableWidget) in line with the model's list view:
// columns with their headings and pixel widths, row texts, selected rows.
// Only what differs is touched, so a rebuilt list keeps its scroll position
// when the rows are the same.
#pragma once

#include "platform/ui/ControlState.hpp"

class QTableWidget;

namespace quillon::gui {

void SyncListView(QTableWidget& list, const ui::ControlState& state);
/// The rows selected in the widget, ascending.
std::vector<int> SelectedListRows(const QTableWidget& list);

}  // namespace quillon::gui
