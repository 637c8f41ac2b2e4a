#include <algorithm>
#include <fstream>
#include <iterator>

#include "protocol/Capacities.hpp"
#include "tests/app/MainWindowFixture.hpp"

namespace quillon::app {
namespace {

using test::MainWindowFixture;

bool IsDtuFrame(const CanFrameRecord& f) {
    return f.ExternFlag == 0 && f.ID >= 0x10 && f.ID <= 0x3F;
}

std::string Bytes(const CanFrameRecord& f) {
    std::string text;
    char digits[4];
    for (int i = 0; i < f.DataLen; ++i) {
        std::snprintf(digits, sizeof(digits), i ? " %02X" : "%02X", f.Data[i]);
        text += digits;
    }
    return text;
}

class ParameterWriteTest : public MainWindowFixture {
  protected:
    // The parameter frames sent (DTU frames left out), deciphered.
    std::vector<std::pair<std::uint32_t, CanFrameRecord>> Sent() const {
        auto sent = SentPlain();
        std::erase_if(sent, [](const auto& entry) { return IsDtuFrame(entry.second); });
        return sent;
    }
    // Frame counts of each parameter transmit call, in order.
    std::vector<std::size_t> CallSizes() const {
        std::vector<std::size_t> sizes;
        for (const auto& call : adapter.Bus().CallsNamed("Transmit")) {
            if (!IsDtuFrame(call.frames.front())) {
                sizes.push_back(call.frames.size());
            }
        }
        return sizes;
    }
};

TEST_F(ParameterWriteTest, EmptyRecordSendsNinetyThreeFramesInTheirCalls) {
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "写入参数成功，请重启设备生效!");
    EXPECT_EQ(host.Boxes().back().caption, "警告");
    EXPECT_EQ(CallSizes(), (std::vector<std::size_t>{1, 42, 42, 1, 1, 1, 1, 4}));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 93u);
    EXPECT_EQ(sent[0].second.ID, 8u);
    EXPECT_EQ(Bytes(sent[0].second), "01 FF FF FF FF FF FF FF");
    EXPECT_EQ(sent[0].first, 0u) << "the first write opens on channel 0";
    EXPECT_EQ(sent[1].first, 0u);
    EXPECT_EQ(sent[43].first, 1u);
    EXPECT_EQ(Bytes(sent[1].second), "01 00 00 3C 00 00 00 00") << "enable, 1000k, BTR 00/3C";
    EXPECT_EQ(sent[85].second.ID, 0x100u);
    EXPECT_EQ(sent[87].second.ID, 0x1FFu);
    EXPECT_EQ(sent[88].second.ID, 0x2FFu);
    for (std::size_t i = 87; i < 93; ++i) {
        EXPECT_EQ(sent[i].first, 1u) << "bridge, replay and closing frames stay on channel 1";
    }
    EXPECT_EQ(Bytes(sent[91].second), "01");
    EXPECT_EQ(sent[92].second.ID, 0u);
    const auto references = adapter.Bus().CallsNamed("SetReference");
    ASSERT_EQ(references.size(), 4u);
    EXPECT_EQ(references[0].refType, 30u);
    EXPECT_EQ(references[0].refValue, 1000u);
    EXPECT_EQ(references[3].refType, 3u);
    EXPECT_EQ(references[3].channel, 1u);
}

TEST_F(ParameterWriteTest, SecondWriteOpensOnChannelOne) {
    Connect();
    window->WriteParameters();
    const std::size_t first = Sent().size();
    window->WriteParameters();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2 * first);
    EXPECT_EQ(sent[first].second.ID, 8u);
    EXPECT_EQ(sent[first].first, 1u) << "canIndex keeps its value between writes";
}

TEST_F(ParameterWriteTest, FullRecordSendsTwoHundredTwentyNineFrames) {
    FillEveryTable();
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "写入参数成功，请重启设备生效!");
    EXPECT_EQ(Sent().size(), 229u);
    std::vector<std::size_t> expected = {1, 42, 42, 29, 29, 1};
    expected.insert(expected.end(), 10, 5);
    expected.push_back(1);
    expected.insert(expected.end(), 10, 3);
    expected.push_back(4);
    EXPECT_EQ(CallSizes(), expected);
}

