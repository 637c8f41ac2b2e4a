#include "driver/PipeName.hpp"

namespace brindle {

namespace {

bool IsDigit(kmdf::WCHAR c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::optional<kmdf::UCHAR> PipeIndexFromName(const kmdf::UNICODE_STRING& name) {
    std::size_t end = name.Length / sizeof(kmdf::WCHAR);
    while (end > 0 && !IsDigit(name.Buffer[end - 1])) {
        --end;
    }
    if (end == 0) {
        return std::nullopt;
    }
    // Only the low 8 bits matter, so accumulate modulo 256 and never overflow.
    unsigned value = 0;
    unsigned weight = 1;
    for (std::size_t i = end; i > 0 && IsDigit(name.Buffer[i - 1]); --i) {
        value = (value + static_cast<unsigned>(name.Buffer[i - 1] - u'0') * weight) % 256;
        weight = (weight * 10) % 256;
    }
    return static_cast<kmdf::UCHAR>(value);
}

}  // namespace brindle
