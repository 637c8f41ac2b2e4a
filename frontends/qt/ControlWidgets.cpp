#include "frontends/qt/ControlWidgets.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTableWidget>
#include <QTextEdit>

#include "frontends/qt/AppearanceSetup.hpp"
#include "frontends/qt/ModelText.hpp"
#include "frontends/qt/TabControlWidget.hpp"

namespace quillon::gui {

namespace {

bool Has(const ui::ControlTemplate& control, ui::ControlStyle style) {
    return (control.style & style) != 0;
}

QWidget* CreateButton(const ui::ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(DisplayText(control.text), parent);
    // Enter presses the focused button, as in any dialog.
    button->setAutoDefault(true);
    button->setDefault(Has(control, ui::STYLE_DEFAULT_BUTTON));
    return button;
}

QWidget* CreateRadio(const ui::ControlTemplate& control, QWidget* parent) {
    auto* radio = new QRadioButton(DisplayText(control.text), parent);
    // The model decides which radio of a group is checked.
    radio->setAutoExclusive(false);
    return radio;
}

QWidget* CreateEdit(const ui::ControlTemplate& control, QWidget* parent) {
    if (Has(control, ui::STYLE_MULTILINE)) {
        auto* edit = new QPlainTextEdit(DisplayText(control.text), parent);
        edit->setReadOnly(Has(control, ui::STYLE_READONLY));
        return edit;
    }
    auto* edit = new QLineEdit(DisplayText(control.text), parent);
    edit->setReadOnly(Has(control, ui::STYLE_READONLY));
    if (Has(control, ui::STYLE_NUMBER)) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* CreateList(const ui::ControlTemplate& control, QWidget* parent) {
    auto* list = new QTableWidget(parent);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(Has(control, ui::STYLE_MULTISELECT)
                               ? QAbstractItemView::ExtendedSelection
                               : QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    list->setWordWrap(false);
    list->verticalHeader()->setVisible(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setHighlightSections(false);
    return list;
}

QWidget* CreateStatic(const ui::ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(DisplayText(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((Has(control, ui::STYLE_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft) |
                        Qt::AlignVCenter);
    return label;
}

QWidget* CreateRichText(const ui::ControlTemplate& control, QWidget* parent) {
    auto* display = new QTextEdit(parent);
    display->setReadOnly(Has(control, ui::STYLE_READONLY));
    display->setVerticalScrollBarPolicy(Has(control, ui::STYLE_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAsNeeded);
    return display;
}

QWidget* CreateIcon(QWidget* parent) {
    auto* icon = new QLabel(parent);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignCenter);
    return icon;
}

QWidget* CreateSimple(ui::ControlKind kind, const QString& text, QWidget* parent) {
    switch (kind) {
        case ui::ControlKind::CheckBox:
            return new QCheckBox(text, parent);
        case ui::ControlKind::ComboBox:
            return new QComboBox(parent);
        case ui::ControlKind::Slider:
            return new QSlider(Qt::Horizontal, parent);
        case ui::ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ui::ControlKind::TabControl:
            return new TabControlWidget(parent);
        default: {
            auto* progress = new QProgressBar(parent);
            progress->setTextVisible(false);
            return progress;
        }
    }
}

}  // namespace

QWidget* CreateControlWidget(const ui::ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ui::ControlKind::PushButton:
            return CreateButton(control, parent);
        case ui::ControlKind::RadioButton:
            return CreateRadio(control, parent);
        case ui::ControlKind::Edit:
            return CreateEdit(control, parent);
        case ui::ControlKind::ListView:
            return CreateList(control, parent);
        case ui::ControlKind::Static:
            return CreateStatic(control, parent);
        case ui::ControlKind::RichEdit:
            return CreateRichText(control, parent);
        case ui::ControlKind::Icon:
            return CreateIcon(parent);
        default:
            return CreateSimple(control.kind, DisplayText(control.text), parent);
    }
}

}  // namespace quillon::gui
