#include "frontends/qt/RichTextSync.hpp"

#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {

namespace {
constexpr double TWIPS_PER_POINT = 20.0;
}

void RichTextSync::Apply(const std::vector<ui::TextRun>& runs) {
    const bool grows =
        runs.size() >= shown_.size() && std::equal(shown_.begin(), shown_.end(), runs.begin());
    if (grows && runs.size() == shown_.size()) {
        return;
    }
    if (!grows) {
        display_.clear();
        shown_.clear();
    }
    for (std::size_t i = shown_.size(); i < runs.size(); ++i) {
        Append(runs[i]);
    }
    shown_ = runs;
    display_.verticalScrollBar()->setValue(display_.verticalScrollBar()->maximum());
}

void RichTextSync::Append(const ui::TextRun& run) {
    QTextCharFormat format;
    format.setForeground(ColourFromRef(run.colour));
    format.setFontWeight(QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    if (run.heightTwips > 0) {
        format.setFontPointSize(run.heightTwips / TWIPS_PER_POINT);
    }
    QTextCursor cursor(display_.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(DisplayText(run.text), format);
}

}  // namespace quillon::gui
