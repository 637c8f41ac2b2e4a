// Frame records for the bus tests: the length is the number of bytes given.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "platform/kelvix/Kelvix.h"

namespace quillon::test {

inline CanFrameRecord BusFrame(std::uint32_t id, bool extended,
                               std::initializer_list<std::uint8_t> data) {
    CanFrameRecord record{};
    record.ID = id;
    record.ExternFlag = extended ? 1 : 0;
    record.DataLen = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), record.Data);
    return record;
}

}  // namespace quillon::test
