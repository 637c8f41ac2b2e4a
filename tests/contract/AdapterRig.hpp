// What the adapter contract suite needs from one backend: a way to open
// adapters of it that share one bus, one that refuses frames and one whose
// open fails, and a row saying what the backend cannot do and why.
//
// Each backend's rig lives in its own file with its row (the suite's
// INSTANTIATE_TEST_SUITE_P); CMake compiles the rigs of the backends the
// build has.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace quillon::test {

/// How the next VCI_OpenDevice is to open an adapter.
enum class OpenAs {
    /// On the bus every other adapter opened Working is on, both channels in use.
    Working,
    /// On that bus too, but refusing frames on channel 1 (the row says after how many).
    Refusing,
    /// An open that fails and says why.
    Failing,
};

class AdapterRig {
  public:
    virtual ~AdapterRig() = default;
    /// Arranges for the next VCI_OpenDevice to open an adapter of `kind`.
    virtual void Prepare(OpenAs kind) = 0;
};

/// The clauses of the contract, one test each.
enum class Clause {
    CallOrder,
    BatchCount,
    ReceiveWait,
    ReceiveMeanwhile,
    ReceiveEndsWithClose,
    ErrorAfterRefusal,
    TwoChannels,
    FlagsAndLengths,
    TransmitReference,
};

/// Something a backend cannot do: its clause is reported skipped with `reason`.
struct Limit {
    Clause clause;
    std::string reason;
};

/// One backend's row.
struct RigRow {
    std::string name;
    std::function<std::unique_ptr<AdapterRig>()> make;
    /// Frames of a three-frame batch on channel 1 that a Refusing adapter accepts.
    std::uint32_t refusedAccepted = 1;
    /// What VCI_ReadErrInfo says on channel 1 after that refusal.
    std::uint32_t refusedErrCode = 0;
    /// How the Refusing adapter refuses, for the failure messages.
    std::string refusal;
    std::vector<Limit> limits;
};

/// A call the order clause makes on the adapter under test.
enum class Step { Open, OpenFailing, Close, Init0, Start0, Start1 };

/// The suite every rig instantiates with its row. One adapter is under test;
/// a peer of the same backend on the same bus sends it frames and hears what
/// it sends.
class AdapterContractTest : public ::testing::TestWithParam<RigRow> {
  protected:
    void SetUp() override;
    void TearDown() override;

    /// The reason the row gives for not doing `clause`, or null.
    const Limit* LimitOf(Clause clause) const;
    /// VCI_OpenDevice of adapter `index` opened as `kind`.
    std::uint32_t Open(std::uint32_t index, OpenAs kind = OpenAs::Working);
    /// Makes `step` on the adapter under test; returns the call's result.
    std::uint32_t Make(Step step);

    std::unique_ptr<AdapterRig> rig;
};

/// Shows a row by its name in test listings.
inline void PrintTo(const RigRow& row, std::ostream* out) {
    *out << row.name;
}

/// Names each instance of the suite after its row.
inline std::string RowName(const ::testing::TestParamInfo<RigRow>& info) {
    return info.param.name;
}

}  // namespace quillon::test
