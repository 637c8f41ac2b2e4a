// The "dll" backend's row: the project's own adapter library, built as a
// shared library, loaded and called through; inside it the "sim" backend
// that KELVIX_ADAPTER chooses for it, as it would for any program.
#include "platform/kelvix/AdapterRegistry.hpp"
#include "support/Environment.hpp"
#include "support/TestLibraries.hpp"
#include "tests/contract/AdapterRig.hpp"

namespace quillon::test {
namespace {

class DllRig final : public AdapterRig {
  public:
    ~DllRig() override { UnsetEnvironment("KELVIX_ADAPTER"); }

    void Prepare(OpenAs kind) override {
        switch (kind) {
            case OpenAs::Working:
                SetEnvironment("KELVIX_ADAPTER", "sim:bus=contract-dll,nodevice");
                break;
            case OpenAs::Refusing:
                SetEnvironment("KELVIX_ADAPTER", "sim:bus=contract-dll,nodevice,refuse=2");
                break;
            case OpenAs::Failing:
                SetEnvironment("KELVIX_ADAPTER", "sim:bus=contract-dll,nodevice,refuse=none");
                break;
        }
        kelvix::SetAdapterSpecOverride("dll:" + TestLibraryPath(QUILLON_SHARED_KELVIX));
    }
};

INSTANTIATE_TEST_SUITE_P(Dll, AdapterContractTest,
                         ::testing::Values(RigRow{
                             "dll",
                             [] { return std::make_unique<DllRig>(); },
                             1,
                             KELVIX_ERR_BACKEND,
                             "the library's own sim adapter with refuse=2 refuses its second "
                             "frame and all later ones",
                             {}}),
                         RowName);

}  // namespace
}  // namespace quillon::test
