// The simulated machine the "brindle" backend runs on: one kernel with
// Brindle loaded, shared by every adapter the backend opens in this process
// (only one simulated kernel can run in a process).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/kmdf/HandleApi.hpp"
#include "platform/kmdf/KernelHost.hpp"

namespace brindle {

class BrindleMachine {
  public:
    /// The machine, created on first use and kept while anyone holds it.
    static std::shared_ptr<BrindleMachine> Acquire();

    BrindleMachine();
    ~BrindleMachine();
    BrindleMachine(const BrindleMachine&) = delete;
    BrindleMachine& operator=(const BrindleMachine&) = delete;

    kmdf::HandleApi& Api() { return api_; }
    /// Plugs `device` in; on success `*path` is its interface path.
    kmdf::NTSTATUS PlugIn(std::shared_ptr<kmdf::SimUsbDevice> device, kmdf::WDFDEVICE* added,
                          std::string* path);
    void Unplug(kmdf::WDFDEVICE device);

  private:
    std::mutex mutex_;
    kmdf::KernelHost host_;
    kmdf::HandleApi api_{host_};
    kmdf::NTSTATUS loaded_;
};

}  // namespace brindle
