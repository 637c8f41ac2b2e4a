#include "refold/RefoldTexts.hpp"

namespace quillon::refold {

std::string ProgressText(int percent) {
    return "正在转换……" + std::to_string(percent) + "%";
}

int ProgressPercent(const canlog::ConvertProgress& progress) {
    // An empty input is read whole as soon as it is opened.
    if (progress.totalBytes == 0 || progress.bytesRead >= progress.totalBytes) {
        return 100;
    }
    return static_cast<int>(progress.bytesRead * 100 / progress.totalBytes);
}

std::string DoneText(std::uint64_t frames, const std::string& output) {
    return "转换完成，共写入 " + std::to_string(frames) + " 帧到 " + output + "。";
}

}  // namespace quillon::refold
