#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/FrameTrace.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"

namespace kelvix {
namespace {

using quillon::test::MakeFrame;

TEST(FrameTraceTest, LinesInCandumpLogFormatWithDirection) {
    struct Row {
        const char* name;
        CanFrameRecord frame;
        std::uint32_t channel;
        TraceDirection direction;
        const char* expected;
    };
    CanFrameRecord remote = MakeFrame(0x201, true, {}, 0);
    remote.RemoteFlag = 1;
    CanFrameRecord remoteWithLength = MakeFrame(0x7FF, false, {}, 3);
    remoteWithLength.RemoteFlag = 1;
    const Row rows[] = {
        {"standard", MakeFrame(0x8, false, {1, 0xFF, 0xAB}, 3), 0, TraceDirection::Transmitted,
         "(12.000250) can0 008#01FFAB T"},
        {"extended", MakeFrame(0x1FF, true, {0, 1, 2, 3, 4, 5, 6, 7}), 1, TraceDirection::Received,
         "(12.000250) can1 000001FF#0001020304050607 R"},
        {"empty", MakeFrame(0x0, false, {}, 0), 0, TraceDirection::Received,
         "(12.000250) can0 000# R"},
        {"remote", remote, 0, TraceDirection::Transmitted, "(12.000250) can0 00000201#R T"},
        {"remote with length", remoteWithLength, 1, TraceDirection::Transmitted,
         "(12.000250) can1 7FF#R3 T"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatTraceLine(row.frame, row.channel, row.direction, 12.00025), row.expected)
            << row.name;
    }
}

// The stamps come from the clock the library was given: a trace of a run on
// fake time reads that time, not the machine's.
TEST(FrameTraceTest, LinesAreStampedWithTheInjectedClock) {
    quillon::test::TempDir dir;
    const auto trace = dir.Path() / "trace.log";
    quillon::test::FakeClock clock;
    clock.SetUnixTimeUs(1'796'639'415'123'456);
    // Closes the adapter and lets go of the clock however the test ends.
    struct Scope {
        explicit Scope(const quillon::sys::Clock& clock) { SetTraceClock(&clock); }
        ~Scope() {
            CloseAllAdapters();
            SetTraceClock(nullptr);
        }
    } scope(clock);
    SetTraceFileOverride(trace.string());
    SetAdapterSpecOverride("sim:bus=stamp-test,nodevice");
    auto peer = VirtualCanBus::Named("stamp-test")->Attach(1);
    ASSERT_EQ(VCI_OpenDevice(KELVIX_DEVICE_TYPE, 0, 0), 1u);
    CanFrameRecord sent = MakeFrame(0x123, false, {0x42}, 1);
    ASSERT_EQ(VCI_Transmit(KELVIX_DEVICE_TYPE, 0, 0, &sent, 1), 1u);
    clock.AdvanceMs(250);
    ASSERT_EQ(VCI_Transmit(KELVIX_DEVICE_TYPE, 0, 0, &sent, 1), 1u);
    VCI_CloseDevice(KELVIX_DEVICE_TYPE, 0);

    std::ifstream in(trace, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text,
              "(1796639415.123456) can0 123#42 T\n"
              "(1796639415.373456) can0 123#42 T\n");
}

// Runs python-can's candump log reader over `trace` and returns one line per
// frame: "channel id extended remote rx dlc hexdata".
std::string ReadWithPythonCan(const std::filesystem::path& trace) {
    const std::string command =
        "/usr/bin/python3 -c \"import can,sys\n"
        "for m in can.CanutilsLogReader(sys.argv[1]):\n"
        "  print(m.channel, hex(m.arbitration_id), m.is_extended_id, m.is_remote_frame, m.is_rx,"
        " m.dlc, bytes(m.data or b'').hex())\" " +
        trace.string() + " 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
            output += buffer.data();
        }
        ::pclose(pipe);
    }
    return output;
}

TEST(FrameTraceTest, TraceOfSentAndReceivedFramesIsReadByPythonCan) {
    if (std::system("/usr/bin/python3 -c 'import can' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3-can is not installed";
    }
    quillon::test::TempDir dir;
    const auto trace = dir.Path() / "trace.log";
    SetTraceFileOverride(trace.string());
    SetAdapterSpecOverride("sim:bus=trace-test,nodevice");
    auto bus = VirtualCanBus::Named("trace-test");
    auto peer = bus->Attach(1);
    ASSERT_EQ(VCI_OpenDevice(4, 0, 0), 1u);
    CanFrameRecord sent = MakeFrame(0x1FF, true, {0xDE, 0xAD, 0xBE, 0xEF}, 4);
    ASSERT_EQ(VCI_Transmit(4, 0, 0, &sent, 1), 1u);
    peer->Send(MakeFrame(0x7, false, {1}, 1));
    CanFrameRecord received[50];
    ASSERT_EQ(VCI_Receive(4, 0, 1, received, 50, 1000), 1);
    VCI_CloseDevice(4, 0);
    CloseAllAdapters();

    EXPECT_EQ(ReadWithPythonCan(trace),
              "can0 0x1ff True False False 4 deadbeef\n"
              "can1 0x7 False False True 1 01\n");
}

}  // namespace
}  // namespace kelvix
