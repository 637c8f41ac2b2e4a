// The simulated device alone on a bus: DTU writes and debug lines as the PC
// sends them, enciphered.
#include "sim/SimulatedDevice.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/system/Utf8Path.hpp"
#include "protocol/DtuFrames.hpp"
#include "protocol/ParameterFrames.hpp"
#include "sim/DeviceState.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

using namespace std::chrono_literals;

template <std::size_t N>
void Put(std::array<std::uint8_t, N>& field, std::uint8_t& length, std::string_view text) {
    std::copy(text.begin(), text.end(), field.begin());
    length = static_cast<std::uint8_t>(text.size());
}

class SimulatedDeviceTest : public ::testing::Test {
  protected:
    SimulatedDeviceTest() {
        device = std::make_unique<SimulatedDevice>(bus, DeviceConfig{}, clock,
                                                   [this](const std::string& line) {
                                                       std::lock_guard lock(mutex);
                                                       lines.push_back(line);
                                                   });
        Put(basic.serverAddr, basic.serverAddrLen, "gw.example.net");
        basic.serverPort = 9000;
        basic.connectMode = 2;
        Put(basic.heartbeat, basic.heartbeatLen, "PING");
        basic.uartBaud = 9600;
        Put(advanced.apn, advanced.apnLen, "CMIOT");
        Put(advanced.wakePhone.digits, advanced.wakePhone.length, "10086");
        advanced.timedStartMin = 1440;
    }
    void Send(CanFrameRecord frame) {
        cipher.EncipherPayload(frame.Data);
        pc->SendOn(0, frame);
    }

  public:
    void SendAll(const std::vector<CanFrameRecord>& frames, std::uint32_t channel = 0) {
        for (CanFrameRecord frame : frames) {
            cipher.EncipherPayload(frame.Data);
            pc->SendOn(channel, frame);
        }
    }
    // One whole parameter write, split by the adapter channel each part goes
    // out on when a fresh program writes: CAN1 values 3 / 0x2A, two CAN1
    // acceptance filters, file size 64.
    struct Write {
        std::vector<CanFrameRecord> channel0;
        std::vector<CanFrameRecord> channel1;
    };
    static Write WholeWrite() {
        using namespace protocol;
        CanPara can1 = CanPara::Defaults();
        can1.baudIndex = 3;
        can1.btr0 = 0x2A;
        HardFilterPara filters1;
        filters1.filterCount = 2;
        filters1.matchValue = {0x111, 0x222};
        SysPara sys;
        sys.fileSizeMB = 64;
        Write write;
        write.channel0.push_back(BuildOpeningFrame());
        const auto block0 = BuildChannelBlock(can1, 11);
        write.channel0.insert(write.channel0.end(), block0.begin(), block0.end());
        const auto filterBlock0 = BuildHardFilterBlock(filters1);
        write.channel0.insert(write.channel0.end(), filterBlock0.begin(), filterBlock0.end());
        const auto block1 = BuildChannelBlock(CanPara::Defaults(), 11);
        write.channel1.assign(block1.begin(), block1.end());
        write.channel1.push_back(BuildHardFilterBlock(HardFilterPara{}).front());
        write.channel1.push_back(BuildBridgeHeader(BridgePara{}));
        write.channel1.push_back(BuildReplayHeader(ReplayPara{}));
        write.channel1.push_back(BuildSystemFrame(sys));
        write.channel1.push_back(BuildTimeFrame({2026, 12, 8, 9, 0, 0, 0}));
        const auto closing = BuildClosingCommands();
        write.channel1.insert(write.channel1.end(), closing.begin(), closing.end());
        return write;
    }

  protected:
    bool WaitForWrites(std::uint64_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (device->WritesApplied() < count && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return device->WritesApplied() == count;
    }
    // The device works on its own thread: waits, bounded and without sleeping,
    // until `count` event lines were logged.
    std::vector<std::string> WaitForLines(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            {
                std::lock_guard lock(mutex);
                if (lines.size() >= count || std::chrono::steady_clock::now() > deadline) {
                    return lines;
                }
            }
            std::this_thread::yield();
        }
    }
    // Frames the device sent, deciphered; waits for `count` of them.
    std::vector<CanFrameRecord> Receive(std::size_t count) {
        std::vector<CanFrameRecord> frames;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        CanFrameRecord buffer[16];
        while (frames.size() < count && std::chrono::steady_clock::now() < deadline) {
            const std::size_t got = pc->Receive(buffer, 20ms);
            for (std::size_t i = 0; i < got; ++i) {
                cipher.DecipherPayload(buffer[i].Data);
                frames.push_back(buffer[i]);
            }
        }
        return frames;
    }
    static CanFrameRecord DebugFrame(std::string_view text) {
        CanFrameRecord frame{};
        frame.ID = 0xF0;
        frame.DataLen = static_cast<std::uint8_t>(text.size());
        std::copy(text.begin(), text.end(), frame.Data);
        return frame;
    }

