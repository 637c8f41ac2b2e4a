// The adapter list's texts in the window's language. Discovery words its
// descriptions and reasons in English for `quillon-cli adapters`, whose output
// scripts read; the adapter dialog shows them through this one table. What
// the table does not know (a plugin's own device name, the system's error
// text inside a reason) is shown as it came.
#pragma once

#include <string>
#include <string_view>

namespace quillon::app {

/// `english` in Chinese when a row of the table matches it whole; a row may
/// hold one "{}" that matches any text, copied into the Chinese as it is.
std::string AdapterTextForWindow(std::string_view english);

}  // namespace quillon::app
