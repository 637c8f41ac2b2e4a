#include "frontends/qt/ListViewSync.hpp"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>
#include <algorithm>
#include <set>

#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {

namespace {

void SyncColumns(QTableWidget& list, const std::vector<ui::ListColumn>& columns) {
    const int count = static_cast<int>(columns.size());
    if (list.columnCount() != count) {
        list.setColumnCount(count);
    }
    for (int c = 0; c < count; ++c) {
        const auto& column = columns[static_cast<std::size_t>(c)];
        const QString heading = DisplayText(column.heading);
        QTableWidgetItem* header = list.horizontalHeaderItem(c);
        if (header == nullptr || header->text() != heading) {
            list.setHorizontalHeaderItem(c, new QTableWidgetItem(heading));
        }
        if (list.columnWidth(c) != column.width) {
            list.setColumnWidth(c, column.width);
        }
    }
}

void SyncCell(QTableWidget& list, int row, int column, const QString& text) {
    QTableWidgetItem* item = list.item(row, column);
    if (item == nullptr) {
        list.setItem(row, column, new QTableWidgetItem(text));
    } else if (item->text() != text) {
        item->setText(text);
    }
}

void SyncRows(QTableWidget& list, const std::vector<std::vector<std::string>>& rows) {
    const int count = static_cast<int>(rows.size());
    if (list.rowCount() != count) {
        list.setRowCount(count);
    }
    for (int r = 0; r < count; ++r) {
        const auto& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < list.columnCount(); ++c) {
            const auto cell = static_cast<std::size_t>(c);
            SyncCell(list, r, c, cell < cells.size() ? DisplayText(cells[cell]) : QString());
        }
    }
}

void SyncSelection(QTableWidget& list, const std::set<int>& selected) {
    const auto shown = SelectedListRows(list);
    if (std::equal(shown.begin(), shown.end(), selected.begin(), selected.end())) {
        return;
    }
    QItemSelection selection;
    for (int row : selected) {
        const QModelIndex first = list.model()->index(row, 0);
        selection.select(first, first);
    }
    list.selectionModel()->select(selection,
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Shows a cell's whole text when its column is too narrow for it.
class ElidedCellTips : public QObject {
  public:
    explicit ElidedCellTips(QTableWidget& list) : QObject(&list), list_(list) {
        list.viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = ElidedCellText(list_, help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            const QModelIndex index = list_.indexAt(help->pos());
            QToolTip::showText(help->globalPos(), tip, list_.viewport(), list_.visualRect(index));
        }
        return true;
    }

  private:
    QTableWidget& list_;
};

constexpr const char* TIPS_INSTALLED = "quillonElidedCellTips";

void InstallElidedCellTips(QTableWidget& list) {
    if (!list.property(TIPS_INSTALLED).toBool()) {
        list.setProperty(TIPS_INSTALLED, true);
        new ElidedCellTips(list);  // owned by the list
    }
}

}  // namespace

QString ElidedCellText(const QTableWidget& list, const QPoint& viewportPos) {
    const QModelIndex index = list.indexAt(viewportPos);
    if (!index.isValid()) {
        return {};
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    // The item view draws its text inside this margin on each side.
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int needed = list.fontMetrics().horizontalAdvance(text) + 2 * margin;
    return needed > list.visualRect(index).width() ? text : QString();
}

void SyncListView(QTableWidget& list, const ui::ControlState& state) {
    InstallElidedCellTips(list);
    SyncColumns(list, state.columns);
    SyncRows(list, state.rows);
    SyncSelection(list, state.selectedRows);
}

std::vector<int> SelectedListRows(const QTableWidget& list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace quillon::gui
