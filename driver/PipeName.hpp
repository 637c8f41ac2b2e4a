// Which pipe a file name selects.
#pragma once

#include <optional>

#include "platform/kmdf/KernelTypes.hpp"

namespace brindle {

/// The value of the last run of decimal digits in `name`, modulo 256 (the
/// pipe index is 8 bits); nullopt when the name has no digit.
/// "\PIPE00" -> 0, "\X01" -> 1, "\P1X" -> 1, "\PIPE257" -> 1, "\PIPE" -> none.
std::optional<kmdf::UCHAR> PipeIndexFromName(const kmdf::UNICODE_STRING& name);

}  // namespace brindle
