// Reading captured configuration traffic: candump log lines with a trailing
// direction, e.g.
//   (1436509052.249713) can0 00000001#A1B2C3D4E5F60718 T
// Data frames are deciphered, except the frames the protocol sends plain (the
// read request and the transmitted firmware-upgrade frames).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/kelvix/Kelvix.h"
#include "protocol/Cpc1crypt.hpp"

namespace quillon::cli {

struct TraceFrame {
    std::uint32_t channel = 0;
    CanFrameRecord frame{};
    char direction = 'R';  ///< 'T' transmitted by the PC, 'R' received
};

/// Parses one trace line; nothing for blank lines, comments or malformed lines.
std::optional<TraceFrame> ParseTraceLine(std::string_view line);

/// True for frames the protocol sends without enciphering.
bool IsPlainFrame(const TraceFrame& traced);

/// What the frame is, in a few words ("read request", "bridge rule 2 part 1", ...).
std::string FrameMeaning(const TraceFrame& traced);

/// The bytes the frame carries as upper-case hex, deciphered unless plain.
std::string DecodedDataHex(const TraceFrame& traced, const protocol::Cpc1crypt& cipher);

/// Parses 32 hex digits into a key.
std::optional<protocol::Cpc1crypt::Key> ParseKey(std::string_view hex);

}  // namespace quillon::cli
