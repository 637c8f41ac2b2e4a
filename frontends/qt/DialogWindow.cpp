#include "frontends/qt/DialogWindow.hpp"

#include <QCloseEvent>
#include <QKeyEvent>

#include "frontends/qt/AppearanceSetup.hpp"
#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {

DialogWindow::DialogWindow(ui::Dialog& dialog, GuiDispatcher& dispatcher, const DialogUnits& units,
                           QWidget* parent)
    : QWidget(parent, parent != nullptr ? Qt::Dialog : Qt::Window),
      view_(new DialogView(dialog, dispatcher, units, this, false)) {
    setWindowTitle(DisplayText(dialog.Template().caption));
    setWindowIcon(ProgramIcon());
    setFixedSize(view_->TemplateSize());
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The window goes away when the dialog ends, not before.
    event->ignore();
    RequestClose(ui::IDCANCEL);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            RequestClose(ui::IDCANCEL);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RequestClose(ui::IDOK);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void DialogWindow::RequestClose(int command) {
    ui::Dialog& dialog = Model();
    if (dialog.Template().Find(command) != nullptr) {
        dialog.Click(command);  // a disabled OK or Cancel button refuses, as it should
        return;
    }
    // Without a handler the dialog ends, as a dialog's default OK and Cancel do.
    if (!dialog.Command(command) && !dialog.IsEnded()) {
        dialog.EndDialog(command);
    }
}

}  // namespace quillon::gui
