#include <algorithm>
#include <fstream>
#include <numeric>

#include <gtest/gtest.h>

#include "FirmwareUpgradeFixture.hpp"
#include "support/OpenFiles.hpp"
#include "upgrade/UpgradeControls.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::test {
namespace {

using namespace quillon::upgrade;

struct SizeRow {
    const char* name;
    std::size_t bytes;
    std::size_t fullFrames;  ///< frames of 8 bytes before the last one
    std::uint8_t lastLength;
    std::size_t blocksRead;
};

class ImageSizeTest : public FirmwareUpgradeTest, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(ImageSizeTest, SendsEveryByteInOrderInFramesOfEight) {
    const SizeRow row = GetParam();
    const auto path = Image(row.bytes);
    Upgrade(path);

    const auto frames = DataFrames();
    ASSERT_EQ(frames.size(), row.fullFrames + 1);
    std::vector<std::uint8_t> sent;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].DataLen, i < row.fullFrames ? 8 : row.lastLength) << "frame " << i;
        sent.insert(sent.end(), frames[i].Data, frames[i].Data + frames[i].DataLen);
    }
    EXPECT_EQ(sent, ReadAll(path));
    EXPECT_EQ(system.sleeper.CountOf(160), 50u);
    EXPECT_EQ(system.sleeper.CountOf(1), row.blocksRead);
    EXPECT_EQ(window.GetPos(IDC_PROGRESS), 100);
    EXPECT_EQ(window.GetDlgItemText(IDC_STATUS), STATUS_POWER_CYCLE);
    EXPECT_EQ(window.GetDlgItemText(IDC_UPGRADE_MODE), MODE_RAW);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_FALSE(IsOpenHere(path));
    EXPECT_EQ(window.Events().back().phase, UpgradePhase::Done);
    EXPECT_EQ(window.Events().back().bytesSent, row.bytes);
    EXPECT_EQ(window.LastResult(), (ui::CommandResult{true, "", "", 0, STATUS_POWER_CYCLE}));
}

