// The main window against the simulated device on a shared in-process bus.
#include <gtest/gtest.h>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "dtu/DtuFrames.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "protocol/Capacities.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::sim {
namespace {

using namespace std::chrono_literals;

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
        const auto before0 = window->CompletionCount(0);
        const auto before1 = window->CompletionCount(1);
        window->ReadParameters();
        ASSERT_TRUE(PumpUntil([&] {
            return window->CompletionCount(0) > before0 && window->CompletionCount(1) > before1;
        }));
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
    window->WriteParameters();
    ASSERT_TRUE(PumpUntil([&] { return device->WritesApplied() == 1; }));
    const auto frames = device->DtuFrames();
    const auto expected =
        dtu::BuildDtuFrames(window->DtuBasicPage().Record(), window->DtuAdvancedPage().Record())
            .frames;
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

TEST_F(EndToEndTest, DebugTextIsDeliveredAndEchoed) {
    auto& debug = window->DebugPage();
    debug.SetDlgItemText(pages::CDialogDebugMsg::IDC_EDIT_SEND, "hello device");
    debug.CheckDlgButton(pages::CDialogDebugMsg::IDC_CHECK_LINE_END, ui::BST_UNCHECKED);
    window->SendMessage(app::WM_APP_DEBUG_SEND, 1, 1);
    ASSERT_TRUE(PumpUntil([&] { return device->DebugText() == "hello device"; }));
    ASSERT_TRUE(PumpUntil(
        [&] { return !debug.GetRuns(pages::CDialogDebugMsg::IDC_RICHEDIT_DISPLAY).empty(); }));
}

}  // namespace
}  // namespace quillon::sim
