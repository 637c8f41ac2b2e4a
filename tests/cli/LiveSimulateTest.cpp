// The simulated device applies the same model live as simulate does offline:
// the same frames played into a device on the in-process bus come out (or are
// recorded) as simulate writes them, frame for frame.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "canlog/CandumpWriter.hpp"
#include "canlog/FrameRecord.hpp"
#include "canlog/LogReader.hpp"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "protocol/Cpc1crypt.hpp"
#include "protocol/DebugFrames.hpp"
#include "protocol/IdentityFrames.hpp"
#include "protocol/SettingsFile.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

using protocol::TimedFrame;

constexpr std::int64_t START_US = 1'796'639'415'000'000;

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<TimedFrame> Frames(const std::string& log) {
    std::vector<TimedFrame> frames;
    const auto reader = canlog::MakeTextLogReader(log, canlog::LogFormat::Candump, "log");
    for (TimedFrame frame; reader->Next(frame);) {
        frames.push_back(frame);
    }
    EXPECT_EQ(reader->Error(), "");
    return frames;
}

std::string Line(const TimedFrame& frame) {
    std::string line;
    canlog::CandumpWriter(canlog::DEFAULT_CHANNEL_NAMES).Write(frame, line);
    return line;
}

// A log on the device's clock: two channels, standard and extended, data and remote.
const std::string LOG = std::string() +
                        "(1796639415.000000) can0 100#0A0B\n"
                        "(1796639415.100000) can1 18DAF110#01020304\n"
                        "(1796639415.200000) can0 7F0#\n"
                        "(1796639415.300000) can0 123#R2\n"
                        "(1796639415.400000) can1 300#AA\n"
                        "(1796639415.500000) can0 101#0102030405060708\n";

class LiveSimulateTest : public ::testing::Test {
  protected:
    void Start(std::uint8_t type) {
        ASSERT_TRUE(protocol::WriteSettingsFile(system.directory.Path() / "QXCfg.dat", settings));
        sim::DeviceConfig config;
        config.type = type;
        config.ownThread = false;
        config.storageDir = storage.Path().string();
        system.clock.SetUnixTimeUs(START_US);
        device = std::make_unique<sim::SimulatedDevice>(bus, config, system.clock);
        device->SetParameters(settings);
        device->Restart();
    }

    std::string Simulate(const std::string& as, const std::filesystem::path& log) {
        const auto out = system.directory.Path() / "simulated.log";
        const auto result =
            test::RunCliInProcess({"--settings-dir", system.directory.Path().string(), "simulate",
                                   "--as", as, log.string(), "-o", out.string()},
                                  system.services);
        EXPECT_EQ(result.status, 0) << result.err;
        return Read(out);
    }

    // Plays the frames at their times; returns what the PC heard, on the device's clock.
    std::string Play(const std::vector<TimedFrame>& frames) {
        std::string heard;
        for (const TimedFrame& frame : frames) {
            system.clock.SetUnixTimeUs(static_cast<std::uint64_t>(frame.timeUs));
            pc->SendOn(static_cast<std::uint32_t>(frame.channel), canlog::ToFrameRecord(frame));
            device->HandleDelivered();
            heard += Heard();
        }
        return heard;
    }

    std::string Heard() {
        std::string lines;
        kelvix::TaggedFrame buffer[64];
        while (const std::size_t count = pc->ReceiveTagged(buffer, std::chrono::milliseconds(0))) {
            for (std::size_t i = 0; i < count; ++i) {
                const TimedFrame frame =
                    canlog::ToTimedFrame(buffer[i].frame, static_cast<int>(buffer[i].channel),
                                         static_cast<std::int64_t>(system.clock.UnixTimeUs()));
                lines += Line(frame);
            }
        }
        return lines;
    }

    std::filesystem::path WriteLog(const std::string& name, const std::string& text) {
        std::ofstream(system.directory.Path() / name, std::ios::binary) << text;
        return system.directory.Path() / name;
    }

    test::FakeSystem system;
    test::TempDir storage;
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::unique_ptr<sim::SimulatedDevice> device;
    protocol::SettingsSections settings = protocol::FactorySettings();
};

protocol::BridgeRule Rule(std::uint8_t direction, std::uint8_t trigger) {
    protocol::BridgeRule rule;
    rule.direction = direction;
    rule.trigger = trigger;
    rule.srcFlags = 0xF0;
    rule.srcId = protocol::BridgeRule::ANY_ID;
    rule.srcLength = 9;
    rule.dstFlags = 0xF0;
    rule.dstId = protocol::BridgeRule::ANY_ID;
    rule.dstLength = 9;
    return rule;
}

