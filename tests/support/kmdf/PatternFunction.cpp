#include "support/kmdf/PatternFunction.hpp"

namespace kmdf {

std::optional<std::size_t> PatternFunction::ReadIn(std::uint8_t, std::span<std::uint8_t> buffer) {
    const std::uint64_t index = inTransfers_.fetch_add(1);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = PatternByte(index, i);
    }
    return buffer.size();
}

std::optional<std::size_t> PatternFunction::WriteOut(std::uint8_t endpoint,
                                                     std::span<const std::uint8_t> data) {
    outBytes_ += data.size();
    if (keepOutData_) {
        std::lock_guard lock(mutex_);
        auto& sink = received_[endpoint];
        sink.insert(sink.end(), data.begin(), data.end());
    }
    return data.size();
}

std::vector<std::uint8_t> PatternFunction::Received(std::uint8_t endpoint) {
    std::lock_guard lock(mutex_);
    return received_[endpoint];
}

}  // namespace kmdf
