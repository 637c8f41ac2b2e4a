#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "protocol/SaveResult.hpp"

namespace quillon::protocol {

// Makes `file` hold exactly `bytes`. The bytes go to "<file>.tmp" beside it first, are flushed,
// and only then renamed over `file`, so an interrupted save leaves the previous file whole.
// On failure the temporary file is removed and `file` is as it was.
SaveResult ReplaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

}  // namespace quillon::protocol
