// The DTU part of the parameter write: both pages' records collected, their
// files saved, the frames sent with their pauses, and what a refusal leaves.
#include "dtu/WriteDtuParams.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dtu/DtuFixture.hpp"
#include "pages/RecordingTransmitter.hpp"
#include "protocol/DtuFrameReader.hpp"
#include "protocol/DtuFrames.hpp"
#include "protocol/DtuUnsentParts.hpp"

namespace quillon::test {
namespace {

// What the pages hold after a start without settings files travels whole.
TEST(DtuPageDefaults, ComeBackWholeFromTheirFrames) {
    DtuFixture pages;
    pages.basic.LoadDtuBasic();
    pages.advanced.LoadDtuAdv();
    pages.advanced.CollectDtuAdv();
    const auto& basic = pages.basic.Record();
    const auto& advanced = pages.advanced.Record();
    const auto build = protocol::BuildDtuFrames(basic, advanced);
    ASSERT_TRUE(build.ok);
    EXPECT_EQ(build.frames.size(), 30u);
    const auto reader =
        protocol::DtuFrameReader::Read(build.frames, Unsent(basic), Unsent(advanced));
    EXPECT_TRUE(reader.Complete()) << reader.FirstProblem();
    EXPECT_EQ(reader.Basic(), basic);
    EXPECT_EQ(reader.Advanced(), advanced);
}

class WriteDtuParamsTest : public ::testing::Test, public DtuFixture {
  protected:
    WriteDtuParamsTest() {
        basic.LoadDtuBasic();
        advanced.LoadDtuAdv();
    }
    RecordingTransmitter link;
};

TEST_F(WriteDtuParamsTest, LongestSequencePausesAfterEveryThirdFrame) {
    basic.TypeText(dtu::DTUDlg::IDC_EDIT_SERVER_ADDR, std::string(32, 's'));
    basic.TypeText(dtu::DTUDlg::IDC_EDIT_HEARTBEAT, std::string(96, 'h'));
    basic.TypeText(dtu::DTUDlg::IDC_EDIT_REG_PACKET, std::string(96, 'r'));
    advanced.TypeText(dtu::DTUHlDlg::IDC_EDIT_BACKUP_ADDR, std::string(32, 'b'));
    advanced.Click(dtu::DTUHlDlg::IDC_CHECK_APN_MODIFY);
    advanced.TypeText(dtu::DTUHlDlg::IDC_EDIT_APN, std::string(32, 'a'));
    EXPECT_TRUE(dtu::WriteDtuParams(basic, advanced, link));
    const auto frames = link.Frames();
    ASSERT_EQ(frames.size(), 62u);
    EXPECT_EQ(frames.back().ID, 0x3Fu);
    std::vector<std::size_t> pausedAfter;
    std::size_t sent = 0;
    for (const auto& event : link.Events()) {
        sent += event.frames.size();
        if (event.pauseMs != 0) {
            EXPECT_EQ(event.pauseMs, 1u);
            pausedAfter.push_back(sent - 1);
        }
    }
    ASSERT_EQ(pausedAfter.size(), 21u);
    EXPECT_EQ(pausedAfter.front(), 0u);
    EXPECT_EQ(pausedAfter.back(), 60u);
    EXPECT_TRUE(std::filesystem::exists(basic.FilePath()));
    EXPECT_TRUE(std::filesystem::exists(advanced.FilePath()));
}

TEST_F(WriteDtuParamsTest, RefusedFrameStopsWithTheMessage) {
    link.RefuseFrom(4);
    EXPECT_FALSE(dtu::WriteDtuParams(basic, advanced, link));
    EXPECT_EQ(link.Frames().size(), 4u);
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(139, "写入参数失败，请检查设备是否连接正常!")});
}

TEST_F(WriteDtuParamsTest, FailedCheckSendsNothingButSavesBothFiles) {
    basic.TypeText(dtu::DTUDlg::IDC_EDIT_SERVER_ADDR, "");
    basic.Record().serverAddrLen = 0;
    EXPECT_FALSE(dtu::WriteDtuParams(basic, advanced, link));
    EXPECT_TRUE(link.Events().empty());
    EXPECT_EQ(host.BoxTexts(),
              (std::vector<std::string>{"输入服务器地址长度错误!", "地址长度有问题!"}));
    EXPECT_EQ(FileBytes("QXCfgDTU.dat").size(), 260u);
    EXPECT_EQ(FileBytes("QXCfgDTUHL.dat").size(), 196u);
}

}  // namespace
}  // namespace quillon::test
