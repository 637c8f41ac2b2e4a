// The main window against the simulated device on a shared in-process bus.
#include <gtest/gtest.h>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "pages/CDialogDebugMsg.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "protocol/Capacities.hpp"
#include "protocol/DtuFrames.hpp"
#include "protocol/SettingsFile.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::sim {
namespace {

using namespace std::chrono_literals;

template <std::size_t N>
void ClearFrom(std::array<std::uint8_t, N>& bytes, std::size_t length) {
    std::fill(bytes.begin() + static_cast<long>(std::min(length, N)), bytes.end(), 0);
}

// A DTU record as far as its frames carry it: without the file checksum, the
// flags that only say how the page showed a field, and the bytes past each
// field's length (the page may leave an older, longer text there).
protocol::DtuBasicPara AsSent(protocol::DtuBasicPara r) {
    r.checksum = 0;
    r.heartbeatHex = 0;
    r.regHex = 0;
    ClearFrom(r.serverAddr, r.serverAddrLen);
    ClearFrom(r.heartbeat, r.heartbeatLen);
    ClearFrom(r.regPacket, r.regLen);
    return r;
}

protocol::DtuAdvPara AsSent(protocol::DtuAdvPara r) {
    r.checksum = 0;
    r.apnModify = 0;
    ClearFrom(r.backupAddr, r.backupAddrLen);
    ClearFrom(r.apn, r.apnLen);
    for (auto* slot : {&r.smsPhones[0], &r.smsPhones[1], &r.smsPhones[2], &r.smsPhones[3],
                       &r.smsPhones[4], &r.smsPhones[5], &r.wakePhone}) {
        ClearFrom(slot->digits, slot->length);
    }
    return r;
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        const std::string busName = "e2e-" + std::to_string(counter++);
        bus = kelvix::VirtualCanBus::Named(busName);
        DeviceConfig config;
        config.type = 2;
        config.firmwareVersion = 11;
        config.storageDelayMs = 1000;
        device = std::make_unique<SimulatedDevice>(bus, config, deviceClock);
        kelvix::SetAdapterSpecOverride("sim:bus=" + busName + ",nodevice");
        window = std::make_unique<app::CQuillonDlg>(host, system.services);
        window->Create();
        window->Click(app::IDC_CONNECT);
        ASSERT_TRUE(window->IsRunning());
    }
    void TearDown() override {
        window.reset();
        device.reset();
        kelvix::CloseAllAdapters();
    }
    bool PumpUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            host.PumpMessages();
            if (done()) {
                return true;
            }
            host.WaitForMessage(5ms);
        }
        return false;
    }
    void Read() {
        const auto before = window->ReadsJudged();
        ASSERT_TRUE(window->ReadParameters());
        ASSERT_TRUE(PumpUntil([&] { return window->ReadsJudged() > before; }));
        ASSERT_EQ(window->LastVerdict(), app::ReadVerdict::Complete);
    }
    // Every table full, with values that differ per entry; reserved bytes
    // (never sent) stay zero and the bridge lead byte is the 1 the write sends.
    void FillEveryTable() {
        int seed = 1;
        auto next = [&seed] { return static_cast<std::uint8_t>(seed++ * 37); };
        for (auto* page : {&window->Can1Page(), &window->Can2Page()}) {
            auto& can = page->Record();
            can.enable = 1;
            can.baudIndex = 7;
            can.btr0 = next();
            can.btr1 = next();
            can.workMode = 1;
            can.acceptAll = 1;
            can.filterCount = protocol::MAX_CAN_FILTERS;
            for (auto& filter : can.filters) {
                filter = {1, 1, 1, 2, 0x1000u + next(), 0x1FFFFF00u + next(), -100 - next()};
            }
            page->LoadFromRecord();
        }
        for (auto* page : {&window->Advanced1Page(), &window->Advanced2Page()}) {
            auto& filters = page->Record();
            filters.enable = 1;
            filters.filterCount = protocol::MAX_HARD_FILTERS;
            for (std::size_t k = 0; k < protocol::MAX_HARD_FILTERS; ++k) {
                filters.frameFormat[k] = k % 2;
                filters.matchValue[k] = 0x10000u * next() + next();
                filters.matchMask[k] = 0x1FFFFFFFu - next();
            }
        }
        auto& bridge = window->BridgePage().Record();
        bridge.ruleCount = protocol::MAX_BRIDGE_RULES;
        bridge.bridgeFlags = 0x0C;  // bits 0-1 follow the rules (no start-forwarding rule)
        for (auto& rule : bridge.rules) {
            rule.leadByte = 1;
            rule.direction = next() % 3;
            rule.k = next();
            rule.m = next();
            rule.trigger = 2;
            rule.srcFlags = 0xF6;
            rule.srcId = 0x80000000u;
            rule.srcDataMask = next();
            rule.srcLength = 9;
            rule.srcData.fill(next());
            rule.dstFlags = 0xF9;
            rule.dstId = 0x123u + next();
            rule.yMax = next();
            rule.dstDataMask = next();
            rule.kMask = next();
            rule.mMask = next();
            rule.dstLength = 8;
            rule.dstData.fill(next());
        }
        auto& replay = window->ReplayPage().Record();
        replay.sendMode = 2;
        replay.ruleCount = protocol::MAX_REPLAY_RULES;
        replay.repeatAll = 0x1234;
        replay.auxValue = 77;
        for (auto& rule : replay.rules) {
            rule.channelMask = 3;
            rule.times = static_cast<std::uint16_t>(1000 + next());
            rule.intervalSec = 60u + next();
            rule.fileName = {'r', 'e', 'c', 'o', 'r', 'd', '_', next(), 'x', 'y', 'z', 0};
        }
    }
    static protocol::CanPara WithoutChecksum(protocol::CanPara can) {
        can.checksum = 0;
        return can;
    }

    test::FakeSystem system;
    test::FakeClock deviceClock;
    test::ScriptedHost host;
    std::shared_ptr<kelvix::VirtualCanBus> bus;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<app::CQuillonDlg> window;
};

