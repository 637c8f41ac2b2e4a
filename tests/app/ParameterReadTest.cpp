#include "tests/app/MainWindowFixture.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace quillon::app {
namespace {

using test::MainWindowFixture;
using test::MakeFrame;
using Sys = pages::CSysParaDlg;

constexpr const char* SERIAL_HEX = "0102030405060708090A0B0C";

class ParameterReadTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window->ShowWindow(IDC_TAB, true);
        Connect();
    }
    void SendIdentity(std::uint8_t type) {
        DeviceSends(0, {MakeFrame(1, false, {1, 2, 3, 4, 5, 6, 7, 8}),
                        MakeFrame(2, false, {9, 10, 11, 12, type})});
    }
    int Refreshes() const { return static_cast<int>(window->RefreshCount()); }
};

constexpr const char* READ_OK = "读取设备参数成功!";
constexpr const char* READ_LOST = "读取设备参数不完整，部分数据丢失，请重新读取!";
constexpr const char* READ_SILENT = "读取设备参数超时，设备无应答!";

// Holds the receive thread at the start of each pass (its 1 ms pause) until
// the test lets one pass run: what a pass receives, and when it ends, is the
// test's to choose.
class PassGate {
  public:
    void Install(test::FakeSleeper& sleeper) {
        sleeper.SetHook([this](std::uint32_t durationMs) {
            if (durationMs == 1) {
                Hold();
            }
        });
    }
    /// Waits until the thread is held, with every earlier pass over.
    bool AwaitHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [this] { return held_; });
    }
    /// Lets exactly one pass run and waits until it is over.
    bool RunOnePass() {
        {
            std::lock_guard lock(mutex_);
            held_ = false;
            ++passes_;
        }
        changed_.notify_all();
        return AwaitHeld();
    }
    void OpenForGood() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }

  private:
    void Hold() {
        std::unique_lock lock(mutex_);
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_ || passes_ > 0; });
        held_ = false;
        if (passes_ > 0) {
            --passes_;
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool open_ = false;
    int passes_ = 0;
};

class ReadJudgementTest : public ParameterReadTest {
  protected:
    using Batch = std::vector<std::pair<std::uint32_t, std::vector<CanFrameRecord>>>;

