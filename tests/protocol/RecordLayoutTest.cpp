#include <gtest/gtest.h>

#include <array>

#include "protocol/BridgePara.hpp"
#include "protocol/CanPara.hpp"
#include "protocol/HardFilterPara.hpp"
#include "protocol/ReplayPara.hpp"
#include "protocol/SysPara.hpp"

namespace quillon::protocol {
namespace {

template <class R, std::size_t Size>
struct Layout {
    using Record = R;
    static constexpr std::size_t EXPECTED_SIZE = Size;
};

template <class L>
class RecordLayoutTest : public ::testing::Test {};

using Layouts =
    ::testing::Types<Layout<CanPara, 328>, Layout<SysPara, 16>, Layout<HardFilterPara, 132>,
                     Layout<BridgePara, 444>, Layout<ReplayPara, 292>, Layout<CanFilter, 16>,
                     Layout<BridgeRule, 44>, Layout<ReplayRule, 28>>;
TYPED_TEST_SUITE(RecordLayoutTest, Layouts);

TYPED_TEST(RecordLayoutTest, EncodesToItsFileSize) {
    using Record = typename TypeParam::Record;
    EXPECT_EQ(Record{}.ToBytes().size(), TypeParam::EXPECTED_SIZE);
}

// Every byte, reserved ones included, must come back unchanged: a dropped or overlapping
// field shows up as a mismatch.
TYPED_TEST(RecordLayoutTest, EveryByteSurvivesARoundTrip) {
    using Record = typename TypeParam::Record;
    std::array<std::uint8_t, Record::SIZE> pattern{};
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    EXPECT_EQ(Record::FromBytes(pattern).ToBytes(), pattern);
}

}  // namespace
}  // namespace quillon::protocol