// A device that was never written and a window without a settings file hold
// one record, so comparing them after a factory write finds nothing.
TEST_F(EndToEndTest, AFreshDeviceHoldsTheRecordTheWindowStartsWith) {
    EXPECT_EQ(device->Parameters(), window->Record());
    EXPECT_EQ(window->Record(), protocol::FactorySettings());
    EXPECT_EQ(window->SystemRecord().fileSizeMB, 1) << "the slider's lowest position";
    ASSERT_TRUE(window->WriteParameters().succeeded);
    ASSERT_TRUE(PumpUntil([&] { return device->WritesApplied() == 1; }));
    auto sent = window->Record();
    // The save gave the window's copy its file checksums; those are never sent.
    ForEachSection(sent, [](protocol::SettingsSection, auto& record) { record.checksum = 0; });
    EXPECT_EQ(device->Parameters(), sent) << "the write changed nothing the device held";
}

TEST_F(EndToEndTest, FullRecordWrittenAndReadBackEqualsWhatWasWritten) {
    Read();  // learn the firmware version, so all 20 recording rules are announced
    EXPECT_EQ(window->Identity().firmwareVersion, 11u);
    FillEveryTable();
    const auto written = [this] {
        protocol::SettingsSections s;
        s.can1 = WithoutChecksum(window->Can1Page().Record());
        s.can2 = WithoutChecksum(window->Can2Page().Record());
        s.filters1 = window->Advanced1Page().Record();
        s.filters2 = window->Advanced2Page().Record();
        s.bridge = window->BridgePage().Record();
        s.replay = window->ReplayPage().Record();
        return s;
    }();
    host.ClearBoxes();
    window->WriteParameters();
    ASSERT_EQ(host.BoxTexts().back(), "写入参数成功，请重启设备生效!");
    ASSERT_TRUE(PumpUntil([&] { return device->WritesApplied() == 1; }));
    const auto stored = device->Parameters();
    EXPECT_EQ(stored.can1, written.can1);
    EXPECT_EQ(stored.can2, written.can2);
    EXPECT_EQ(stored.filters1.filterCount, 14);
    EXPECT_EQ(stored.bridge.rules, written.bridge.rules);
    EXPECT_EQ(stored.replay.rules, written.replay.rules);

    // Clear what the read fills, then read it all back.
    window->Advanced1Page().Record() = {};
    window->Advanced2Page().Record() = {};
    window->BridgePage().Record() = {};
    window->ReplayPage().Record() = {};
    Read();
    EXPECT_EQ(WithoutChecksum(window->ReadBackChannel(0)), written.can1);
    EXPECT_EQ(WithoutChecksum(window->ReadBackChannel(1)), written.can2);
    EXPECT_EQ(window->Advanced1Page().Record(), written.filters1);
    EXPECT_EQ(window->Advanced2Page().Record(), written.filters2);
    EXPECT_EQ(window->BridgePage().Record(), written.bridge);
    EXPECT_EQ(window->ReplayPage().Record(), written.replay);
    EXPECT_EQ(window->GetDlgItemText(app::IDC_DEVICE_INFO).substr(0, 9), "CAN网桥");
}