TEST_F(ParameterWriteTest, FullRecordLeavesInTableOrderOnItsChannels) {
    struct Slot {
        std::uint32_t channel;
        bool extended;
        std::uint32_t id;
        bool operator==(const Slot&) const = default;
    };
    std::vector<Slot> expected = {{0, false, 8}};
    for (std::uint32_t c = 0; c < 2; ++c) {
        for (std::uint32_t id = 1; id <= 42; ++id) {
            expected.push_back({c, true, id});
        }
    }
    for (std::uint32_t c = 0; c < 2; ++c) {
        for (std::uint32_t id = 0x100; id <= 0x11C; ++id) {
            expected.push_back({c, true, id});
        }
    }
    expected.push_back({1, true, 0x1FF});
    for (std::uint32_t k = 0; k < 10; ++k) {
        for (std::uint32_t part = 0; part < 5; ++part) {
            expected.push_back({1, true, 0x200 + 6 * k + part});
        }
    }
    expected.push_back({1, true, 0x2FF});
    for (std::uint32_t k = 0; k < 10; ++k) {
        for (std::uint32_t part = 0; part < 3; ++part) {
            expected.push_back({1, true, 0x300 + 4 * k + part});
        }
    }
    for (std::uint32_t id : {4u, 5u, 8u, 0u}) {
        expected.push_back({1, false, id});
    }
    FillEveryTable();
    Connect();
    window->WriteParameters();
    std::vector<Slot> sent;
    for (const auto& [channel, frame] : Sent()) {
        sent.push_back({channel, frame.ExternFlag != 0, frame.ID});
    }
    ASSERT_EQ(sent.size(), 229u);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i], expected[i]) << "frame " << i << ": channel " << sent[i].channel
                                        << ", id 0x" << std::hex << sent[i].id;
    }
}

TEST_F(ParameterWriteTest, FirmwareVersionLimitsTheAnnouncedRecordingRules) {
    auto& can = window->Can1Page().Record();
    can.filterCount = 12;
    window->Can1Page().LoadFromRecord();
    Connect();
    window->WriteParameters();
    const auto first = Sent();
    EXPECT_EQ(first[2].second.Data[1], 10) << "firmware never read (0) hears 10";
    EXPECT_EQ(std::count_if(first.begin(), first.begin() + 43,
                            [](const auto& e) { return e.second.ExternFlag == 1; }),
              42)
        << "all 20 entries are still sent";
    DeviceSends(0, {test::MakeFrame(3, false, {0x01, 0x00, 0x0B, 0x00})});
    EXPECT_EQ(window->Identity().firmwareVersion, 11u);
    const std::size_t before = Sent().size();
    window->WriteParameters();
    EXPECT_EQ(Sent()[before + 2].second.Data[1], 12) << "firmware 11 hears 12";
}

TEST_F(ParameterWriteTest, SixteenAcceptanceFiltersAreAnnouncedThenClampedToFourteen) {
    auto& filters = window->Advanced1Page().Record();
    filters.enable = 1;
    filters.filterCount = 16;
    filters.matchValue[13] = 0x12345678;
    filters.matchMask[13] = 0x1FFFFFFF;
    Connect();
    window->WriteParameters();
    const auto sent = Sent();
    ASSERT_EQ(sent[85].second.ID, 0x100u);
    EXPECT_EQ(Bytes(sent[85].second), "01 10 00 00 00 00 00 00");
    EXPECT_EQ(sent[85 + 28].second.ID, 0x11Cu);
    EXPECT_EQ(Bytes(sent[85 + 28].second), "78 56 34 12 FF FF FF 1F");
    EXPECT_EQ(sent[85 + 29].second.ID, 0x100u) << "CAN2's header follows the 14th filter";
    EXPECT_EQ(filters.filterCount, 14);
}

TEST_F(ParameterWriteTest, FilteringOnCan2WithoutFiltersStopsAfterCan1Block) {
    window->Advanced2Page().Record().enable = 1;
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "启用高级滤波，至少需要设置一个滤波器!");
    EXPECT_EQ(CallSizes(), (std::vector<std::size_t>{1, 42, 42, 1}));
    EXPECT_EQ(Sent().back().second.ID, 0x100u);
    EXPECT_EQ(Sent().back().first, 0u);
}

TEST_F(ParameterWriteTest, TooManyBridgeOrReplayRulesAreRefused) {
    window->BridgePage().Record().ruleCount = 11;
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "写入参数失败，桥转换规则数太多!");
    EXPECT_EQ(Sent().back().second.ID, 0x100u);
    window->BridgePage().Record().ruleCount = 0;
    window->ReplayPage().Record().ruleCount = 200;
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "写入参数失败，回放文件数量太多!");
    EXPECT_EQ(Sent().back().second.ID, 0x1FFu);
}

TEST_F(ParameterWriteTest, YearBeforeTwoThousandStopsAfterTheReplayBlock) {
    system.clock.Set({1999, 12, 31, 23, 0, 0, 0});
    Connect();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "系统时间出错!");
    EXPECT_EQ(Sent().back().second.ID, 0x2FFu);
}

