// Message texts and deployment defaults of the DTU pages and the DTU write
// (the texts of a refused frame build live with the DTU frames).
#pragma once

#include "platform/ui/SharedTexts.hpp"

namespace quillon::dtu {

using ui::CAPTION_WARNING;

/// Default data server and backup server host names (at most 32 characters).
inline constexpr const char* DEFAULT_SERVER_HOST = "dtu.quillon.example";
inline constexpr const char* DEFAULT_BACKUP_HOST = "backup.dtu.quillon.example";
inline constexpr const char* DEFAULT_APN = "CMNET";

inline constexpr const char* ADDR_LENGTH_ERROR = "输入服务器地址长度错误!";
inline constexpr const char* ADDR_CONTENT_ERROR = "输入服务器地址内容错误!";
inline constexpr const char* PORT_ERROR = "输入端口错误!";
inline constexpr const char* HEARTBEAT_LENGTH_ERROR = "输入心跳包长度错误!";
inline constexpr const char* HEARTBEAT_CONTENT_ERROR = "输入心跳包内容错误!";
inline constexpr const char* REG_LENGTH_ERROR = "输入注册包长度错误!";
inline constexpr const char* REG_CONTENT_ERROR = "输入注册包内容错误!";
inline constexpr const char* APN_LENGTH_ERROR = "输入APN长度错误!";
inline constexpr const char* APN_CONTENT_ERROR = "输入APN内容错误!";
inline constexpr const char* PHONE_LENGTH_ERROR = "输入电话长度错误!";
inline constexpr const char* PHONE_CONTENT_ERROR = "输入电话内容错误!";

using ui::SEND_FAILED;

}  // namespace quillon::dtu