    test::FakeClock clock;
    protocol::Cpc1crypt cipher;
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::mutex mutex;
    std::vector<std::string> lines;
    std::unique_ptr<SimulatedDevice> device;
    protocol::DtuBasicPara basic;
    protocol::DtuAdvPara advanced;
};

// A second write that loses a frame of its address keeps the address of the
// first and takes every field that did arrive whole.
TEST_F(SimulatedDeviceTest, DtuWritesAreReassembledFieldByField) {
    const auto frames = protocol::BuildDtuFrames(basic, advanced).frames;
    SendAll(frames);
    ASSERT_EQ(WaitForLines(1), std::vector<std::string>{"DTU record received (26 frames): server "
                                                        "gw.example.net:9000, APN CMIOT"});
    EXPECT_EQ(device->DtuBasic(), basic);
    EXPECT_EQ(device->DtuAdvanced(), advanced);
    EXPECT_EQ(device->DtuFrames().size(), frames.size());

    protocol::DtuBasicPara second = basic;
    Put(second.serverAddr, second.serverAddrLen, "other.example.org");
    second.serverPort = 9100;
    protocol::DtuAdvPara secondAdvanced = advanced;
    Put(secondAdvanced.apn, secondAdvanced.apnLen, "3GNET");
    auto torn = protocol::BuildDtuFrames(second, secondAdvanced).frames;
    ASSERT_EQ(torn[1].ID, 0x11u);
    torn.erase(torn.begin() + 1);
    SendAll(torn);
    const auto logged = WaitForLines(2);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[1], "DTU record received (" + std::to_string(torn.size()) + " frames)")
        << "no summary for a record that did not arrive whole";
    EXPECT_EQ(device->DtuBasic().serverAddr, basic.serverAddr);
    EXPECT_EQ(device->DtuBasic().serverPort, 9100u);
    EXPECT_EQ(device->DtuAdvanced().apn, secondAdvanced.apn);
}

struct ArrivalCase {
    const char* name;
    // Sends the write's two channel parts in some interleaving.
    void (*send)(SimulatedDeviceTest& test, const SimulatedDeviceTest::Write& write);
};

class WriteArrival : public SimulatedDeviceTest,
                     public ::testing::WithParamInterface<ArrivalCase> {};

// The two channels reach the device through separate connections (sockets,
// buses), so a channel may lag the other by a whole write.
TEST_P(WriteArrival, IsAppliedOnceWholeWhateverTheInterleaving) {
    GetParam().send(*this, WholeWrite());
    ASSERT_TRUE(WaitForWrites(1)) << "the write was not applied";
    const auto store = device->Parameters();
    EXPECT_EQ(store.can1.baudIndex, 3);
    EXPECT_EQ(store.can1.btr0, 0x2A);
    EXPECT_EQ(store.filters1.filterCount, 2);
    EXPECT_EQ(store.filters1.matchValue[1], 0x222u);
    EXPECT_EQ(store.sys.fileSizeMB, 64);
}

