// The "brindle" backend's row: each adapter is a simulated USB adapter plugged
// into the process's simulated machine, reached through Brindle's pipes, its
// firmware bridging to one named virtual bus.
#include "driver/backend/BrindleBackend.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "tests/contract/AdapterRig.hpp"

namespace quillon::test {
namespace {

class BrindleRig final : public AdapterRig {
  public:
    BrindleRig() { brindle::RegisterBrindleBackend(); }

    void Prepare(OpenAs kind) override {
        switch (kind) {
            case OpenAs::Working:
                kelvix::SetAdapterSpecOverride("brindle:nodevice,bus=contract-brindle");
                return;
            case OpenAs::Refusing:
                kelvix::SetAdapterSpecOverride(
                    "brindle:nodevice,bus=contract-brindle,tx-queue=1,queue-wait-ms=0,tx-paused");
                return;
            case OpenAs::Failing:
                kelvix::SetAdapterSpecOverride("brindle:nodevice,bus=contract-brindle,tx-queue=0");
                return;
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Brindle, AdapterContractTest,
                         ::testing::Values(RigRow{
                             "brindle",
                             [] { return std::make_unique<BrindleRig>(); },
                             1,
                             KELVIX_ERR_BACKEND,
                             "tx-queue=1,tx-paused: the adapter's transmit queue takes one "
                             "frame and never drains",
                             {}}),
                         RowName);

}  // namespace
}  // namespace quillon::test
