// Checks a dialog's native window against its template: each control in
// template order, with its id, its kind's class, its text and visibility as
// the model has them, at the pixel rectangle its dialog units give with the
// dialog's font (measured here from the font itself), within one pixel.
#pragma once

#include "frontends/win32/SystemHeaders.hpp"

#include <string>
#include <vector>

namespace quillon::test {

/// One line per difference; empty when the window matches. `lift` is how
/// far the window moved its controls up (pixels).
std::vector<std::string> LayoutMismatches(HWND window, const ui::Dialog& model, int lift = 0);

}  // namespace quillon::test
