// The "sim" backend's row: adapters on one named in-process virtual bus. The
// suite links no device simulator, and "nodevice" says so in every adapter spec.
#include "platform/kelvix/AdapterRegistry.hpp"
#include "tests/contract/AdapterRig.hpp"

namespace quillon::test {
namespace {

class SimRig final : public AdapterRig {
  public:
    void Prepare(OpenAs kind) override {
        switch (kind) {
            case OpenAs::Working:
                kelvix::SetAdapterSpecOverride("sim:bus=contract-sim,nodevice");
                return;
            case OpenAs::Refusing:
                kelvix::SetAdapterSpecOverride("sim:bus=contract-sim,nodevice,refuse=2");
                return;
            case OpenAs::Failing:
                kelvix::SetAdapterSpecOverride("sim:bus=contract-sim,nodevice,refuse=none");
                return;
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Sim, AdapterContractTest,
                         ::testing::Values(RigRow{
                             "sim",
                             [] { return std::make_unique<SimRig>(); },
                             1,
                             KELVIX_ERR_BACKEND,
                             "refuse=2: the adapter refuses its second frame and all later ones",
                             {}}),
                         RowName);

}  // namespace
}  // namespace quillon::test
