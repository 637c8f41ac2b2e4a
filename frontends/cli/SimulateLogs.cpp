#include "frontends/cli/SimulateLogs.hpp"

#include <filesystem>
#include <system_error>

#include "platform/system/Utf8Path.hpp"
#include "sim/CandumpLine.hpp"

namespace quillon::cli {

std::unique_ptr<SimulateLogReader> SimulateLogReader::Open(const std::string& file,
                                                           const std::vector<std::string>& channels,
                                                           std::string& why) {
    const std::filesystem::path path = sys::PathFromUtf8(file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        why = "cannot read " + file + ": no such regular file";
        return nullptr;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        why = "cannot open " + file;
        return nullptr;
    }
    return std::unique_ptr<SimulateLogReader>(
        new SimulateLogReader(file, channels, std::move(stream)));
}

SimulateLogReader::SimulateLogReader(std::string file, std::vector<std::string> channels,
                                     std::ifstream stream)
    : file_(std::move(file)), channels_(std::move(channels)), stream_(std::move(stream)) {}

std::optional<protocol::TimedFrame> SimulateLogReader::Next() {
    while (problem_.empty() && std::getline(stream_, line_)) {
        ++number_;
        const sim::CandumpLine line = sim::ParseCandumpLine(line_, channels_);
        switch (line.kind) {
            case sim::CandumpLine::Kind::Frame:
                sawFrame_ = true;
                return line.frame;
            case sim::CandumpLine::Kind::Blank:
                continue;
            case sim::CandumpLine::Kind::NoTimestamp:
                Fail(sawFrame_ ? "malformed frame line" : "not a candump log");
                break;
            case sim::CandumpLine::Kind::Malformed:
                Fail("malformed frame line");
                break;
            case sim::CandumpLine::Kind::UnknownInterface:
                Fail("interface " + line.interface + " is not in --channels (" + ChannelList() +
                     ")");
                break;
        }
    }
    return std::nullopt;
}

std::string SimulateLogReader::ChannelList() const {
    std::string names;
    for (const std::string& name : channels_) {
        names += (names.empty() ? "" : ",") + name;
    }
    return names;
}

void SimulateLogReader::Fail(const std::string& what) {
    problem_ = file_ + ":" + std::to_string(number_) + ": " + what;
}

std::string SimulateLogLine(const protocol::TimedFrame& frame,
                            const std::vector<std::string>& channels) {
    return sim::FormatCandumpLine(frame, channels);
}

}  // namespace quillon::cli