TEST_F(EndToEndTest, DtuRecordsReachTheDeviceWithEveryWrite) {
    auto& basic = window->DtuBasicPage();
    ASSERT_TRUE(basic.TypeText(dtu::DTUDlg::IDC_EDIT_SERVER_ADDR, "gw.example.net"));
    ASSERT_TRUE(basic.TypeText(dtu::DTUDlg::IDC_EDIT_SERVER_PORT, "9000"));
    ASSERT_TRUE(basic.Click(dtu::DTUDlg::IDC_CHECK_HEARTBEAT_HEX));
    ASSERT_TRUE(basic.TypeText(dtu::DTUDlg::IDC_EDIT_HEARTBEAT, "31 32 33"));
    auto& advanced = window->DtuAdvancedPage();
    ASSERT_TRUE(advanced.Click(dtu::DTUHlDlg::IDC_CHECK_APN_MODIFY));
    ASSERT_TRUE(advanced.TypeText(dtu::DTUHlDlg::IDC_EDIT_APN, "CMIOT"));
    ASSERT_TRUE(advanced.TypeText(dtu::DTUHlDlg::PHONE_IDS[0], "13800138000"));
    ASSERT_TRUE(advanced.TypeText(dtu::DTUHlDlg::PHONE_IDS[6], "10086"));
    window->WriteParameters();
    ASSERT_TRUE(PumpUntil([&] { return device->WritesApplied() == 1; }));

    ASSERT_EQ(basic.Record().heartbeatHex, 1) << "the page kept how the heartbeat was typed";
    EXPECT_EQ(basic.Record().heartbeatLen, 3);
    EXPECT_EQ(device->DtuBasic(), AsSent(basic.Record()));
    EXPECT_EQ(device->DtuAdvanced(), AsSent(advanced.Record()));
    EXPECT_EQ(device->DtuAdvanced().wakePhone.length, 5);

    const auto frames = device->DtuFrames();
    const auto expected = protocol::BuildDtuFrames(basic.Record(), advanced.Record()).frames;
    ASSERT_EQ(frames.size(), expected.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].ID, expected[i].ID) << i;
        EXPECT_EQ(frames[i].DataLen, expected[i].DataLen) << i;
        EXPECT_TRUE(
            std::equal(frames[i].Data, frames[i].Data + frames[i].DataLen, expected[i].Data))
            << "frame " << i << " arrived deciphered and intact";
    }
    EXPECT_EQ(frames.back().ID, 0x3Fu);
}

TEST_F(EndToEndTest, StorageInitialisationIsAnsweredAfterTheDevicesDelay) {
    window->InitStorage();
    ASSERT_TRUE(window->StorageInitPending());
    ASSERT_TRUE(PumpUntil([&] { return device->FramesReceived() >= 1; }));
    EXPECT_TRUE(window->StorageInitPending()) << "the device is still busy";
    deviceClock.AdvanceMs(1000);
    ASSERT_TRUE(PumpUntil([&] { return !window->StorageInitPending(); }));
    ASSERT_TRUE(PumpUntil([&] { return host.BoxTexts().back() == "初始化SD卡成功"; }));
}