    void SetUp() override {
        gate.Install(system.sleeper);
        ParameterReadTest::SetUp();
        ASSERT_TRUE(gate.AwaitHeld());
    }
    void TearDown() override {
        gate.OpenForGood();
        ParameterReadTest::TearDown();
    }
    /// One pass of the receive thread that receives `batch` (enciphered here
    /// as a device would), then whatever it posted is run.
    void Pass(Batch batch = {}) {
        for (auto& [channel, frames] : batch) {
            for (auto& frame : frames) {
                cipher.EncipherPayload(frame.Data);
            }
            adapter.Bus().Deliver(channel, frames);
        }
        ASSERT_TRUE(gate.RunOnePass());
        host.PumpMessages();
    }
    std::vector<test::RecordedBox> Boxes() const { return host.Boxes(); }
    static test::RecordedBox Box(const char* text, const char* caption) {
        return {IDD_MAIN_WINDOW, text, caption, ui::MB_ICONQUESTION};
    }
    /// WholeAnswer(channel) without its completion.
    static std::vector<CanFrameRecord> Replies(std::uint32_t channel) {
        auto frames = WholeAnswer(channel);
        frames.pop_back();
        return frames;
    }
    static CanFrameRecord Completion() { return MakeFrame(0, false, {1}); }
    static std::vector<CanFrameRecord> Joined(std::vector<CanFrameRecord> a,
                                              const std::vector<CanFrameRecord>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    PassGate gate;
};

TEST_F(ParameterReadTest, RequestIsOnePlainFrameWithItsReference) {
    window->ReadParameters();
    const auto transmits = adapter.Bus().CallsNamed("Transmit");
    ASSERT_EQ(transmits.size(), 1u);
    const CanFrameRecord& request = transmits[0].frames[0];
    EXPECT_EQ(request.ID, 6u);
    EXPECT_EQ(request.ExternFlag, 0);
    EXPECT_EQ(request.DataLen, 8);
    EXPECT_EQ(request.Data[0], 0xFF) << "sent without enciphering";
    const auto references = adapter.Bus().CallsNamed("SetReference");
    ASSERT_EQ(references.size(), 1u);
    EXPECT_EQ(references[0].refType, 3u);
    EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(ParameterReadTest, BridgeIdentityFillsTheInformationLineAndKeepsTheTabs) {
    const int before = Refreshes();
    SendIdentity(2);
    host.PumpMessages();
    EXPECT_EQ(window->GetDlgItemText(IDC_DEVICE_INFO),
              std::string("CAN网桥，设备序号：") + SERIAL_HEX);
    EXPECT_TRUE(window->IsWindowVisible(IDC_TAB));
    EXPECT_EQ(window->Identity().deviceType, 2);
    EXPECT_EQ(Refreshes(), before + 1);
    EXPECT_EQ(window->SysPage().SerialText(), SERIAL_HEX);
    EXPECT_EQ(window->SysPage().DeviceTypeText(), "CAN网桥");
    EXPECT_EQ(window->SysPage().GetDlgItemText(Sys::IDC_EDIT_DEVICE_TYPE), "CAN网桥")
        << "the refresh showed the texts";
}

TEST_F(ParameterReadTest, UpgradeModeIdentityHidesTheTabs) {
    SendIdentity(4);
    EXPECT_FALSE(window->IsWindowVisible(IDC_TAB));
    EXPECT_EQ(window->GetDlgItemText(IDC_DEVICE_INFO),
              std::string("升级模式（通用），设备序号：") + SERIAL_HEX);
}

TEST_F(ParameterReadTest, DtuKeepsTheTabsAndUnknownCodesAboveThreeHideThem) {
    SendIdentity(7);
    EXPECT_TRUE(window->IsWindowVisible(IDC_TAB));
    EXPECT_EQ(window->SysPage().DeviceTypeText(), "DTU模式");
    SendIdentity(9);
    EXPECT_FALSE(window->IsWindowVisible(IDC_TAB));
    EXPECT_EQ(window->SysPage().DeviceTypeText(), "未知设备");
}

TEST_F(ParameterReadTest, RepeatedIdentityChangesNothingAndPostsNothing) {
    SendIdentity(1);
    host.PumpMessages();
    const int before = Refreshes();
    window->SetDlgItemText(IDC_DEVICE_INFO, "marker");
    SendIdentity(1);
    host.PumpMessages();
    EXPECT_EQ(Refreshes(), before);
    EXPECT_EQ(window->GetDlgItemText(IDC_DEVICE_INFO), "marker");
}

TEST_F(ParameterReadTest, VersionsAreShownInDecimal) {
    DeviceSends(0, {MakeFrame(3, false, {0x01, 0x00, 0x0B, 0x00})});
    EXPECT_EQ(window->Identity().hardwareVersion, 1u);
    EXPECT_EQ(window->Identity().firmwareVersion, 11u);
    EXPECT_EQ(window->SysPage().HardwareVersionText(), "Ver_1");
    EXPECT_EQ(window->SysPage().FirmwareVersionText(), "Ver_11");
}

TEST_F(ParameterReadTest, SystemReplyIsStoredAndSurvivesTheCompletionRefresh) {
    window->SystemRecord().sysOption = 0x5A;
    window->ReadParameters();
    auto answer = WholeAnswer(0);
    answer[3] = MakeFrame(4, false, {64, 0, 0, 1, 0, 7});
    DeviceSends(1, WholeAnswer(1));
    DeviceSends(0, answer);
    ASSERT_TRUE(AwaitReadVerdict());
    auto& page = window->SysPage();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"读取设备参数成功!"});
    EXPECT_EQ(page.GetPos(Sys::IDC_SLIDER_FILE_SIZE), 64);
    EXPECT_EQ(page.GetDlgItemText(Sys::IDC_EDIT_FILE_SIZE), "64");
    EXPECT_EQ(page.IsDlgButtonChecked(Sys::IDC_CHECK_CYCLIC), ui::BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(Sys::IDC_CHECK_FIRST_FRAME_ZERO), ui::BST_UNCHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(Sys::IDC_CHECK_ERROR_PROOFING), ui::BST_CHECKED);
    const protocol::SysPara& sys = window->SystemRecord();
    EXPECT_EQ(sys.fileSizeMB, 64);
    EXPECT_EQ(sys.cyclicOverwrite, 1);
    EXPECT_EQ(sys.firstFrameTimeZero, 0);
    EXPECT_EQ(sys.errorProofing, 3) << "any non-zero d5 stores the ticked value";
    EXPECT_EQ(sys.sysOption, 0x5A) << "the reply does not carry it";
}

