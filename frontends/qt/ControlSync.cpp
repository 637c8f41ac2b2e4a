#include "frontends/qt/ControlSync.hpp"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>

#include "frontends/qt/ListViewSync.hpp"
#include "frontends/qt/ModelText.hpp"
#include "frontends/qt/TabControlWidget.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::gui {

namespace {

/// QLineEdit's own default maximum length.
constexpr int UNLIMITED_LINE_LENGTH = 32767;

void SyncButton(QAbstractButton& button, ui::ControlKind kind, const ui::ControlState& state) {
    const QString text = DisplayText(state.text);
    if (button.text() != text) {
        button.setText(text);
    }
    if (kind != ui::ControlKind::PushButton) {
        button.setChecked(state.check == ui::BST_CHECKED);
    }
}

void SyncEdit(QWidget& widget, const ui::ControlState& state) {
    const QString text = DisplayText(state.text);
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        // The limit binds typing only; text the program sets is shown whole.
        const int limit = state.textLimit > 0
                              ? std::max(state.textLimit, static_cast<int>(text.size()))
                              : UNLIMITED_LINE_LENGTH;
        if (line->maxLength() != limit) {
            line->setMaxLength(limit);
        }
        if (line->text() != text) {
            line->setText(text);
        }
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(&widget)) {
        if (multi->toPlainText() != text) {
            multi->setPlainText(text);
        }
    }
}

QStringList Items(const std::vector<std::string>& items) {
    QStringList list;
    for (const auto& item : items) {
        list.append(DisplayText(item));
    }
    return list;
}

void SyncCombo(QComboBox& combo, const ui::ControlState& state) {
    const QStringList items = Items(state.items);
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i) {
        shown.append(combo.itemText(i));
    }
    if (shown != items) {
        combo.clear();
        combo.addItems(items);
    }
    combo.setCurrentIndex(state.selection);
}

void SyncTabs(TabControlWidget& tabs, const ui::ControlState& state) {
    QTabBar& bar = *tabs.Bar();
    const QSignalBlocker blocker(&bar);
    const QStringList items = Items(state.items);
    while (bar.count() > static_cast<int>(items.size())) {
        bar.removeTab(bar.count() - 1);
    }
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (i < bar.count()) {
            bar.setTabText(i, items[i]);
        } else {
            bar.addTab(items[i]);
        }
    }
    bar.setCurrentIndex(state.selection);
}

void SyncRange(QWidget& widget, const ui::ControlState& state) {
    if (auto* slider = qobject_cast<QSlider*>(&widget)) {
        slider->setRange(state.rangeMin, state.rangeMax);
        slider->setValue(state.position);
    } else if (auto* progress = qobject_cast<QProgressBar*>(&widget)) {
        progress->setRange(state.rangeMin, state.rangeMax);
        progress->setValue(state.position);
    }
}

void SyncContent(QWidget& widget, ui::ControlKind kind, const ui::ControlState& state) {
    switch (kind) {
        case ui::ControlKind::PushButton:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
            SyncButton(static_cast<QAbstractButton&>(widget), kind, state);
            break;
        case ui::ControlKind::Edit:
            SyncEdit(widget, state);
            break;
        case ui::ControlKind::ComboBox:
            SyncCombo(static_cast<QComboBox&>(widget), state);
            break;
        case ui::ControlKind::ListView:
            SyncListView(static_cast<QTableWidget&>(widget), state);
            break;
        case ui::ControlKind::Slider:
        case ui::ControlKind::ProgressBar:
            SyncRange(widget, state);
            break;
        case ui::ControlKind::Static:
            static_cast<QLabel&>(widget).setText(DisplayText(state.text));
            break;
        case ui::ControlKind::GroupBox:
            static_cast<QGroupBox&>(widget).setTitle(DisplayText(state.text));
            break;
        case ui::ControlKind::TabControl:
            SyncTabs(static_cast<TabControlWidget&>(widget), state);
            break;
        default:
            break;
    }
}

}  // namespace

void ApplyControlState(QWidget& widget, ui::ControlKind kind, const ui::ControlState& state) {
    const QSignalBlocker blocker(&widget);
    SyncContent(widget, kind, state);
    widget.setEnabled(state.enabled);
    widget.setVisible(state.visible);
}

}  // namespace quillon::gui
