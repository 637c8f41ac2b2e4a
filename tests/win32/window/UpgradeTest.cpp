// A 64 KiB image streamed from the window: chosen in the system's open-file
// dialog, the progress bar at its end afterwards, and the window's messages
// pumped at every point the transfer pumps (counted, never timed).
#include <fstream>

#include "frontends/win32/SystemHeaders.hpp"
#include "tests/win32/window/WindowFixture.hpp"
#include "upgrade/FirmwareTransfer.hpp"

namespace quillon::test {
namespace {

using upgrade::FirmwareTransfer;

constexpr std::size_t IMAGE_BYTES = 64 * 1024;

class UpgradeTest : public WindowFixture {
  protected:
    std::filesystem::path WriteImage() {
        const auto image = system.directory.Path() / "固件.bin";
        std::ofstream file(image, std::ios::binary);
        for (std::size_t i = 0; i < IMAGE_BYTES; ++i) {
            file.put(static_cast<char>(i * 7));
        }
        return image;
    }
};

TEST_F(UpgradeTest, SixtyFourKibibytesStreamWithAPumpAtEveryPoint) {
    watcher.ChooseFile(WriteImage().wstring());
    // The receive thread pauses too; only the window's own pauses count here.
    std::vector<std::uint32_t> windowSleeps;
    system.sleeper.SetHook([this, &windowSleeps](std::uint32_t ms) {
        if (host.OnUiThread()) {
            windowSleeps.push_back(ms);
        }
    });
    Open(true);
    const std::uint64_t pumpsBefore = host.CodePumps();

    SendMessageW(MainControl(app::IDC_UPGRADE), BM_CLICK, 0, 0);
    const std::uint64_t pumps = host.CodePumps() - pumpsBefore;
    Pump();

    ASSERT_FALSE(watcher.Seen().empty());
    EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text;
    EXPECT_EQ(SendMessageW(MainControl(app::IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);
    // 65536 bytes: four blocks of 16000 and one of 1536, 8 bytes a frame.
    constexpr std::uint64_t FULL_BLOCKS = IMAGE_BYTES / FirmwareTransfer::BLOCK_BYTES;
    constexpr std::uint64_t FRAMES_PER_BLOCK = FirmwareTransfer::BLOCK_BYTES / 8;
    constexpr std::uint64_t LAST_FRAMES = (IMAGE_BYTES % FirmwareTransfer::BLOCK_BYTES) / 8;
    // A pump after each erase step, between the frames of a block and after each block.
    const std::uint64_t expected = FirmwareTransfer::ERASE_STEPS +
                                   FULL_BLOCKS * (FRAMES_PER_BLOCK - 1) + (LAST_FRAMES - 1) +
                                   (FULL_BLOCKS + 1);
    EXPECT_EQ(pumps, expected);
    std::vector<std::uint32_t> pauses(FirmwareTransfer::ERASE_STEPS,
                                      FirmwareTransfer::ERASE_STEP_MS);
    pauses.insert(pauses.end(), FULL_BLOCKS + 1, FirmwareTransfer::BLOCK_PAUSE_MS);
    EXPECT_EQ(windowSleeps, pauses);
}

TEST_F(UpgradeTest, TheCloseBoxDuringTheEraseWaitAsksAndAYesStopsAndClosesTheWindow) {
    watcher.ChooseFile(WriteImage().wstring());
    watcher.AnswerBoxesWith({IDYES});
    system.sleeper.SetHook([this](std::uint32_t) {
        if (host.OnUiThread() && watcher.Boxes().empty()) {
            PostMessageW(Main(), WM_CLOSE, 0, 0);  // the close box, while the device erases
        }
    });
    Open(true);

    SendMessageW(MainControl(app::IDC_UPGRADE), BM_CLICK, 0, 0);

    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].text, "正在升级固件，关闭窗口将中止升级，确定关闭吗?");
    EXPECT_EQ(watcher.Boxes()[0].caption, "警告");
    EXPECT_TRUE(window->IsEnded());
    EXPECT_LT(window->GetPos(app::IDC_PROGRESS), 100);
}

}  // namespace
}  // namespace quillon::test