TEST_F(ParameterWriteTest, ClosingFramesCarrySystemSettingsAndLocalTime) {
    system.clock.Set({2030, 12, 31, 23, 59, 58, 0});
    window->SystemRecord().sysOption = 0x5A;
    window->SysPage().CheckDlgButton(pages::CSysParaDlg::IDC_CHECK_ERROR_PROOFING, ui::BST_CHECKED);
    window->SysPage().SetPos(pages::CSysParaDlg::IDC_SLIDER_FILE_SIZE, 100);
    Connect();
    window->WriteParameters();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 93u);
    EXPECT_EQ(Bytes(sent[89].second), "64 00 5A 00 00 03 FC 00");
    EXPECT_EQ(Bytes(sent[90].second), "00 1E 0C 1F 17 3B 3A 00");
    EXPECT_EQ(sent[91].second.DataLen, 1);
    EXPECT_EQ(sent[91].second.ID, 8u);
}

// The system section of QXCfg.dat (file offset 656), 16 bytes.
std::vector<std::uint8_t> StoredSystemSection(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(16);
    in.seekg(656);
    in.read(reinterpret_cast<char*>(bytes.data()), 16);
    return bytes;
}

TEST_F(ParameterWriteTest, FileHoldsTheSystemSettingsTheWriteSends) {
    window->SystemRecord().fileSizeMB = 0;  // as a stored file may hold it
    window->RefreshPages();                 // the slider cannot show 0: it shows 1
    window->SysPage().CheckDlgButton(pages::CSysParaDlg::IDC_CHECK_CYCLIC, ui::BST_CHECKED);
    Connect();
    window->WriteParameters();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 93u);
    EXPECT_EQ(Bytes(sent[89].second), "01 00 00 01 00 00 FF 00");
    // checksum, reserved, fileSizeMB 1, sysOption, cyclicOverwrite 1, the rest zero.
    EXPECT_EQ(StoredSystemSection(window->SettingsPath()),
              (std::vector<std::uint8_t>{0xFD, 0, 0x01, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ParameterWriteTest, OptionTickedWhileDisconnectedSurvivesARestart) {
    window->SysPage().CheckDlgButton(pages::CSysParaDlg::IDC_CHECK_CYCLIC, ui::BST_CHECKED);
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "请先连接设备!");
    EXPECT_EQ(StoredSystemSection(window->SettingsPath())[5], 0x01);
    CreateWindow();  // the program started again
    EXPECT_EQ(window->SystemRecord().cyclicOverwrite, 1);
    EXPECT_EQ(window->SysPage().IsDlgButtonChecked(pages::CSysParaDlg::IDC_CHECK_CYCLIC),
              ui::BST_CHECKED);
}

TEST_F(ParameterWriteTest, CorruptSystemAndFilterSectionsStartOverAndAreNotResent) {
    window->SysPage().SetPos(pages::CSysParaDlg::IDC_SLIDER_FILE_SIZE, 64);
    auto& filters = window->Advanced1Page().Record();
    filters.enable = 1;
    filters.filterCount = 1;
    filters.matchValue[0] = 0x123;
    window->WriteParameters();  // disconnected: saves the file only
    {
        std::fstream file(window->SettingsPath(), std::ios::in | std::ios::out | std::ios::binary);
        for (std::streamoff offset : {656 + 4, 672 + 20}) {  // sysOption, matchValue[0]
            file.seekp(offset);
            file.put('\x77');
        }
    }
    CreateWindow();  // the program started again
    EXPECT_EQ(window->SystemRecord(), protocol::SysPara::Defaults());
    EXPECT_EQ(window->Advanced1Page().Record(), protocol::HardFilterPara{});
    EXPECT_EQ(window->SysPage().GetPos(pages::CSysParaDlg::IDC_SLIDER_FILE_SIZE), 1);
    Connect();
    window->WriteParameters();
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 93u);
    EXPECT_EQ(sent[85].second.ID, 0x100u);
    EXPECT_EQ(Bytes(sent[85].second), "00 00 00 00 00 00 00 00");
    EXPECT_EQ(Bytes(sent[89].second), "01 00 00 00 00 00 FF 00");
    EXPECT_EQ(StoredSystemSection(window->SettingsPath()),
              (std::vector<std::uint8_t>{0xFE, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ParameterWriteTest, ChineseReplayNameSurvivesSaveLoadShowAndSaveAgain) {
    using Replay = pages::CCanReplayDlg;
    window->ReplayPage().TypeText(Replay::IDC_EDIT_FILE_NAME, "回放日志");
    window->ReplayPage().Click(Replay::IDC_BUTTON_ADD);
    window->WriteParameters();  // disconnected: saves the file only
    const auto saved = FileBytes(window->SettingsPath());
    ASSERT_EQ(saved.size(), 1672u);
    const std::size_t name = 1380 + 12 + 8;  // replay section, rule 0, fileName
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + name, saved.begin() + name + 9),
              (std::vector<std::uint8_t>{0xBB, 0xD8, 0xB7, 0xC5, 0xC8, 0xD5, 0xD6, 0xBE, 0x00}));
    CreateWindow();  // the program started again
    EXPECT_EQ(window->ReplayPage().GetItemText(Replay::IDC_LIST_RULES, 0, 1), "回放日志.alog");
    window->WriteParameters();
    EXPECT_EQ(FileBytes(window->SettingsPath()), saved);
}

TEST_F(ParameterWriteTest, NotConnectedStillSavesTheSettingsFile) {
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "请先连接设备!");
    EXPECT_EQ(std::filesystem::file_size(window->SettingsPath()), 1672u);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ParameterWriteTest, AWriteWhoseSettingsCannotBeSavedSendsNothingAndSaysWhy) {
    std::filesystem::create_directory(window->SettingsPath());
    Connect();
    const auto result = window->WriteParameters();
    EXPECT_FALSE(result.succeeded);
    EXPECT_TRUE(Sent().empty()) << "the device got settings its file does not hold";
    EXPECT_TRUE(BoxTexts().empty());
    const std::string status = std::string(app::STATUS_CANNOT_SAVE) + "cannot replace " +
                               window->SettingsPath().string() + ": Is a directory";
    EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), status);
    EXPECT_EQ(result.status, status);
    EXPECT_TRUE(std::filesystem::is_directory(window->SettingsPath()));
}

