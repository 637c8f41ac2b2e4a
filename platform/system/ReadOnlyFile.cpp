#include "platform/system/ReadOnlyFile.hpp"

namespace quillon::sys {

int ReadOnlyFile::ReadFull(std::span<std::uint8_t> block, std::size_t& filled) {
    filled = 0;
    while (filled < block.size()) {
        std::size_t got = 0;
        if (const int error = ReadSome(block.subspan(filled), got); error != 0) {
            return error;
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    return 0;
}

}  // namespace quillon::sys
