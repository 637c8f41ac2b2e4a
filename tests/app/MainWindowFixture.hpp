// A main window on the scripted adapter and fake system services, with
// helpers to connect, deliver device frames and read back what was sent.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "protocol/Capacities.hpp"
#include "protocol/FirmwareKey.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::test {

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { CreateWindow(); }
    void TearDown() override { window.reset(); }

    void CreateWindow() {
        window = std::make_unique<app::CQuillonDlg>(host, system.services);
        window->Create();
    }
    void Connect(int index = 0) {
        window->SetCurSel(app::IDC_ADAPTER_INDEX, index);
        ASSERT_TRUE(window->Click(app::IDC_CONNECT));
        ASSERT_TRUE(window->IsRunning());
    }
    /// Enciphers `frames` as a device would and lets the receive thread hand
    /// them over; then runs what it posted.
    void DeviceSends(std::uint32_t channel, std::vector<CanFrameRecord> frames) {
        const auto before = window->FramesHandled();
        for (auto& frame : frames) {
            cipher.EncipherPayload(frame.Data);
        }
        adapter.Bus().Deliver(channel, frames);
        ASSERT_TRUE(adapter.Bus().WaitFor(
            [&] { return window->FramesHandled() >= before + frames.size(); }));
        host.PumpMessages();
    }
    /// Runs what the receive thread posts until the pending read is judged;
    /// false when its passes never settled it.
    bool AwaitReadVerdict() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (window->ReadPending()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            host.WaitForMessage(std::chrono::milliseconds(5));
            host.PumpMessages();
        }
        return true;
    }
    /// A device's whole answer to a read on `channel` when nothing is announced:
    /// identity frames 1..4, channel frames 1 and 2, the advanced filter header,
    /// on channel 0 the bridge and replay headers, and the completion last.
    static std::vector<CanFrameRecord> WholeAnswer(std::uint32_t channel) {
        std::vector<CanFrameRecord> frames = {MakeFrame(1, false, {1, 2, 3, 4, 5, 6, 7, 8}),
                                              MakeFrame(2, false, {9, 10, 11, 12, 2}),
                                              MakeFrame(3, false, {1, 0, 11, 0}),
                                              MakeFrame(4, false, {16}),
                                              MakeFrame(1, true, {1}),
                                              MakeFrame(2, true, {0, 0}),
                                              MakeFrame(0x100, true, {0, 0})};
        if (channel == 0) {
            frames.push_back(MakeFrame(0x1FF, true, {0}));
            frames.push_back(MakeFrame(0x2FF, true, {0, 0}));
        }
        frames.push_back(MakeFrame(0, false, {1}));
        return frames;
    }
    /// Frames accepted by the adapter, deciphered, with their channel.
    std::vector<std::pair<std::uint32_t, CanFrameRecord>> SentPlain() const {
        auto sent = adapter.Bus().Transmitted();
        for (auto& [channel, frame] : sent) {
            if (frame.RemoteFlag == 0 && !(frame.ExternFlag == 0 && frame.ID == 6)) {
                cipher.DecipherPayload(frame.Data);
            }
        }
        return sent;
    }
    std::vector<std::string> BoxTexts() const { return host.BoxTexts(); }
    /// Every table of the record full: a write then sends 229 parameter frames.
    void FillEveryTable() {
        for (auto* page : {&window->Can1Page(), &window->Can2Page()}) {
            auto& can = page->Record();
            can.filterCount = protocol::MAX_CAN_FILTERS;
            for (auto& filter : can.filters) {
                filter.used = 1;
                filter.idStart = 0x100;
                filter.idEnd = 0x1FF;
            }
            page->LoadFromRecord();
        }
        for (auto* page : {&window->Advanced1Page(), &window->Advanced2Page()}) {
            page->Record().enable = 1;
            page->Record().filterCount = protocol::MAX_HARD_FILTERS;
        }
        window->BridgePage().Record().ruleCount = protocol::MAX_BRIDGE_RULES;
        window->ReplayPage().Record().ruleCount = protocol::MAX_REPLAY_RULES;
    }

    ScriptedAdapterScope adapter;
    FakeSystem system;
    ScriptedHost host;
    protocol::Cpc1crypt cipher{protocol::FIRMWARE_KEY};
    std::unique_ptr<app::CQuillonDlg> window;
};

}  // namespace quillon::test
