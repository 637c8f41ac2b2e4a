// The converter's window as it words things.
#pragma once

#include <cstdint>
#include <string>

#include "canlog/ConvertLog.hpp"

namespace quillon::refold {

inline constexpr const char* REFOLD_CAPTION = "记录文件转换";
/// The open-file dialog's filter: the logs the converter reads, then anything.
inline constexpr const char* LOG_FILE_FILTER =
    "记录文件 (*.log,*.asc,*.csv)|*.log;*.asc;*.csv|所有文件 (*.*)|*.*||";
inline constexpr const char* NO_INPUT = "请选择要转换的记录文件!";
inline constexpr const char* NO_OUTPUT = "请输入输出文件名!";
inline constexpr const char* BAD_CHANNELS =
    "通道名称应为两个不同的接口名，用逗号隔开，如 can0,can1!";
inline constexpr const char* STATUS_READY = "请选择输入文件和输出格式。";
inline constexpr const char* STATUS_FAILED = "转换失败。";

/// The status line while converting: "正在转换……42%".
std::string ProgressText(int percent);
/// How far a conversion is, 0..100, from the bytes read of the input.
int ProgressPercent(const canlog::ConvertProgress& progress);
/// The box and status line after a conversion: "转换完成，共写入 3 帧到 out.asc。"
std::string DoneText(std::uint64_t frames, const std::string& output);

}  // namespace quillon::refold
