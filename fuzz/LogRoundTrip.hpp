// Logs come from anywhere: a reader takes any bytes apart or stops at a bad
// line, never reads past the end, and every frame it gives, written again in
// its format, reads back as the same frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "canlog/LogReader.hpp"
#include "canlog/LogWriter.hpp"

namespace quillon::fuzz {

inline void ReadLogAndRoundTrip(const std::uint8_t* data, std::size_t size,
                                canlog::LogFormat format) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto reader = canlog::MakeTextLogReader(text, format, "fuzz");
    std::vector<protocol::TimedFrame> frames;
    protocol::TimedFrame frame;
    while (reader->Next(frame) && frames.size() < 4096) {
        frames.push_back(frame);
    }
    const auto writer = canlog::MakeLogWriter(format);
    std::string written;
    for (const auto& each : frames) {
        if (!writer->Write(each, written).empty()) {
            std::abort();  // the reader gave a frame its own format cannot hold
        }
    }
    writer->Finish(written);
    const auto again = canlog::MakeTextLogReader(written, format, "again");
    for (const auto& each : frames) {
        if (!again->Next(frame) || !(frame == each)) {
            std::abort();
        }
    }
    if (again->Next(frame) || !again->Error().empty()) {
        std::abort();
    }
}

}  // namespace quillon::fuzz
