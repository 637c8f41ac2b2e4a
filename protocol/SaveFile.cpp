#include "protocol/SaveFile.hpp"

#include "platform/system/ReplaceFile.hpp"

namespace quillon::protocol {

SaveResult SaveFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    std::string error = sys::ReplaceFileBytes(file, bytes);
    if (!error.empty()) {
        return SaveResult::Failure(file, std::move(error));
    }
    return SaveResult::Success(file);
}

}  // namespace quillon::protocol
