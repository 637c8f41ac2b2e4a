// Reading captured configuration traffic (trace lines, see
// platform/kelvix/TraceLine.hpp). Data frames are deciphered, except the frames the protocol sends
// plain (the read request and the transmitted firmware-upgrade frames).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/kelvix/TraceLine.hpp"
#include "protocol/Cpc1crypt.hpp"

namespace quillon::cli {

/// True for frames the protocol sends without enciphering.
bool IsPlainFrame(const kelvix::TracedFrame& traced);

/// What the frame is, in a few words ("read request", "bridge rule 2 part 1", ...).
std::string FrameMeaning(const kelvix::TracedFrame& traced);

/// The bytes the frame carries as upper-case hex, deciphered unless plain.
std::string DecodedDataHex(const kelvix::TracedFrame& traced, const protocol::Cpc1crypt& cipher);

/// Parses 32 hex digits into a key.
std::optional<protocol::Cpc1crypt::Key> ParseKey(std::string_view hex);

}  // namespace quillon::cli
