#include "frontends/qt/InputWiring.hpp"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>

#include "frontends/qt/ListViewSync.hpp"
#include "frontends/qt/ModelText.hpp"
#include "frontends/qt/TabControlWidget.hpp"

namespace quillon::gui {

namespace {

using Reconcile = std::function<void()>;

void ConnectButton(QAbstractButton& button, ui::Dialog& dialog, int id, Reconcile reconcile) {
    QObject::connect(&button, &QAbstractButton::clicked, &button, [&dialog, id, reconcile] {
        dialog.Click(id);
        reconcile();
    });
}

void ConnectEdit(QWidget& widget, ui::Dialog& dialog, int id, Reconcile reconcile) {
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line,
                         [&dialog, id, reconcile](const QString& text) {
                             dialog.TypeText(id, ModelText(text));
                             reconcile();
                         });
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(&widget)) {
        QObject::connect(multi, &QPlainTextEdit::textChanged, multi, [multi, &dialog, id] {
            dialog.TypeText(id, ModelMultiLineText(multi->toPlainText()));
        });
    }
}

void ConnectCombo(QComboBox& combo, ui::Dialog& dialog, int id, Reconcile reconcile) {
    QObject::connect(&combo, &QComboBox::activated, &combo, [&dialog, id, reconcile](int index) {
        dialog.SelectItem(id, index);
        reconcile();
    });
}

void ConnectList(QTableWidget& list, ui::Dialog& dialog, int id) {
    QObject::connect(&list, &QTableWidget::itemSelectionChanged, &list,
                     [&list, &dialog, id] { dialog.SelectRows(id, SelectedListRows(list)); });
}

void ConnectSlider(QSlider& slider, ui::Dialog& dialog, int id) {
    QObject::connect(&slider, &QSlider::valueChanged, &slider,
                     [&dialog, id](int position) { dialog.DragSlider(id, position); });
}

void ConnectTabs(TabControlWidget& tabs, ui::Dialog& dialog, int id, Reconcile reconcile) {
    QObject::connect(tabs.Bar(), &QTabBar::currentChanged, &tabs,
                     [&dialog, id, reconcile](int index) {
                         dialog.SelectItem(id, index);
                         reconcile();
                     });
}

}  // namespace

void ConnectInput(QWidget& widget, ui::ControlKind kind, ui::Dialog& dialog, int id,
                  std::function<void()> reconcile) {
    switch (kind) {
        case ui::ControlKind::PushButton:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
            ConnectButton(static_cast<QAbstractButton&>(widget), dialog, id, std::move(reconcile));
            break;
        case ui::ControlKind::Edit:
            ConnectEdit(widget, dialog, id, std::move(reconcile));
            break;
        case ui::ControlKind::ComboBox:
            ConnectCombo(static_cast<QComboBox&>(widget), dialog, id, std::move(reconcile));
            break;
        case ui::ControlKind::ListView:
            ConnectList(static_cast<QTableWidget&>(widget), dialog, id);
            break;
        case ui::ControlKind::Slider:
            ConnectSlider(static_cast<QSlider&>(widget), dialog, id);
            break;
        case ui::ControlKind::TabControl:
            ConnectTabs(static_cast<TabControlWidget&>(widget), dialog, id, std::move(reconcile));
            break;
        default:
            break;  // statics, frames, progress bars, the display and the icon take no input
    }
}

}  // namespace quillon::gui
