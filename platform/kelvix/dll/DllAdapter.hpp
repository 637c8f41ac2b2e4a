// The "dll" backend: every call goes unchanged to another adapter library, a
// shared library exporting the eight VCI_* calls (the library that came with
// an adapter, or our own libkelvix.so / kelvix.dll).
//
// Spec: dll:PATH   e.g. dll:/opt/adapter/libkelvix.so, dll:C:\Adapter\kelvix.dll
// The library is loaded once per path and stays loaded until the process ends.
#pragma once

#include "platform/kelvix/Adapter.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/dll/KelvixCalls.hpp"

namespace kelvix {

class DllAdapter final : public Adapter {
  public:
    /// Adapter `index` of `deviceType` inside the library behind `calls`.
    DllAdapter(KelvixCalls calls, std::uint32_t deviceType, std::uint32_t index);

    std::string Open() override;
    void Close() override;
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override;
    bool StartChannel(std::uint32_t channel) override;
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override;
    std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                         std::int32_t waitMs) override;
    CanErrorRecord TakeError(std::uint32_t channel) override;
    bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) override;

  private:
    KelvixCalls calls_;
    std::uint32_t deviceType_;
    std::uint32_t index_;
};

/// The factory of the "dll" backend: loads the library named by the adapter setting's
/// options and checks its calls; null with `error` set when that fails.
std::unique_ptr<Adapter> CreateDllAdapter(const AdapterSpec& spec, std::uint32_t index,
                                          std::string& error);

}  // namespace kelvix