TEST_F(ParameterReadTest, WriteAfterReadSendsTheSystemSettingsTheDeviceReported) {
    DeviceSends(0, {MakeFrame(4, false, {9, 0, 0, 0, 1, 0}), MakeFrame(0, false, {1})});
    window->WriteParameters();
    const auto sent = SentPlain();
    const auto frame4 = std::find_if(sent.begin(), sent.end(), [](const auto& entry) {
        return entry.second.ExternFlag == 0 && entry.second.ID == 4;
    });
    ASSERT_NE(frame4, sent.end());
    const std::array<std::uint8_t, 8> expected = {0x09, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame4->second.Data));
}

TEST_F(ParameterReadTest, ParameterFramesLandInTheChannelOfArrival) {
    DeviceSends(1, {MakeFrame(1, true, {1, 7, 0x12, 0x34, 1}), MakeFrame(2, true, {1, 5}),
                    MakeFrame(0x100, true, {1, 2}),
                    MakeFrame(0x104, true, {0x78, 0x56, 0x34, 0x12, 0xFF, 0, 0, 0}),
                    MakeFrame(0x2FF, true, {2, 3, 0x34, 0x12, 9, 0, 0, 0})});
    const auto& can2 = window->ReadBackChannel(1);
    EXPECT_EQ(can2.baudIndex, 7);
    EXPECT_EQ(can2.btr0, 0x12);
    EXPECT_EQ(can2.filterCount, 5);
    EXPECT_EQ(window->ReadBackChannel(0), protocol::CanPara{}) << "CAN1's copy untouched";
    EXPECT_EQ(window->Advanced2Page().Record().filterCount, 2);
    EXPECT_EQ(window->Advanced2Page().Record().matchValue[1], 0x12345678u);
    EXPECT_EQ(window->Advanced1Page().Record().filterCount, 0);
    EXPECT_EQ(window->ReplayPage().Record().repeatAll, 0x1234);
    EXPECT_EQ(window->ReplayPage().Record().ruleCount, 3);
    EXPECT_EQ(window->ReplayPage().Record().auxValue, 9u);
}

