#include <gtest/gtest.h>

#include "platform/kmdf/FaultInjector.hpp"

namespace kmdf {
namespace {

std::vector<bool> Draw(FaultInjector& faults, FaultPoint point, int calls) {
    std::vector<bool> outcomes;
    for (int i = 0; i < calls; ++i) {
        outcomes.push_back(faults.ShouldFail(point));
    }
    return outcomes;
}

TEST(FaultInjectorTest, ArmedPointFailsCountTimesAfterSkip) {
    FaultInjector faults;
    faults.Arm(FaultPoint::FormatRequest, 2, 2);
    EXPECT_EQ(Draw(faults, FaultPoint::FormatRequest, 6),
              (std::vector<bool>{false, false, true, true, false, false}));
    EXPECT_EQ(Draw(faults, FaultPoint::MdlAllocation, 3), (std::vector<bool>(3, false)));
}

TEST(FaultInjectorTest, RandomFailuresAreRepeatableAndNearTheirRate) {
    FaultInjector first;
    FaultInjector second;
    first.ArmRandom(FaultPoint::MdlAllocation, 100, 7);
    second.ArmRandom(FaultPoint::MdlAllocation, 100, 7);
    const std::vector<bool> drawn = Draw(first, FaultPoint::MdlAllocation, 10000);
    EXPECT_EQ(drawn, Draw(second, FaultPoint::MdlAllocation, 10000));
    const auto failures = std::count(drawn.begin(), drawn.end(), true);
    EXPECT_GT(failures, 800);
    EXPECT_LT(failures, 1200);
    EXPECT_FALSE(first.ShouldFail(FaultPoint::PoolAllocation));
    first.Clear();
    EXPECT_EQ(Draw(first, FaultPoint::MdlAllocation, 100), (std::vector<bool>(100, false)));
}

}  // namespace
}  // namespace kmdf
