// An adapter that refuses one frame of a full parameter write and every frame
// after it, for every position of the write (DTU frames included): the
// failure box and nothing else, nothing sent after the refusal, and the
// settings files as a successful write of the same settings leaves them.
#include <fstream>
#include <iterator>
#include <map>

#include "tests/app/MainWindowFixture.hpp"

namespace quillon::app {
namespace {

constexpr const char* SEND_FAILED = "写入参数失败，请检查设备是否连接正常!";
constexpr const char* WRITE_DONE = "写入参数成功，请重启设备生效!";
/// Frames of the DTU write of the default DTU settings, which come first.
constexpr std::size_t DTU_FRAMES = 30;
/// Every table full (see FillEveryTable).
constexpr std::size_t PARAMETER_FRAMES = 229;
constexpr std::size_t WRITE_FRAMES = DTU_FRAMES + PARAMETER_FRAMES;

class RefusedWriteFrame : public test::MainWindowFixture,
                          public ::testing::WithParamInterface<std::size_t> {
  protected:
    std::map<std::string, std::string> SettingsFiles() const {
        std::map<std::string, std::string> files;
        for (const char* name : {"QXCfg.dat", "QXCfgDTU.dat", "QXCfgDTUHL.dat"}) {
            std::ifstream in(system.directory.Path() / name, std::ios::binary);
            files[name] = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }
};

TEST_F(RefusedWriteFrame, AWholeWriteSendsTheDtuFramesFirst) {
    FillEveryTable();
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{WRITE_DONE});
    const auto sent = adapter.Bus().Transmitted();
    ASSERT_EQ(sent.size(), WRITE_FRAMES);
    EXPECT_EQ(sent[DTU_FRAMES - 1].second.ID, 0x3Fu) << "the DTU write ends with 0x3F";
    EXPECT_EQ(sent[DTU_FRAMES].second.ID, 8u) << "then the opening frame";
}

TEST_P(RefusedWriteFrame, ShowsTheFailureAloneAndSendsNothingAfter) {
    const std::size_t refused = GetParam();
    FillEveryTable();
    Connect();
    adapter.Bus().RefuseFromFrame(refused);
    const CommandResult result = window->WriteParameters();
    EXPECT_EQ(adapter.Bus().Transmitted().size(), refused - 1);
    EXPECT_EQ(result, (CommandResult{false, SEND_FAILED, "警告", ui::MB_ICONQUESTION, {}}));
    // A refused DTU frame ends the DTU write with its box; the parameter write
    // goes on and its opening frame is refused in turn.
    const std::vector<std::string> expected =
        refused <= DTU_FRAMES ? std::vector<std::string>{SEND_FAILED, SEND_FAILED}
                              : std::vector<std::string>{SEND_FAILED};
    EXPECT_EQ(BoxTexts(), expected);
    const auto afterFailure = SettingsFiles();

    adapter.Bus().RefuseFromFrame(0);
    host.ClearBoxes();
    // Twenty rules a channel to a device never identified: both counts are cut.
    const std::string cut =
        "CAN1 有 20 条记录规则，只告知设备 10 条（未读取到设备固件版本，按旧固件处理）；"
        "CAN2 有 20 条记录规则，只告知设备 10 条（未读取到设备固件版本，按旧固件处理）";
    EXPECT_EQ(window->WriteParameters(),
              (CommandResult{true, WRITE_DONE, "警告", ui::MB_ICONQUESTION, cut}));
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{WRITE_DONE});
    EXPECT_EQ(afterFailure, SettingsFiles());
}

// One DTU frame lost and the rest accepted: the parameter write still reports
// its own success in its box, but the command as a whole did not succeed.
TEST_F(RefusedWriteFrame, ALostDtuFrameFailsTheCommandThoughTheParametersWentOut) {
    Connect();
    adapter.Bus().RefuseFrame(3);
    const CommandResult result = window->WriteParameters();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{SEND_FAILED, WRITE_DONE}));
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.text, WRITE_DONE) << "the box the window showed last";
}

INSTANTIATE_TEST_SUITE_P(EveryFrame, RefusedWriteFrame,
                         ::testing::Range<std::size_t>(1, WRITE_FRAMES + 1),
                         [](const auto& info) { return "Frame" + std::to_string(info.param); });

}  // namespace
}  // namespace quillon::app