TEST_F(ParameterReadTest, ReplayNameIsTerminatedByItsFirstHalfAndUnusedPartsIgnored) {
    auto before = window->BridgePage().Record();
    auto replayBefore = window->ReplayPage().Record();
    DeviceSends(0, {MakeFrame(0x205, true, {1, 2, 3, 4, 5, 6, 7, 8}),
                    MakeFrame(0x303, true, {1, 2, 3, 4, 5, 6, 7, 8})});
    EXPECT_EQ(window->BridgePage().Record(), before);
    EXPECT_EQ(window->ReplayPage().Record(), replayBefore);
    auto& rule = window->ReplayPage().Record().rules[0];
    rule.fileName.fill('x');
    DeviceSends(0, {MakeFrame(0x301, true, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'})});
    EXPECT_EQ(rule.fileName[7], 'h');
    EXPECT_EQ(rule.fileName[8], 'x');
    EXPECT_EQ(rule.fileName[16], 0);
}

TEST_F(ParameterReadTest, CountsBeyondCapacityAreStoredButListsStayWithinTheTable) {
    DeviceSends(0, {MakeFrame(0x1FF, true, {200, 0x0F}), MakeFrame(0x2FF, true, {0, 255}),
                    MakeFrame(0x100, true, {1, 30})});
    EXPECT_EQ(window->BridgePage().Record().ruleCount, 200);
    EXPECT_EQ(window->ReplayPage().Record().ruleCount, 255);
    EXPECT_EQ(window->Advanced1Page().Record().filterCount, 30);
    window->SendMessage(WM_APP_PARAMS_READY);
    EXPECT_EQ(window->BridgePage().GetItemCount(pages::CBridgeRuleDialog::IDC_LIST_RULES), 10);
    EXPECT_EQ(window->ReplayPage().GetItemCount(pages::CCanReplayDlg::IDC_LIST_RULES), 10);
    EXPECT_EQ(window->Advanced1Page().GetItemCount(pages::CCANAdvanceDlg::IDC_LIST_FILTERS), 14);
}

// Devices differ in which frames they send, on which channel and in which
// order; the read is judged at the first completion once nothing more comes.
TEST_F(ReadJudgementTest, ReplyPatternsAreJudgedAtTheFirstCompletion) {
    const auto identityOnce = [] {
        auto frames = Replies(1);
        frames.erase(frames.begin(), frames.begin() + 4);
        return frames;
    };
    const auto lostRule = [] {
        auto frames = Replies(0);
        frames[7] = MakeFrame(0x1FF, true, {1});  // bridge rule 0 announced, never sent
        return frames;
    };
    const struct {
        const char* name;
        std::vector<Batch> passes;
        const char* notice;
    } rows[] = {
        {"each channel ending with its completion",
         {{{0, WholeAnswer(0)}, {1, WholeAnswer(1)}}, {}},
         READ_OK},
        {"identity once, one completion on channel 0",
         {{{0, Joined(Replies(0), {Completion()})}, {1, identityOnce()}}, {}},
         READ_OK},
        {"completion first, the rest a pass later",
         {{{0, {Completion()}}}, {{0, Replies(0)}, {1, identityOnce()}}, {}},
         READ_OK},
        {"an announced bridge rule lost",
         {{{0, Joined(lostRule(), {Completion()})}, {1, WholeAnswer(1)}}, {}},
         READ_LOST},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        host.ClearBoxes();
        ASSERT_TRUE(window->ReadParameters());
        for (std::size_t pass = 0; pass < row.passes.size(); ++pass) {
            EXPECT_TRUE(Boxes().empty()) << "not before pass " << pass;
            Pass(row.passes[pass]);
        }
        EXPECT_FALSE(window->ReadPending());
        EXPECT_EQ(Boxes(), (std::vector<test::RecordedBox>{
                               Box(row.notice, row.notice == READ_OK ? "通知" : "警告")}));
        Pass({{1, {Completion()}}});
        Pass();
        EXPECT_EQ(Boxes().size(), 1u) << "reported once";
    }
}

TEST_F(ReadJudgementTest, FramesAfterACompletionFirstAreShownWithTheNotice) {
    ASSERT_TRUE(window->ReadParameters());
    Pass({{0, {Completion()}}});
    std::vector<CanFrameRecord> bridge = {MakeFrame(0x1FF, true, {1, 0x0C})};
    for (std::uint32_t id = 0x200; id <= 0x204; ++id) {
        bridge.push_back(MakeFrame(id, true, {1}));
    }
    Pass({{0, bridge}});
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(window->BridgePage().GetItemCount(pages::CBridgeRuleDialog::IDC_LIST_RULES), 0)
        << "the completion's refresh came before the rule";
    Pass();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{READ_OK});
    EXPECT_EQ(window->BridgePage().GetItemCount(pages::CBridgeRuleDialog::IDC_LIST_RULES), 1);
}

TEST_F(ReadJudgementTest, ADeviceThatNeverCompletesTimesOutAfterFiveSeconds) {
    ASSERT_TRUE(window->ReadParameters());
    Pass({{0, Replies(0)}, {1, Replies(1)}});
    system.clock.AdvanceMs(ReadJudge::NO_ANSWER_MS - 10);
    Pass();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(window->ReadPending());
    system.clock.AdvanceMs(10);
    Pass();
    EXPECT_EQ(Boxes(), std::vector<test::RecordedBox>{Box(READ_SILENT, "警告")});
    EXPECT_FALSE(window->ReadPending());
    Pass({{0, {Completion()}}});
    Pass();
    EXPECT_EQ(Boxes().size(), 1u) << "a late completion reports nothing";
}

// A read in progress, a second request the adapter refuses: the first read
// goes on with what it had tallied (here the parts of bridge rule 0, whose
// header comes after the refusal).
TEST_F(ReadJudgementTest, RefusedReRequestKeepsTheReadInProgress) {
    ASSERT_TRUE(window->ReadParameters());
    std::vector<CanFrameRecord> parts;
    for (std::uint32_t id = 0x200; id <= 0x204; ++id) {
        parts.push_back(MakeFrame(id, true, {1}));
    }
    Pass({{0, parts}});
    adapter.Bus().RefuseFrame(2);
    EXPECT_FALSE(window->ReadParameters());
    EXPECT_TRUE(window->ReadPending());
    Pass({{0, {MakeFrame(0x1FF, true, {1}), Completion()}}});
    Pass();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"发送读取命令失败!", READ_OK}));
}

TEST_F(ParameterReadTest, RefusedRequestLeavesNoReadToReportLater) {
    adapter.Bus().RefuseFrame(1);
    EXPECT_FALSE(window->ReadParameters());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"发送读取命令失败!"});
    EXPECT_FALSE(window->ReadPending());
    DeviceSends(0, WholeAnswer(0));
    DeviceSends(1, WholeAnswer(1));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"发送读取命令失败!"})
        << "even a whole answer refreshes the pages silently";
}

