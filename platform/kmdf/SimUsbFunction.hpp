// The function behind the simulated device's endpoints: what an adapter's
// firmware would do with the data. Called on bus threads, possibly several at
// once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/kmdf/Urb.hpp"

namespace kmdf {

class SimUsbFunction {
  public:
    virtual ~SimUsbFunction() = default;

    /// Fills `buffer` for an IN transfer; returns the bytes written, or
    /// nullopt when there is nothing yet (the transfer waits for
    /// SimUsbDevice::NotifyDataReady).
    virtual std::optional<std::size_t> ReadIn(std::uint8_t endpoint,
                                              std::span<std::uint8_t> buffer) = 0;
    /// Takes the bytes of an OUT transfer; returns how many were accepted, or
    /// nullopt when it cannot take them yet.
    virtual std::optional<std::size_t> WriteOut(std::uint8_t endpoint,
                                                std::span<const std::uint8_t> data) = 0;
    /// Answers a vendor or class control request; nullopt stalls it.
    virtual std::optional<std::vector<std::uint8_t>> Control(
        const UsbSetupPacket& /*setup*/, std::span<const std::uint8_t> /*dataOut*/) {
        return std::nullopt;
    }
};

}  // namespace kmdf