// Firmware 10 or older (or a version never read) is told of at most ten
// recording rules per channel; the status line says so when that cut a channel.
TEST_F(ParameterWriteTest, RecordingRulesCutForOldFirmwareAreNamedOnTheStatusLine) {
    struct Row {
        const char* name;
        std::optional<std::uint8_t> firmware;  ///< the version frame the device sent, if any
        std::string status;
    };
    const Row rows[] = {
        {"never identified", std::nullopt,
         "CAN2 有 12 条记录规则，只告知设备 10 条（未读取到设备固件版本，按旧固件处理）"},
        {"firmware 10", 10,
         "CAN2 有 12 条记录规则，只告知设备 10 条（设备固件版本 Ver_10 只接受 10 条）"},
        {"firmware 11", 11, "     状态栏"},
    };
    for (const auto& row : rows) {
        CreateWindow();
        Connect();
        if (row.firmware) {
            DeviceSends(0, {test::MakeFrame(3, false, {1, 0, *row.firmware, 0})});
        }
        window->Record().can1.filterCount = 10;
        window->Record().can2.filterCount = 12;
        window->Can2Page().LoadFromRecord();
        const auto result = window->WriteParameters();
        EXPECT_TRUE(result.succeeded) << row.name;
        EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), row.status) << row.name;
        window->Click(app::IDC_CONNECT);
    }
}

TEST_F(ParameterWriteTest, SavedSettingsLeaveTheStatusLineAlone) {
    window->WriteParameters();
    EXPECT_TRUE(window->SaveFailures().empty());
    EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), "     状态栏");
}

struct RefusalCase {
    const char* name;
    std::size_t refusedFrame;  ///< counted over parameter frames
    std::size_t sentBefore;
};

class RefusedFrame : public ParameterWriteTest,
                     public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedFrame, EndsWithTheFailureBoxAndSendsNothingAfter) {
    Connect();
    // Refusals are counted over every frame; let the DTU write through first.
    window->WriteParameters();
    const std::size_t dtuFrames = adapter.Bus().Transmitted().size() - 93;
    adapter.Bus().RefuseFrame(adapter.Bus().Transmitted().size() + dtuFrames +
                              GetParam().refusedFrame);
    const std::size_t before = Sent().size();
    host.ClearBoxes();
    window->WriteParameters();
    EXPECT_EQ(BoxTexts().back(), "写入参数失败，请检查设备是否连接正常!");
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(Sent().size() - before, GetParam().sentBefore);
}

INSTANTIATE_TEST_SUITE_P(Points, RefusedFrame,
                         ::testing::Values(RefusalCase{"Opening", 1, 0},
                                           RefusalCase{"MidChannelBlock", 10, 9},
                                           RefusalCase{"FilterHeader", 86, 85},
                                           RefusalCase{"ReplayHeader", 89, 88},
                                           RefusalCase{"LastClosing", 93, 92}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::app
