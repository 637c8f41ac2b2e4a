// How a message-box style of the model looks as a Qt message box, and which
// result the model receives for the button the user pressed.
#pragma once

#include <QMessageBox>

namespace quillon::gui {

QMessageBox::Icon IconForStyle(unsigned style);
QMessageBox::StandardButtons ButtonsForStyle(unsigned style);
/// The model's result (IDOK, IDCANCEL, IDYES, IDNO) for a pressed button;
/// a box closed without a button gives the answer of ClosedBoxAnswer.
int ResultForButton(QMessageBox::StandardButton pressed, unsigned style);
/// The answer of a box closed without pressing a button, or dismissed
/// because its window went away: Cancel, No, or OK for a box with OK only.
int ClosedBoxAnswer(unsigned style);
/// The caption the platform's box shows on a button ("确定", "取消", "是(&Y)", "否(&N)").
QString ButtonCaption(QMessageBox::StandardButton button);

}  // namespace quillon::gui
