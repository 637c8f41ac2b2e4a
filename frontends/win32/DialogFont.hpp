// The dialog font: one that shows Chinese. "Microsoft YaHei UI" where the
// system has it (Windows), else "Noto Sans CJK SC" (under Wine, from the
// distribution's CJK fonts).
#pragma once

#include <string>

namespace quillon::win32 {

inline constexpr const char16_t* WINDOWS_DIALOG_FACE = u"Microsoft YaHei UI";
inline constexpr const char16_t* FALLBACK_DIALOG_FACE = u"Noto Sans CJK SC";

/// The face the dialogs use on this system.
std::u16string DialogFaceName();

}  // namespace quillon::win32