TEST_F(ParameterReadTest, NotConnectedReadAndStorageInitWarn) {
    window->Click(IDC_CONNECT);
    window->ReadParameters();
    window->InitStorage();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"请先连接设备!", "请先连接设备!"}));
    EXPECT_FALSE(window->ReadPending());
}

class StorageInitTest : public ParameterReadTest {};

TEST_F(StorageInitTest, ConfirmedRequestSendsEncipheredFrameSevenAndWaits) {
    window->InitStorage();
    const auto boxes = host.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], (test::RecordedBox{IDD_MAIN_WINDOW, "确认初始化？", "Quillon",
                                           ui::MB_YESNO | ui::MB_ICONQUESTION}));
    EXPECT_EQ(boxes[1].text, "初次初始化大概需要1分钟时间，请耐心等待!");
    EXPECT_TRUE(window->StorageInitPending());
    const auto sent = SentPlain();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].second.ID, 7u);
    EXPECT_EQ(sent[0].second.Data[0], 0x00);
    EXPECT_NE(adapter.Bus().Transmitted()[0].second.Data[0] |
                  adapter.Bus().Transmitted()[0].second.Data[1],
              0)
        << "the frame went out enciphered";
}

TEST_F(StorageInitTest, ReplyBeforeTheSendReturnsIsReported) {
    adapter.Bus().DuringNextTransmit([this] {
        CanFrameRecord reply = MakeFrame(7, false, {1});
        cipher.EncipherPayload(reply.Data);
        const auto before = window->FramesHandled();
        adapter.Bus().Deliver(0, {reply});
        ASSERT_TRUE(adapter.Bus().WaitFor([&] { return window->FramesHandled() > before; }));
    });
    const CommandResult request = window->InitStorage();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"确认初始化？", "初始化SD卡成功",
                                                    "初次初始化大概需要1分钟时间，请耐心等待!"}));
    EXPECT_FALSE(window->StorageInitPending()) << "the reply ended the wait";
    EXPECT_TRUE(request.succeeded) << "the request went out, though nothing is pending now";
    ASSERT_TRUE(window->StorageReply().has_value());
    EXPECT_TRUE(window->StorageReply()->succeeded);
}

TEST_F(StorageInitTest, RefusedRequestLeavesNothingPending) {
    adapter.Bus().RefuseFrame(1);
    EXPECT_EQ(window->InitStorage(),
              (CommandResult{false, SEND_FAILED, "警告", ui::MB_ICONQUESTION, {}}));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"确认初始化？", SEND_FAILED}));
    EXPECT_FALSE(window->StorageInitPending());
    DeviceSends(0, {MakeFrame(7, false, {1})});
    EXPECT_EQ(host.Boxes().size(), 2u) << "a reply to a request never sent is not reported";
}

TEST_F(StorageInitTest, AnsweringNoSendsNothing) {
    host.AnswerNextBoxes({ui::IDNO});
    EXPECT_FALSE(window->InitStorage().succeeded);
    EXPECT_TRUE(adapter.Bus().Transmitted().empty());
    EXPECT_FALSE(window->StorageInitPending());
}

TEST_F(StorageInitTest, RepliesAreReportedOnceAndOnlyWhenRequested) {
    DeviceSends(0, {MakeFrame(7, false, {1})});
    EXPECT_TRUE(host.Boxes().empty()) << "an unrequested reply shows nothing";
    window->InitStorage();
    host.ClearBoxes();
    DeviceSends(0, {MakeFrame(7, false, {1}), MakeFrame(7, false, {1})});
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0],
              (test::RecordedBox{IDD_MAIN_WINDOW, "初始化SD卡成功", "恭喜", ui::MB_ICONQUESTION}));
    EXPECT_EQ(window->StorageReply(),
              (CommandResult{true, "初始化SD卡成功", "恭喜", ui::MB_ICONQUESTION, {}}));
    for (std::uint8_t d0 : {0, 2}) {
        EXPECT_TRUE(window->InitStorage().succeeded) << "the request went out";
        EXPECT_EQ(window->StorageReply(), std::nullopt) << "no answer to this request yet";
        host.ClearBoxes();
        DeviceSends(1, {MakeFrame(7, false, {d0})});
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"初始化SD卡失败"}) << int(d0);
        EXPECT_EQ(host.Boxes()[0].caption, "警告");
        EXPECT_EQ(window->StorageReply(),
                  (CommandResult{false, "初始化SD卡失败", "警告", ui::MB_ICONQUESTION, {}}));
    }
    DeviceSends(0, {MakeFrame(7, true, {1})});
    EXPECT_EQ(host.Boxes().size(), 1u) << "an extended frame 7 is a parameter frame";
}

