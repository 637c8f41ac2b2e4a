// The simulated device alone on a bus: DTU writes and debug lines as the PC
// sends them, enciphered.
#include "sim/SimulatedDevice.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "dtu/DtuFrames.hpp"
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
    void SendAll(const std::vector<CanFrameRecord>& frames) {
        for (const auto& frame : frames) {
            Send(frame);
        }
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
    dtu::DtuBasicPara basic;
    dtu::DtuAdvPara advanced;
};

// A second write that loses a frame of its address keeps the address of the
// first and takes every field that did arrive whole.
TEST_F(SimulatedDeviceTest, DtuWritesAreReassembledFieldByField) {
    const auto frames = dtu::BuildDtuFrames(basic, advanced).frames;
    SendAll(frames);
    ASSERT_EQ(WaitForLines(1), std::vector<std::string>{"DTU record received (26 frames): server "
                                                        "gw.example.net:9000, APN CMIOT"});
    EXPECT_EQ(device->DtuBasic(), basic);
    EXPECT_EQ(device->DtuAdvanced(), advanced);
    EXPECT_EQ(device->DtuFrames().size(), frames.size());

    dtu::DtuBasicPara second = basic;
    Put(second.serverAddr, second.serverAddrLen, "other.example.org");
    second.serverPort = 9100;
    dtu::DtuAdvPara secondAdvanced = advanced;
    Put(secondAdvanced.apn, secondAdvanced.apnLen, "3GNET");
    auto torn = dtu::BuildDtuFrames(second, secondAdvanced).frames;
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

}  // namespace
}  // namespace quillon::sim