TEST_F(EndToEndTest, DebugLineReachesTheDeviceAndItsAnswerShowsAtEveryLevel) {
    using pages::CDialogDebugMsg;
    auto& debug = window->DebugPage();
    ASSERT_EQ(debug.IsDlgButtonChecked(CDialogDebugMsg::IDC_CHECK_LINE_END), ui::BST_CHECKED);
    debug.CheckDlgButton(CDialogDebugMsg::IDC_CHECK_LINE_END, ui::BST_UNCHECKED);
    debug.SetDlgItemText(CDialogDebugMsg::IDC_EDIT_SEND, "hello");
    ASSERT_TRUE(debug.Click(CDialogDebugMsg::IDC_BUTTON_SEND));
    debug.CheckDlgButton(CDialogDebugMsg::IDC_CHECK_LINE_END, ui::BST_CHECKED);
    debug.SetDlgItemText(CDialogDebugMsg::IDC_EDIT_SEND, " device");
    ASSERT_TRUE(debug.Click(CDialogDebugMsg::IDC_BUTTON_SEND));
    ASSERT_TRUE(PumpUntil([&] { return device->DebugText() == "hello device\r\n"; }));

    const auto runs = [&] { return debug.GetRuns(CDialogDebugMsg::IDC_RICHEDIT_DISPLAY); };
    ASSERT_TRUE(PumpUntil([&] { return runs().size() >= 4; }));
    const int twips = CDialogDebugMsg::FORMAT_HEIGHT_TWIPS;
    EXPECT_EQ(runs(), (std::vector<ui::TextRun>{{"hello \r\n", 0x000000, 0},
                                                {"ok\r\n", 0x00FF00, twips},
                                                {"err 0\r\n", 0x0000FF, twips},
                                                {"0C 00 ", 0xEE6E43, twips}}))
        << "one answer to the one line: black text, green, red, and the length in hexadecimal";
}

// One device on its bus for the whole test; each step is a session of its
// own (a fresh window connects, does one thing and disconnects), as separate
// quillon-cli runs against a long-lived quillon-devsim are.
class DeviceAcrossSessionsTest : public EndToEndTest {
  protected:
    void NewSession() {
        window.reset();
        host.ClearBoxes();
        window = std::make_unique<app::CQuillonDlg>(host, system.services);
        window->Create();
        window->Click(app::IDC_CONNECT);
        ASSERT_TRUE(window->IsRunning());
    }
    void WriteSession(std::uint8_t baudIndex, int fileSizeMB, std::uint64_t writesBefore) {
        NewSession();
        auto& can1 = window->Can1Page();
        can1.Record().baudIndex = baudIndex;
        can1.ApplyBaudTable();
        can1.LoadFromRecord();
        can1.UpdateData(false);
        window->SysPage().SetPos(pages::CSysParaDlg::IDC_SLIDER_FILE_SIZE, fileSizeMB);
        window->WriteParameters();
        ASSERT_EQ(host.BoxTexts().back(), "写入参数成功，请重启设备生效!");
        ASSERT_TRUE(PumpUntil([&] { return device->WritesApplied() == writesBefore + 1; }))
            << "write " << writesBefore + 1 << " was not applied";
        window->Click(app::IDC_CONNECT);
    }
    void ReadSession(std::uint8_t baudIndex, int fileSizeMB) {
        NewSession();
        Read();
        EXPECT_EQ(window->ReadBackChannel(0).baudIndex, baudIndex);
        EXPECT_EQ(window->SystemRecord().fileSizeMB, fileSizeMB);
        window->Click(app::IDC_CONNECT);
    }
};

TEST_F(DeviceAcrossSessionsTest, WriteReadWriteReadEachGetsTheLatestValues) {
    WriteSession(3, 32, 0);
    ReadSession(3, 32);
    WriteSession(5, 64, 1);
    ReadSession(5, 64);
    EXPECT_EQ(device->Parameters().can1.baudIndex, 5);
    EXPECT_EQ(device->Parameters().sys.fileSizeMB, 64);
}

}  // namespace
}  // namespace quillon::sim