// The rule both ways forwards before the stop after it in the list switches
// CAN1->CAN2 off; CAN2 is copied as well.
TEST_F(LiveSimulateTest, BridgeForwardsWhatSimulateForwards) {
    protocol::BridgeRule scale = Rule(2, 2);
    scale.k = 3;
    scale.kMask = 0x0F;
    scale.yMax = 0x20;
    scale.dstId = 0x321;
    scale.dstFlags = 0xF8;
    settings.bridge.rules[0] = scale;
    settings.bridge.rules[1] = Rule(0, 1);
    settings.bridge.rules[1].srcId = 0x7F0;
    settings.bridge.ruleCount = 2;
    settings.bridge.bridgeFlags = protocol::BridgePara::FLAG_CAN2_FORWARD_ALL;
    Start(2);
    const std::string simulated = Simulate("bridge", WriteLog("in.log", LOG));
    EXPECT_EQ(Play(Frames(LOG)), simulated);
    EXPECT_EQ(simulated,
              "(1796639415.000000) can1 321#1E20\n"
              "(1796639415.100000) can0 321#0306090C\n"
              "(1796639415.100000) can0 18DAF110#01020304\n"
              "(1796639415.200000) can1 321#\n"
              "(1796639415.400000) can0 321#20\n"
              "(1796639415.400000) can0 300#AA\n");
}

// The data rule leaves CAN1's remote frame out; CAN2 records everything.
TEST_F(LiveSimulateTest, RecorderStoresWhatSimulateRecords) {
    settings.can1.filters[0].used = 1;
    settings.can1.filters[0].trigger = 2;
    settings.can1.filters[0].idStart = 0x100;
    settings.can1.filters[0].idEnd = 0x1FF;
    settings.can1.filterCount = 1;
    settings.can2.acceptAll = 1;
    Start(1);
    const std::string simulated = Simulate("recorder", WriteLog("in.log", LOG));
    EXPECT_EQ(Play(Frames(LOG)), "");
    EXPECT_EQ(Read(storage.Path() / "REC00001.log"), simulated);
    EXPECT_EQ(simulated,
              "(1796639415.000000) can0 100#0A0B\n"
              "(1796639415.100000) can1 18DAF110#01020304\n"
              "(1796639415.400000) can1 300#AA\n"
              "(1796639415.500000) can0 101#0102030405060708\n");
}

TEST_F(LiveSimulateTest, ReplayerPlaysItsStorageAsSimulateDoes) {
    protocol::ReplayRule entry;
    entry.channelMask = 3;
    entry.times = 2;
    entry.intervalSec = 1;
    std::copy_n("LOG1", 4, entry.fileName.begin());
    settings.replay.rules[0] = entry;
    settings.replay.ruleCount = 1;
    std::ofstream(storage.Path() / "LOG1.log") << LOG;
    Start(3);
    std::string heard;
    for (std::int64_t ms = 0; ms <= 3000; ms += 100) {
        system.clock.SetUnixTimeUs(static_cast<std::uint64_t>(START_US + ms * 1000));
        device->HandleDelivered();
        heard += Heard();
    }
    // simulate plays from time 0: the same lines, START_US later.
    std::string shifted;
    for (TimedFrame frame : Frames(Simulate("replayer", storage.Path() / "LOG1.log"))) {
        frame.timeUs += START_US;
        shifted += Line(frame);
    }
    EXPECT_EQ(heard, shifted);
    EXPECT_EQ(Frames(heard).size(), 12u);
}

TEST_F(LiveSimulateTest, WrittenSettingsTakeEffectOnTheDebugLineRestart) {
    Start(2);
    settings.bridge.rules[0] = Rule(0, 2);
    settings.bridge.ruleCount = 1;
    device->SetParameters(settings);
    const std::vector<TimedFrame> one = Frames("(1796639415.000000) can0 100#01\n");
    EXPECT_EQ(Play(one), "") << "the settings wait for the restart";

    const std::string text = "restart\r\n";
    const protocol::Cpc1crypt cipher;
    for (std::size_t at = 0; at < text.size(); at += 8) {
        const std::string part = text.substr(at, 8);
        CanFrameRecord frame = protocol::BuildDebugFrame(
            0, std::span(reinterpret_cast<const std::uint8_t*>(part.data()), part.size()));
        cipher.EncipherPayload(frame.Data);
        pc->SendOn(0, frame);
    }
    device->HandleDelivered();
    Heard();  // the debug answer
    EXPECT_EQ(Play(one), "(1796639415.000000) can1 100#01\n");
}

TEST_F(LiveSimulateTest, StorageInitialisationEmptiesTheStorage) {
    settings.can1.acceptAll = 1;
    Start(1);
    std::ofstream(storage.Path() / "LOG1.log") << LOG;
    Play(Frames("(1796639415.000000) can0 100#01\n"));
    ASSERT_TRUE(std::filesystem::exists(storage.Path() / "REC00001.log"));
    CanFrameRecord request = protocol::BuildStorageInitRequest();
    protocol::Cpc1crypt().EncipherPayload(request.Data);
    pc->SendOn(0, request);
    device->HandleDelivered();
    EXPECT_TRUE(std::filesystem::is_empty(storage.Path()));
    Play(Frames("(1796639416.000000) can0 200#02\n"));
    EXPECT_EQ(Read(storage.Path() / "REC00001.log"), "(1796639416.000000) can0 200#02\n");
}

}  // namespace
}  // namespace quillon::cli
