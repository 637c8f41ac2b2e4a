#include "frontends/qt/MessageBoxStyle.hpp"

#include "platform/ui/SharedTexts.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::gui {

QMessageBox::Icon IconForStyle(unsigned style) {
    switch (style & ui::MB_ICONMASK) {
        case ui::MB_ICONERROR:
            return QMessageBox::Critical;
        case ui::MB_ICONQUESTION:
            return QMessageBox::Question;
        case ui::MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case ui::MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsForStyle(unsigned style) {
    switch (style & ui::MB_TYPEMASK) {
        case ui::MB_OKCANCEL:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case ui::MB_YESNO:
            return QMessageBox::Yes | QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

int ResultForButton(QMessageBox::StandardButton pressed, unsigned style) {
    switch (pressed) {
        case QMessageBox::Ok:
            return ui::IDOK;
        case QMessageBox::Cancel:
            return ui::IDCANCEL;
        case QMessageBox::Yes:
            return ui::IDYES;
        case QMessageBox::No:
            return ui::IDNO;
        default:
            return ClosedBoxAnswer(style);
    }
}

int ClosedBoxAnswer(unsigned style) {
    switch (style & ui::MB_TYPEMASK) {
        case ui::MB_OKCANCEL:
            return ui::IDCANCEL;
        case ui::MB_YESNO:
            return ui::IDNO;
        default:
            return ui::IDOK;
    }
}

QString ButtonCaption(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return QString::fromUtf8(ui::BUTTON_OK);
        case QMessageBox::Cancel:
            return QString::fromUtf8(ui::BUTTON_CANCEL);
        case QMessageBox::Yes:
            return QStringLiteral("是(&Y)");
        case QMessageBox::No:
            return QStringLiteral("否(&N)");
        default:
            return {};
    }
}

}  // namespace quillon::gui
