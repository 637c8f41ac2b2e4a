#include "behaviour/DeviceModel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/behaviour/ModelFrames.hpp"

namespace quillon::behaviour {
namespace {

using protocol::TimedFrame;
using testing::BridgeRuleOf;
using testing::Data;
using testing::RecordRule;
using testing::REGULAR;

protocol::SettingsSections BothOn() {
    protocol::SettingsSections settings;
    settings.can1.enable = 1;
    settings.can2.enable = 1;
    return settings;
}

// The live device picks its model by its type code.
TEST(DeviceRoleTest, TypeCodesOneToThreeOnly) {
    EXPECT_EQ(RoleFromDeviceType(1), DeviceRole::Recorder);
    EXPECT_EQ(RoleFromDeviceType(3), DeviceRole::Replayer);
    EXPECT_EQ(RoleFromDeviceType(0), std::nullopt);
    EXPECT_EQ(RoleFromDeviceType(4), std::nullopt);
}

TEST(SettingsRefusalsTest, EachChannelWithFilteringOnAndNoFilter) {
    protocol::SettingsSections settings = BothOn();
    EXPECT_TRUE(SettingsRefusals(settings).empty());
    settings.filters1.enable = 1;
    settings.filters2.enable = 1;
    EXPECT_EQ(SettingsRefusals(settings),
              (std::vector<std::string>{"CAN1: acceptance filtering is on with no filter",
                                        "CAN2: acceptance filtering is on with no filter"}));
    settings.filters1.filterCount = 1;
    EXPECT_EQ(SettingsRefusals(settings).size(), 1u);
}

// Frames on a channel that is off or that its filters stop reach no rule.
TEST(DeviceModelTest, ChannelOffAndRejectedFramesReachNoRule) {
    protocol::SettingsSections settings = BothOn();
    settings.can1.acceptAll = 1;
    settings.can2.acceptAll = 1;
    settings.can2.enable = 0;
    settings.filters1.enable = 1;
    settings.filters1.filterCount = 1;
    settings.filters1.matchValue[0] = 0x100;
    settings.filters1.matchMask[0] = 0x700;
    DeviceModel model(DeviceRole::Recorder, settings);
    std::vector<TimedFrame> out;
    for (const TimedFrame& frame :
         {Data(0, 0x100, {}), Data(0, 0x1FF, {}), Data(0, 0x200, {}), Data(1, 0x100, {})}) {
        model.Receive(frame, out);
    }
    EXPECT_EQ(out, (std::vector<TimedFrame>{Data(0, 0x100, {}), Data(0, 0x1FF, {})}));
    const ModelReport report = model.Report();
    EXPECT_EQ(report.channels[0], (ChannelCounts{2, 1, 0}));
    EXPECT_EQ(report.channels[1], (ChannelCounts{0, 0, 1}));
    EXPECT_EQ(report.recorded, (std::array<std::uint64_t, 2>{2, 0}));
}

struct RoleRow {
    const char* name;
    DeviceRole role;
    std::vector<TimedFrame> out;
};

// The same settings and frames give each type its own output.
const RoleRow ROLE_ROWS[] = {
    {"RecorderKeepsWhatItsRulesRecord", DeviceRole::Recorder, {Data(0, 0x100, {1})}},
    {"BridgeForwardsOntoTheOtherChannel",
     DeviceRole::Bridge,
     {Data(1, 0x100, {1}), Data(0, 0x200, {2})}},
    {"ReplayerTakesFramesInOnly", DeviceRole::Replayer, {}},
};

class DeviceRoleOutputTest : public ::testing::TestWithParam<RoleRow> {};

TEST_P(DeviceRoleOutputTest, SameFrames) {
    protocol::SettingsSections settings = BothOn();
    settings.can1.filters[0] = RecordRule(REGULAR, 0x100, 0x100);
    settings.can1.filterCount = 1;
    settings.bridge.rules[0] = BridgeRuleOf(2, REGULAR);
    settings.bridge.ruleCount = 1;
    DeviceModel model(GetParam().role, settings);
    std::vector<TimedFrame> out;
    model.Receive(Data(0, 0x100, {1}), out);
    model.Receive(Data(1, 0x200, {2}), out);
    EXPECT_EQ(out, GetParam().out);
    EXPECT_EQ(model.Report().channels[1].accepted, 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, DeviceRoleOutputTest, ::testing::ValuesIn(ROLE_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::behaviour
