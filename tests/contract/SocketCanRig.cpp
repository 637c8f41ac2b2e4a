// The "socketcan" backend's row: the backend itself over a socket layer that
// plays the kernel's virtual CAN interfaces vcan0 and vcan1, so that two
// adapters on them talk to each other. No raw CAN socket is made: the
// machines the suite runs on need not have vcan.
#include <cerrno>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/socketcan/SocketCanAdapter.hpp"
#include "platform/system/Clock.hpp"
#include "platform/system/Sleeper.hpp"
#include "tests/contract/AdapterRig.hpp"
#include "tests/contract/LoopbackCanSocketLayer.hpp"

namespace quillon::test {
namespace {

class SocketCanRig final : public AdapterRig {
  public:
    SocketCanRig() {
        // vdown1 takes one frame and then goes down.
        layer_->FailSendsAfter("vdown1", 1);
        kelvix::RegisterBackend(
            "socketcan",
            [layer = layer_](const kelvix::AdapterSpec& spec, std::uint32_t,
                             std::string& error) -> std::unique_ptr<kelvix::Adapter> {
                static sys::SystemClock clock;
                static sys::SystemSleeper sleeper;
                auto options = kelvix::ParseSocketCanOptions(spec.options, error);
                if (!options) {
                    return nullptr;
                }
                return std::make_unique<kelvix::SocketCanAdapter>(std::move(*options), layer, clock,
                                                                  sleeper);
            });
    }
    ~SocketCanRig() override {
        kelvix::RegisterBackend("socketcan", kelvix::CreateSocketCanAdapter);
    }

    void Prepare(OpenAs kind) override {
        switch (kind) {
            case OpenAs::Working:
                kelvix::SetAdapterSpecOverride("socketcan:vcan0,vcan1");
                return;
            case OpenAs::Refusing:
                kelvix::SetAdapterSpecOverride("socketcan:vcan0,vdown1");
                return;
            case OpenAs::Failing:
                kelvix::SetAdapterSpecOverride("socketcan:vcan0,can7");
                return;
        }
    }

  private:
    std::shared_ptr<LoopbackCanSocketLayer> layer_ =
        std::make_shared<LoopbackCanSocketLayer>(std::set<std::string>{"vcan0", "vcan1", "vdown1"});
};

INSTANTIATE_TEST_SUITE_P(SocketCan, AdapterContractTest,
                         ::testing::Values(RigRow{
                             "socketcan",
                             [] { return std::make_unique<SocketCanRig>(); },
                             1,
                             KELVIX_ERR_BACKEND,
                             "channel 1 on vdown1, an interface that goes down after one frame",
                             {}}),
                         RowName);

}  // namespace
}  // namespace quillon::test
