// The texts the upgrade commands show, exactly as the user sees them.
#pragma once

#include "platform/ui/SharedTexts.hpp"

namespace quillon::upgrade {

/// Open-file dialog filter: one entry offering both image extensions.
inline constexpr const char* IMAGE_FILE_FILTER = "Files (*.bin,*.dat)|*.bin;*.dat||";

using ui::CAPTION_WARNING;

// Status line 1220 and mode label 1222.
inline constexpr const char* STATUS_ERASING = "擦写flash";
inline constexpr const char* STATUS_WRITING = "写入程序";
inline constexpr const char* STATUS_POWER_CYCLE = "请给设备重新上电";
/// The user closed the window during the upgrade and confirmed: the transfer
/// stopped after the frame it was sending; the device holds part of an image.
inline constexpr const char* STATUS_STOPPED = "升级已中止，请重新升级";
/// The program's own upgrade mode, the only one it has: on static 1281 from
/// start-up and on the mode label once the program command is accepted.
inline constexpr const char* MODE_RAW = "升级模式（原始）";

// Message boxes of the firmware upgrade.
inline constexpr const char* OPEN_IMAGE_FAILED = "打开升级固件失败!";
using ui::SEND_FAILED;
/// An empty image is refused before any frame goes out.
inline constexpr const char* IMAGE_EMPTY = "升级固件为空，未发送任何数据!";
/// A read error part-way through the image ends the transfer as a failure.
inline constexpr const char* READ_IMAGE_FAILED = "读取升级固件失败!";

/// Asked when the window is closed while an upgrade runs (Yes stops it).
inline constexpr const char* CLOSE_DURING_UPGRADE = "正在升级固件，关闭窗口将中止升级，确定关闭吗?";

// Message boxes of the upgrade mode entry.
using ui::CONNECT_FIRST;
inline constexpr const char* INIT_CAN_FAILED = "初始化CAN失败,程序将自动重启!";
inline constexpr const char* RESTART_FAILED = "重新打开程序失败!";

}  // namespace quillon::upgrade