INSTANTIATE_TEST_SUITE_P(
    Interleavings, WriteArrival,
    ::testing::Values(ArrivalCase{"InSendingOrder",
                                  [](SimulatedDeviceTest& t, const SimulatedDeviceTest::Write& w) {
                                      t.SendAll(w.channel0, 0);
                                      t.SendAll(w.channel1, 1);
                                  }},
                      ArrivalCase{"ChannelOneFirst",
                                  [](SimulatedDeviceTest& t, const SimulatedDeviceTest::Write& w) {
                                      t.SendAll(w.channel1, 1);
                                      t.SendAll(w.channel0, 0);
                                  }},
                      ArrivalCase{"LastFilterAfterTheClosingCommand",
                                  [](SimulatedDeviceTest& t, const SimulatedDeviceTest::Write& w) {
                                      t.SendAll({w.channel0.begin(), w.channel0.end() - 1}, 0);
                                      t.SendAll(w.channel1, 1);
                                      t.SendAll({w.channel0.back()}, 0);
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatedDeviceTest, WriteWithoutItsClosingCommandIsNotApplied) {
    const auto write = WholeWrite();
    SendAll(write.channel0, 0);
    SendAll({write.channel1.begin(), write.channel1.end() - 1}, 1);
    SendAll(protocol::BuildDtuFrames(basic, advanced).frames, 0);
    ASSERT_EQ(WaitForLines(1).size(), 1u) << "the device has taken every frame before it";
    EXPECT_EQ(device->WritesApplied(), 0u);
    EXPECT_EQ(device->Parameters(), protocol::FactorySettings()) << "a fresh device";
    SendAll(write.channel0, 0);
    SendAll(write.channel1, 1);
    ASSERT_TRUE(WaitForWrites(1));
    EXPECT_EQ(device->Parameters().sys.fileSizeMB, 64);
}

// A command ends once its last frame is handed over; a device switched off
// right then (the command line's own simulated device goes with its session)
// still takes what had reached it, and keeps it.
TEST_F(SimulatedDeviceTest, AWriteThatReachedTheDeviceIsKeptWhenItStopsAtOnce) {
    const test::TempDir dir;
    DeviceConfig config;
    config.statePath = sys::PathToUtf8(dir.Path() / "device.state");
    device = std::make_unique<SimulatedDevice>(bus, config, clock);
    const auto write = WholeWrite();
    SendAll(write.channel0, 0);
    SendAll(write.channel1, 1);
    device.reset();
    const StateLoad kept = LoadDeviceState(config.statePath, {config.type, config.serial});
    ASSERT_TRUE(kept.state.has_value()) << kept.warning;
    EXPECT_EQ(kept.state->store.sys.fileSizeMB, 64);
    EXPECT_EQ(kept.state->store.can1.btr0, 0x2A);
}

// The identity and system frames of a read answer, written out from the
// frame table; channel 0 carries them first, then its sections, then 0 / 01.
TEST_F(SimulatedDeviceTest, ReadAnswerStartsWithTheIdentityFramesByteForByte) {
    DeviceConfig config;
    config.type = 2;
    config.serial = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C};
    config.hardwareVersion = 0x0102;
    config.firmwareVersion = 0x0B03;
    device = std::make_unique<SimulatedDevice>(bus, config, clock);
    protocol::SettingsSections store = device->Parameters();
    store.sys.fileSizeMB = 64;
    store.sys.cyclicOverwrite = 1;
    store.sys.firstFrameTimeZero = 0;
    store.sys.errorProofing = 3;
    device->SetParameters(store);
    CanFrameRecord request{};
    request.ID = protocol::ID_READ_REQUEST;
    request.DataLen = 8;
    request.Data[0] = 0xFF;
    pc->SendOn(0, request);  // the one plain frame
    const auto answer = Receive(5);
    ASSERT_GE(answer.size(), 5u);
    const struct {
        std::uint32_t id;
        std::array<std::uint8_t, 8> data;
    } expected[] = {
        {1, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}},
        {2, {0x09, 0x0A, 0x0B, 0x0C, 0x02, 0x00, 0x00, 0x00}},
        {3, {0x02, 0x01, 0x03, 0x0B, 0x00, 0x00, 0x00, 0x00}},
        {4, {0x40, 0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00}},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(answer[i].ID, expected[i].id);
        EXPECT_EQ(answer[i].ExternFlag, 0);
        EXPECT_EQ(answer[i].DataLen, 8);
        EXPECT_TRUE(std::equal(expected[i].data.begin(), expected[i].data.end(), answer[i].Data));
    }
    EXPECT_EQ(answer[4].ID, 1u) << "channel 0's sections follow";
    EXPECT_EQ(answer[4].ExternFlag, 1);
}

TEST_F(SimulatedDeviceTest, DebugLineIsAnsweredOnceAtEveryLevel) {
    Send(DebugFrame("AT"));
    Send(DebugFrame("+CSQ\r\n"));
    const auto answer = Receive(4);
    ASSERT_EQ(answer.size(), 4u);
    const struct {
        std::uint32_t id;
        std::string data;
    } expected[] = {
        {0xF0, "AT+CSQ\r\n"},
        {0xF1, "ok\r\n"},
        {0xF2, "err 0\r\n"},
        {0xF3, std::string("\x06\x00", 2)},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(answer[i].ID, expected[i].id);
        EXPECT_EQ(answer[i].ExternFlag, 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer[i].Data), answer[i].DataLen),
                  expected[i].data);
    }
    EXPECT_EQ(device->DebugText(), "AT+CSQ\r\n") << "the first frame ended no line";
}

// Without a thread of its own the device takes nothing until its owner hands
// it what arrived; then it takes all of it, more than one batch, at once.
TEST_F(SimulatedDeviceTest, DeviceWithoutItsOwnThreadTakesFramesWhenHandedThem) {
    DeviceConfig config;
    config.ownThread = false;
    device = std::make_unique<SimulatedDevice>(bus, config, clock);
    const auto write = WholeWrite();
    SendAll(write.channel0, 0);
    SendAll(write.channel1, 1);
    const std::vector<CanFrameRecord> debug(70, DebugFrame("x"));
    SendAll(debug);
    EXPECT_EQ(device->FramesReceived(), 0u);
    EXPECT_EQ(device->WritesApplied(), 0u);
    const std::size_t sent = write.channel0.size() + write.channel1.size() + debug.size();
    EXPECT_EQ(device->HandleDelivered(), sent);
    EXPECT_EQ(device->FramesReceived(), sent);
    EXPECT_EQ(device->WritesApplied(), 1u);
    EXPECT_EQ(device->Parameters().sys.fileSizeMB, 64);
    EXPECT_EQ(device->DebugText(), std::string(70, 'x'));
    EXPECT_EQ(device->HandleDelivered(), 0u);
}

}  // namespace
}  // namespace quillon::sim
