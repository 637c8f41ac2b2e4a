// Message-box texts, captions and styles shared by the parameter pages, and
// the names their selectors offer and their lists show.
#pragma once

#include <array>
#include <cstdint>

#include "platform/ui/SharedTexts.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::pages {

/// Caption of every warning box of the pages.
using ui::CAPTION_WARNING;
/// Style of the warning boxes: OK button and the question-mark icon.
inline constexpr unsigned WARNING_STYLE = ui::MB_OK | ui::MB_ICONQUESTION;
/// Style of the delete-without-selection box: OK, no icon, the application's title.
inline constexpr unsigned NOTICE_STYLE = ui::MB_OK;

inline constexpr const char* SELECT_ROW_TO_DELETE = "请选择一行删除";
inline constexpr const char* RULES_FULL = "规则数量已满!";
using ui::SEND_FAILED;

// A filter's frame type, frame format and trigger by their codes in the
// record: a selector lists them in this order, a list row shows one of them.
inline constexpr std::array<const char*, 2> FRAME_TYPE_NAMES = {"数据帧", "远程帧"};
inline constexpr std::array<const char*, 2> FRAME_FORMAT_NAMES = {"标准帧", "扩展帧"};
inline constexpr std::array<const char*, 3> TRIGGER_NAMES = {"开始记录", "结束记录", "常规记录"};

/// A replay rule's channels: the boxes that allow them, and the rule's list row.
inline constexpr const char* CHANNEL1_ALLOWED = "允许通道1数据";
inline constexpr std::uint8_t REPLAY_CHANNEL1 = 0x01;  ///< the rule's channel mask bits
inline constexpr std::uint8_t REPLAY_CHANNEL2 = 0x02;
inline constexpr const char* CHANNEL2_ALLOWED = "允许通道2数据";

/// Sent by the debug page to the main window to have its text sent (wParam 1, lParam 1).
inline constexpr std::uint32_t WM_APP_DEBUG_SEND = 0x404;

// The choices of the CAN basic page's bit rate and work mode selectors, the bridge
// rule page's direction and trigger selectors and the replay page's send-mode radio
// buttons, by their codes in the record.
inline constexpr std::array<const char*, 8> BAUD_RATE_NAMES = {
    "1000kbps", "500kbps", "250kbps", "125kbps", "100kbps", "50kbps", "20kbps", "用户自定义"};
inline constexpr std::array<const char*, 2> WORK_MODE_NAMES = {"正常模式", "只听模式"};
inline constexpr std::array<const char*, 3> BRIDGE_DIRECTION_NAMES = {"CAN1->CAN2", "CAN2->CAN1",
                                                                      "CAN1<->CAN2"};
inline constexpr std::array<const char*, 3> BRIDGE_TRIGGER_NAMES = {"开始转发", "结束转发",
                                                                    "普通规则"};
inline constexpr std::array<const char*, 3> REPLAY_SEND_MODE_NAMES = {
    "根据通道号选择从CAN1或CAN2发送", "全部从CAN1发送", "全部从CAN2发送"};

}  // namespace quillon::pages
