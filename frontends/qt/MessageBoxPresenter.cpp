#include "frontends/qt/MessageBoxPresenter.hpp"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>

#include "frontends/qt/FileFilter.hpp"
#include "frontends/qt/MessageBoxStyle.hpp"
#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {

int ShowMessageBox(QWidget* parent, std::string_view text, std::string_view caption,
                   unsigned style) {
    QMessageBox box(IconForStyle(style), DisplayText(caption), DisplayText(text),
                    ButtonsForStyle(style), parent);
    box.setTextFormat(Qt::PlainText);
    for (QAbstractButton* button : box.buttons()) {
        button->setText(ButtonCaption(box.standardButton(button)));
    }
    box.exec();
    return ResultForButton(box.standardButton(box.clickedButton()), style);
}

std::optional<std::string> AskFileToOpen(QWidget* parent, std::string_view filter) {
    QFileDialog dialog(parent, QStringLiteral("打开"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(QtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> AskFileToSave(QWidget* parent, std::string_view filter,
                                         std::string_view defaultName) {
    QFileDialog dialog(parent, QStringLiteral("另存为"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.selectFile(QString::fromUtf8(defaultName.data(), static_cast<int>(defaultName.size())));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace quillon::gui
