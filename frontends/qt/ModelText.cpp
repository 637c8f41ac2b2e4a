#include "frontends/qt/ModelText.hpp"

namespace quillon::gui {

QString DisplayText(std::string_view modelText) {
    QString text = QString::fromUtf8(modelText.data(), static_cast<qsizetype>(modelText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string ModelText(const QString& text) {
    return text.toStdString();
}

std::string ModelMultiLineText(const QString& text) {
    QString lineEnded = text;
    lineEnded.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lineEnded.toStdString();
}

QColor ColourFromRef(std::uint32_t colourRef) {
    return QColor(static_cast<int>(colourRef & 0xFFu), static_cast<int>((colourRef >> 8) & 0xFFu),
                  static_cast<int>((colourRef >> 16) & 0xFFu));
}

}  // namespace quillon::gui
