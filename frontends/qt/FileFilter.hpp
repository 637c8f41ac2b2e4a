// The open-file dialog's filter in Qt's form.
//
// The model writes filters as "Description|patterns|Description|patterns||",
// patterns separated by ';', for example "Files (*.bin,*.dat)|*.bin;*.dat||".
// Qt wants "Description (patterns)" entries separated by ";;", patterns
// separated by blanks. The description is kept whole; with the dialog's
// HideNameFilterDetails option the user sees exactly it.
#pragma once

#include <QStringList>
#include <string_view>

namespace quillon::gui {

/// One Qt name filter per description/pattern pair; an unpaired trailing
/// description is dropped.
QStringList QtNameFilters(std::string_view modelFilter);

}  // namespace quillon::gui
