#include <gtest/gtest.h>

#include "UpgradeModeEntryFixture.hpp"
#include "upgrade/UpgradeControls.hpp"
#include "upgrade/UpgradeModeEntry.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::test {
namespace {

using namespace quillon::upgrade;

TEST_F(UpgradeModeEntryTest, NotConnectedOnlyAsksToConnect) {
    window.Click(IDC_ENTER_UPGRADE);
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{CONNECT_FIRST});
    EXPECT_TRUE(adapter.Bus().Calls().empty());
    EXPECT_TRUE(system.launcher.Attempts().empty());
    EXPECT_FALSE(window.IsEnded());
    EXPECT_EQ(window.LastResult(),
              (ui::CommandResult{false, CONNECT_FIRST, "警告", ui::MB_ICONQUESTION, ""}));
}

struct EntryRow {
    const char* name;
    bool initRefused;
    bool startWorks;
    std::vector<std::string> boxes;
};

class EntryOutcomeTest : public UpgradeModeEntryTest,
                         public ::testing::WithParamInterface<EntryRow> {};

TEST_P(EntryOutcomeTest, InitialisesChannelStartsACopyAndAlwaysCloses) {
    const EntryRow row = GetParam();
    Connect();
    adapter.Bus().FailInit(row.initRefused);
    if (row.startWorks) {
        system.launcher.Allow(system.services.executablePath);
    }
    window.Click(IDC_ENTER_UPGRADE);

    const auto inits = adapter.Bus().CallsNamed("InitCAN");
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0].index, 0u);
    EXPECT_EQ(inits[0].channel, 0u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&inits[0].init);
    const std::vector<std::uint8_t> expected = {1, 0, 0, 0, 0x10, 0,    0,    0,
                                                0, 0, 0, 0, 0,    0xFF, 0xFF, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + sizeof(CanInitRecord)), expected);
    EXPECT_EQ(adapter.Bus().CallsNamed("Close").size(), row.initRefused ? 1u : 0u);
    EXPECT_EQ(host.BoxTexts(), row.boxes);
    EXPECT_EQ(system.launcher.Attempts(),
              std::vector<std::filesystem::path>{system.services.executablePath});
    EXPECT_TRUE(window.IsEnded());
    EXPECT_EQ(window.ModalResult(), ui::IDOK);
    const ui::CommandResult expectedResult =
        row.boxes.empty()
            ? ui::CommandResult{true, "", "", 0, ""}
            : ui::CommandResult{false, row.boxes.front(), "警告", ui::MB_ICONQUESTION, ""};
    EXPECT_EQ(window.LastResult(), expectedResult) << "the first box shown is the result";
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, EntryOutcomeTest,
    ::testing::Values(EntryRow{"AllWorks", false, true, {}},
                      EntryRow{"InitRefused", true, true, {INIT_CAN_FAILED}},
                      EntryRow{"StartFails", false, false, {RESTART_FAILED}},
                      EntryRow{"BothFail", true, false, {INIT_CAN_FAILED, RESTART_FAILED}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::test