INSTANTIATE_TEST_SUITE_P(
    Images, ImageSizeTest,
    ::testing::Values(SizeRow{"Seven", 7, 0, 7, 1}, SizeRow{"Twenty", 20, 2, 4, 1},
                      SizeRow{"ExactBlockEndsWithEmptyFrame", 16000, 2000, 0, 2},
                      SizeRow{"BlockPlusOne", 16001, 2000, 1, 2},
                      SizeRow{"TwoBlocksEndWithEmptyFrame", 32000, 4000, 0, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpgradeTest, TwentyBytesShowEraseWaitThenByteProgressAndPumpAfterEachStep) {
    // Each sleep queues a message; the next sleep finds it handled, so the
    // window was pumped in between.
    system.sleeper.SetHook([this](std::uint32_t) {
        EXPECT_EQ(host.PendingMessages(), 0u);
        host.PostTask(window, [] {});
    });
    Upgrade(Image(20));

    std::vector<int> expected = {0, 0};
    for (int step = 0; step < 50; ++step) {
        expected.push_back(2 * step);
    }
    expected.insert(expected.end(), {0, 40, 80, 100, 100});
    EXPECT_EQ(window.Progress(), expected);
    EXPECT_EQ(host.PendingMessages(), 0u);
    EXPECT_EQ(host.FileDialogFilters(),
              std::vector<std::string>{"Files (*.bin,*.dat)|*.bin;*.dat||"});
}

TEST_F(FirmwareUpgradeTest, BarMovesOncePerPercentWhileTheObserverHearsEveryFrame) {
    Upgrade(Image(3200));  // 400 frames, four to a percent

    const auto progress = window.Progress();
    std::vector<int> expected;
    for (int percent = 0; percent <= 100; ++percent) {
        expected.push_back(percent);
    }
    expected.push_back(100);
    ASSERT_GE(progress.size(), expected.size());
    EXPECT_EQ(std::vector<int>(progress.end() - static_cast<std::ptrdiff_t>(expected.size()),
                               progress.end()),
              expected);
    std::vector<std::uint64_t> framesHeard;
    for (const auto& event : window.Events()) {
        if (event.phase == UpgradePhase::Writing && event.framesSent > 0) {
            framesHeard.push_back(event.framesSent);
        }
    }
    framesHeard.erase(std::unique(framesHeard.begin(), framesHeard.end()), framesHeard.end());
    std::vector<std::uint64_t> everyFrame(400);
    std::iota(everyFrame.begin(), everyFrame.end(), 1u);
    EXPECT_EQ(framesHeard, everyFrame);
}

TEST_F(FirmwareUpgradeTest, FramesAreExactAndAllGoToAdapterZeroChannelZeroOneAtATime) {
    const auto path = Image(10);
    window.link.running = true;  // connected to adapter 3; the upgrade still uses 0
    ASSERT_EQ(VCI_OpenDevice(4, 3, 0), 1u);
    ASSERT_EQ(VCI_OpenDevice(4, 0, 0), 1u);
    Upgrade(path);

    const auto image = ReadAll(path);
    const auto transmitted = adapter.Bus().Transmitted();
    ASSERT_EQ(transmitted.size(), 4u);
    const std::uint32_t ids[] = {1, 2, 1, 1};
    const std::uint8_t lengths[] = {0, 0, 8, 2};
    for (std::size_t i = 0; i < transmitted.size(); ++i) {
        const CanFrameRecord& frame = transmitted[i].second;
        const bool command = i < 2;
        EXPECT_EQ(frame.ID, ids[i]);
        EXPECT_EQ(frame.ExternFlag, command ? 1 : 0);
        EXPECT_EQ(frame.RemoteFlag, command ? 1 : 0);
        EXPECT_EQ(frame.SendType, 0);
        EXPECT_EQ(frame.DataLen, lengths[i]);
        for (std::size_t b = 0; b < 8; ++b) {
            const std::size_t at = (i - 2) * 8 + b;
            const std::uint8_t want = !command && b < frame.DataLen ? image[at] : 0;
            EXPECT_EQ(frame.Data[b], want) << "frame " << i << " byte " << b;
        }
    }
    for (const auto& call : adapter.Bus().CallsNamed("Transmit")) {
        EXPECT_EQ(call.index, 0u);
        EXPECT_EQ(call.channel, 0u);
        EXPECT_EQ(call.frames.size(), 1u);
    }
    EXPECT_EQ(window.link.connects, 0);
}

TEST_F(FirmwareUpgradeTest, CancelWhileDisconnectedChangesNothing) {
    host.AnswerNextFileDialogs({std::nullopt});
    window.Click(IDC_UPGRADE);
    EXPECT_FALSE(window.link.running);
    EXPECT_TRUE(adapter.Bus().Calls().empty());
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(window.Progress().empty());
    EXPECT_EQ(window.GetDlgItemText(IDC_STATUS), "     状态栏");
    EXPECT_TRUE(window.IsWindowEnabled(IDC_UPGRADE));
    EXPECT_EQ(window.LastResult(), ui::CommandResult{}) << "nothing happened, nothing to report";
}

enum class Pick { Missing, Directory, Empty };

struct RefusedRow {
    const char* name;
    Pick pick;
    const char* box;
};

class RefusedImageTest : public FirmwareUpgradeTest,
                         public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(RefusedImageTest, LinkIsOpenedButNothingIsSent) {
    const RefusedRow row = GetParam();
    const auto& directory = system.directory.Path();
    const auto path = row.pick == Pick::Missing     ? directory / "absent.bin"
                      : row.pick == Pick::Directory ? directory
                                                    : Image(0);
    Upgrade(path);

    EXPECT_TRUE(window.link.running);
    const auto calls = adapter.Bus().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "Open");
    EXPECT_EQ(calls[1].name, "StartCAN");
    EXPECT_EQ(calls[1].channel, 0u);
    EXPECT_EQ(host.Boxes(),
              (std::vector<RecordedBox>{{102, row.box, "警告", ui::MB_ICONQUESTION}}));
    EXPECT_FALSE(IsOpenHere(path));
    EXPECT_EQ(window.Events().back().phase, UpgradePhase::Failed);
    EXPECT_EQ(window.LastResult(),
              (ui::CommandResult{false, row.box, "警告", ui::MB_ICONQUESTION, ""}));
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedImageTest,
                         ::testing::Values(RefusedRow{"Missing", Pick::Missing, OPEN_IMAGE_FAILED},
                                           RefusedRow{"Directory", Pick::Directory,
                                                      OPEN_IMAGE_FAILED},
                                           RefusedRow{"Empty", Pick::Empty, IMAGE_EMPTY}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailureRow {
    const char* name;
    std::size_t refusedFrame;  ///< 1 = erase, 2 = program, 3.. = data frames
    bool fileOpenAtBox;
    int progress;
    const char* status;
};

class TransmitFailureTest : public FirmwareUpgradeTest,
                            public ::testing::WithParamInterface<FailureRow> {};

TEST_P(TransmitFailureTest, ShowsTheBoxClosesTheFileAndStops) {
    const FailureRow row = GetParam();
    const auto path = Image(200);
    std::vector<bool> openAtBox;
    host.SetBoxObserver([&](const RecordedBox&) { openAtBox.push_back(IsOpenHere(path)); });
    window.EnableWindow(IDC_ENTER_UPGRADE, false);
    adapter.Bus().RefuseFrame(row.refusedFrame);
    Upgrade(path);

    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{SEND_FAILED});
    EXPECT_EQ(openAtBox, std::vector<bool>{row.fileOpenAtBox});
    EXPECT_FALSE(IsOpenHere(path));
    EXPECT_EQ(adapter.Bus().Transmitted().size(), row.refusedFrame - 1);
    EXPECT_EQ(window.GetPos(IDC_PROGRESS), row.progress);
    EXPECT_EQ(window.GetDlgItemText(IDC_STATUS), row.status);
    EXPECT_TRUE(window.IsWindowEnabled(IDC_UPGRADE));
    EXPECT_TRUE(window.IsWindowEnabled(IDC_CONNECT));
    EXPECT_FALSE(window.IsWindowEnabled(IDC_ENTER_UPGRADE)) << "restored as it was";
    EXPECT_EQ(window.LastResult(),
              (ui::CommandResult{false, SEND_FAILED, "警告", ui::MB_ICONQUESTION, ""}));
}

// The tenth data frame is the twelfth frame; nine frames carried 72 of 200 bytes.
INSTANTIATE_TEST_SUITE_P(
    Frames, TransmitFailureTest,
    ::testing::Values(FailureRow{"EraseCommand", 1, false, 0, "     状态栏"},
                      FailureRow{"ProgramCommand", 2, false, 98, STATUS_ERASING},
                      FailureRow{"TenthDataFrame", 12, true, 36, STATUS_WRITING}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpgradeTest, ImageThatGrowsWhileSentNeverReportsOverAHundredPercent) {
    const auto path = Image(16000);
    system.sleeper.SetHook([&](std::uint32_t durationMs) {
        if (durationMs == 1 && DataFrames().size() == 2000) {
            std::ofstream(path, std::ios::binary | std::ios::app) << std::string(16000, 'x');
        }
    });
    Upgrade(path);

    EXPECT_EQ(DataFrames().size(), 4001u);
    const auto events = window.Events();
    EXPECT_EQ(std::max_element(events.begin(), events.end(),
                               [](const auto& a, const auto& b) { return a.percent < b.percent; })
                  ->percent,
              100);
}

TEST_F(FirmwareUpgradeTest, ClicksQueuedDuringTheTransferDoNotStartASecondOne) {
    std::vector<bool> clicksTaken;
    system.sleeper.SetHook([this, &clicksTaken](std::uint32_t durationMs) {
        if (durationMs == 1) {
            return;
        }
        host.PostTask(window, [this, &clicksTaken] {
            for (int id : {IDC_UPGRADE, IDC_ENTER_UPGRADE, IDC_CONNECT}) {
                clicksTaken.push_back(window.Click(id));
            }
            window.Command(IDC_UPGRADE);  // even a direct command is turned away
        });
    });
    host.AnswerNextFileDialogs({Image(20).string(), Image(20).string()});
    window.Click(IDC_UPGRADE);

    EXPECT_EQ(host.FileDialogFilters().size(), 1u);
    EXPECT_EQ(clicksTaken, std::vector<bool>(150, false));
    EXPECT_EQ(DataFrames().size(), 3u);
    EXPECT_TRUE(window.IsWindowEnabled(IDC_UPGRADE));
    EXPECT_TRUE(window.IsWindowEnabled(IDC_ENTER_UPGRADE));
}

}  // namespace
}  // namespace quillon::test
