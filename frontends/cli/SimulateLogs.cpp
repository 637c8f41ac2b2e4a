#include "frontends/cli/SimulateLogs.hpp"

#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {

std::unique_ptr<SimulateLogReader> SimulateLogReader::Open(const std::string& file,
                                                           const canlog::ChannelNames& channels,
                                                           std::string& why) {
    canlog::OpenedLog opened =
        canlog::OpenLogReader(sys::PathFromUtf8(file), std::nullopt, channels);
    if (!opened.reader) {
        why = opened.error;
        return nullptr;
    }
    return std::unique_ptr<SimulateLogReader>(new SimulateLogReader(std::move(opened.reader)));
}

std::optional<protocol::TimedFrame> SimulateLogReader::Next() {
    protocol::TimedFrame frame;
    if (!reader_->Next(frame)) {
        return std::nullopt;
    }
    return frame;
}

}  // namespace quillon::cli
