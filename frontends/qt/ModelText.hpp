// Conversions between the dialog model's values and Qt's.
//
// The model keeps text as UTF-8 with window-system line ends ("\r\n") and
// colours as 0x00BBGGRR; widgets take QString with "\n" and QColor.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::gui {

/// Model text as a widget shows it: UTF-8 decoded, "\r\n" and lone "\r" as "\n".
QString DisplayText(std::string_view modelText);
/// A single-line widget's text as the model keeps it (UTF-8).
std::string ModelText(const QString& text);
/// A multi-line widget's text as the model keeps it: UTF-8 with "\r\n" line ends.
std::string ModelMultiLineText(const QString& text);
/// A 0x00BBGGRR colour.
QColor ColourFromRef(std::uint32_t colourRef);

}  // namespace quillon::gui