TEST_F(StorageInitTest, ReplyBoxIsRaisedOnTheReceiveThread) {
    window->InitStorage();
    std::thread::id boxThread;
    host.SetBoxObserver(
        [&boxThread](const test::RecordedBox&) { boxThread = std::this_thread::get_id(); });
    DeviceSends(0, {MakeFrame(7, false, {1})});
    EXPECT_NE(boxThread, std::this_thread::get_id());
}

}  // namespace
}  // namespace quillon::app

namespace quillon::app {
namespace {

// Raises boxes on the user-interface thread, as a GUI host does.
class MarshallingHost : public test::ScriptedHost {
  public:
    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override {
        const std::string textCopy(text);
        const std::string captionCopy(caption);
        return CallOnUiThread([&] {
            onUiThread = OnUiThread();
            return ScriptedHost::MessageBox(owner, textCopy, captionCopy, style);
        });
    }
    std::atomic<bool> onUiThread{false};
};

TEST(StorageReplyDuringDisconnectTest, DisconnectPumpsSoTheReceiveThreadsBoxIsAnswered) {
    test::ScriptedAdapterScope adapter;
    test::FakeSystem system;
    MarshallingHost host;
    CQuillonDlg window(host, system.services);
    window.Create();
    window.Click(IDC_CONNECT);
    window.InitStorage();
    ASSERT_TRUE(window.StorageInitPending());
    CanFrameRecord reply = test::MakeFrame(7, false, {1});
    protocol::Cpc1crypt(protocol::FIRMWARE_KEY).EncipherPayload(reply.Data);
    adapter.Bus().Deliver(0, {reply});
    // The receive thread now waits for its box on the UI thread, which is busy here.
    ASSERT_TRUE(adapter.Bus().WaitFor([&] { return host.PendingMessages() == 1; }));
    window.Click(IDC_CONNECT);
    EXPECT_FALSE(window.IsRunning());
    EXPECT_EQ(host.BoxTexts().back(), "初始化SD卡成功");
    EXPECT_TRUE(host.onUiThread);
}

}  // namespace
}  // namespace quillon::app

namespace quillon::app {
namespace {

TEST_F(StorageInitTest, ReplyWhileTheWaitBoxIsOpenClosesItBeforeTheResultOpens) {
    // The reply arrives and is answered while the wait box is still on screen.
    bool pendingWhileOpen = false;
    std::optional<CommandResult> replyWhileOpen;
    host.SetBoxObserver([&, this](const test::RecordedBox& box) {
        if (box.text != "初次初始化大概需要1分钟时间，请耐心等待!") {
            return;
        }
        pendingWhileOpen = window->StorageInitPending();
        CanFrameRecord reply = MakeFrame(7, false, {1});
        cipher.EncipherPayload(reply.Data);
        const auto before = window->FramesHandled();
        adapter.Bus().Deliver(0, {reply});
        ASSERT_TRUE(adapter.Bus().WaitFor([&] { return window->FramesHandled() > before; }));
        replyWhileOpen = window->StorageReply();
    });
    EXPECT_TRUE(window->InitStorage().succeeded);
    EXPECT_TRUE(pendingWhileOpen);
    EXPECT_EQ(replyWhileOpen,
              (CommandResult{true, "初始化SD卡成功", "恭喜", ui::MB_ICONQUESTION, {}}));
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"确认初始化？", "初次初始化大概需要1分钟时间，请耐心等待!",
                                        "初始化SD卡成功"}));
    EXPECT_EQ(host.BoxLog(),
              (std::vector<std::string>{"opened: 确认初始化？", "answered: 确认初始化？",
                                        "opened: 初次初始化大概需要1分钟时间，请耐心等待!",
                                        "closed: 初次初始化大概需要1分钟时间，请耐心等待!",
                                        "opened: 初始化SD卡成功", "answered: 初始化SD卡成功"}))
        << "closing the result must not lead back to the wait";
    EXPECT_FALSE(window->StorageInitPending());
}

}  // namespace
}  // namespace quillon::app
