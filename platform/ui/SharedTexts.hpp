// Texts that several layers show alike, defined once: the warning caption,
// the refused-frame and not-connected warnings, the standard button labels.
#pragma once

namespace quillon::ui {

inline constexpr const char* CAPTION_WARNING = "警告";
/// Shown whenever the adapter library refuses a configuration frame.
inline constexpr const char* SEND_FAILED = "写入参数失败，请检查设备是否连接正常!";
/// A command that needs the device while the adapter is not open.
inline constexpr const char* CONNECT_FIRST = "请先连接设备!";
inline constexpr const char* BUTTON_OK = "确定";
inline constexpr const char* BUTTON_CANCEL = "取消";

}  // namespace quillon::ui
