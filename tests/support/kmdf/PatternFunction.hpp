// A device function for tests: IN transfers return a known pattern, OUT
// transfers are counted (and kept when asked to).
//
// The n-th IN transfer (counting from 0 over all endpoints) fills byte i with
// (n * 7 + i) mod 256.
#pragma once

#include <atomic>
#include <map>
#include <mutex>

#include "platform/kmdf/SimUsbFunction.hpp"

namespace kmdf {

class PatternFunction final : public SimUsbFunction {
  public:
    explicit PatternFunction(bool keepOutData = true) : keepOutData_(keepOutData) {}

    static std::uint8_t PatternByte(std::uint64_t transferIndex, std::size_t offset) {
        return static_cast<std::uint8_t>(transferIndex * 7 + offset);
    }

    std::optional<std::size_t> ReadIn(std::uint8_t endpoint,
                                      std::span<std::uint8_t> buffer) override;
    std::optional<std::size_t> WriteOut(std::uint8_t endpoint,
                                        std::span<const std::uint8_t> data) override;

    /// Everything written to `endpoint`, in arrival order.
    std::vector<std::uint8_t> Received(std::uint8_t endpoint);
    std::uint64_t OutBytes() const { return outBytes_.load(); }

  private:
    bool keepOutData_;
    std::atomic<std::uint64_t> inTransfers_{0};
    std::atomic<std::uint64_t> outBytes_{0};
    std::mutex mutex_;
    std::map<std::uint8_t, std::vector<std::uint8_t>> received_;
};

}  // namespace kmdf
