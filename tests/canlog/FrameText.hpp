// Frames for the log tests, built in one line each.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "canlog/LogReader.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::canlog::test {

inline protocol::TimedFrame Frame(std::int64_t timeUs, int channel, std::uint32_t id, bool extended,
                                  std::initializer_list<std::uint8_t> data) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = id;
    frame.extended = extended;
    frame.length = static_cast<std::uint8_t>(data.size());
    std::size_t i = 0;
    for (const auto byte : data) {
        frame.data[i++] = byte;
    }
    return frame;
}

inline protocol::TimedFrame Remote(std::int64_t timeUs, int channel, std::uint32_t id,
                                   bool extended, std::uint8_t length) {
    protocol::TimedFrame frame = Frame(timeUs, channel, id, extended, {});
    frame.remote = true;
    frame.length = length;
    return frame;
}

struct ReadOutcome {
    std::vector<protocol::TimedFrame> frames;
    std::string error;
};

inline ReadOutcome ReadAll(LogReader& reader) {
    ReadOutcome outcome;
    protocol::TimedFrame frame;
    while (reader.Next(frame)) {
        outcome.frames.push_back(frame);
    }
    outcome.error = reader.Error();
    return outcome;
}

inline ReadOutcome ReadText(const std::string& text, LogFormat format,
                            const ChannelNames& names = DEFAULT_CHANNEL_NAMES) {
    const auto reader = MakeTextLogReader(text, format, "in", names);
    return ReadAll(*reader);
}

}  // namespace quillon::canlog::test
