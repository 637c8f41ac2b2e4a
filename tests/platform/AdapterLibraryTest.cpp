#include <gtest/gtest.h>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "support/Environment.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"

namespace kelvix {
namespace {

using quillon::test::MakeFrame;
using quillon::test::ScriptedAdapterScope;

TEST(AdapterLibraryTest, CallsOnAnAdapterThatIsNotOpenFail) {
    ScriptedAdapterScope scope;
    CanFrameRecord frame = MakeFrame(1, false, {1});
    CanFrameRecord buffer[50];
    CanErrorRecord error{};
    EXPECT_EQ(VCI_Transmit(4, 0, 0, &frame, 1), 0u);
    EXPECT_EQ(VCI_Receive(4, 0, 0, buffer, 50, 0), -1);
    EXPECT_EQ(VCI_StartCAN(4, 0, 0), 0u);
    EXPECT_EQ(VCI_ReadErrInfo(4, 0, 0, &error), 0u);
    EXPECT_EQ(error.ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_NOT_OPEN));
    EXPECT_EQ(VCI_CloseDevice(4, 0), 0u);
    EXPECT_TRUE(scope.Bus().Calls().empty());
}

TEST(AdapterLibraryTest, ScriptedRefusalIsReportedAsShortCountAndError) {
    ScriptedAdapterScope scope;
    scope.Bus().RefuseFrame(3);
    ASSERT_EQ(VCI_OpenDevice(4, 2, 0), 1u);
    CanFrameRecord frames[4] = {MakeFrame(1, false, {}), MakeFrame(2, false, {}),
                                MakeFrame(3, false, {}), MakeFrame(4, false, {})};
    EXPECT_EQ(VCI_Transmit(4, 2, 1, frames, 4), 2u);
    CanErrorRecord error{};
    EXPECT_EQ(VCI_ReadErrInfo(4, 2, 1, &error), 1u);
    EXPECT_EQ(error.ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_BACKEND));
    EXPECT_EQ(VCI_ReadErrInfo(4, 2, 1, &error), 1u);
    EXPECT_EQ(error.ErrCode, 0u) << "reading the error clears it";
    EXPECT_EQ(VCI_Transmit(4, 2, 3, frames, 1), 0u) << "channel 3 does not exist";
    EXPECT_EQ(scope.Bus().Transmitted().size(), 2u);
    EXPECT_EQ(VCI_CloseDevice(4, 2), 1u);
}

TEST(AdapterLibraryTest, UnknownBackendFailsTheOpenWithAReason) {
    SetAdapterSpecOverride("nosuch:x");
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    EXPECT_NE(LastOpenError().find("unknown adapter backend \"nosuch\""), std::string::npos)
        << LastOpenError();
    CloseAllAdapters();
}

TEST(AdapterLibraryTest, ControlCharactersOfASpecAreEscapedInTheReason) {
    SetAdapterSpecOverride("no\x1b]0;owned\x07such");
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    EXPECT_EQ(LastOpenError(),
              "adapter 0 (no\\x1b]0;owned\\x07such): unknown adapter backend "
              "\"no\\x1b]0;owned\\x07such\" in \"no\\x1b]0;owned\\x07such\"");
    CloseAllAdapters();
}

TEST(AdapterLibraryTest, EscapingKeepsPrintableTextAndUtf8) {
    struct Row {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"plain", "sim:type=2", "sim:type=2"},
        {"chinese", "设备", "设备"},
        {"newline and tab", "a\nb\tc", "a\\x0ab\\x09c"},
        {"delete", "a\x7f", "a\\x7f"},
        {"c1 control in utf-8",
         "a\xc2\x9b"
         "31m",
         "a\\xc2\\x9b31m"},
        {"latin-1 letter in utf-8", "\xc3\xa9", "\xc3\xa9"},
        {"backslash kept", "a\\x1b", "a\\x1b"},
        {"windows path", "C:\\Users\\设备\\kelvix.dll", "C:\\Users\\设备\\kelvix.dll"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(EscapeControlCharacters(row.text), row.expected) << row.name;
    }
}

TEST(AdapterLibraryTest, ATraceThatCannotBeWrittenFailsTheOpen) {
    quillon::test::TempDir dir;
    SetAdapterSpecOverride("sim:nodevice");
    SetTraceFileOverride(dir.Path().string());
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    // The folder reads as it was given, Windows backslashes included.
    EXPECT_EQ(LastOpenError(),
              "adapter 0 (sim:nodevice): trace: " + dir.Path().string() + " is a directory");
    CloseAllAdapters();
}

TEST(AdapterLibraryTest, SpecParsingAndPrecedence) {
    EXPECT_EQ(AdapterSpec::Parse("sim").backend, "sim");
    EXPECT_EQ(AdapterSpec::Parse("socketcan:can0,can1").options, "can0,can1");
    EXPECT_EQ(AdapterSpec::Parse("qcanbus:virtualcan:can0").options, "virtualcan:can0");
    quillon::test::SetEnvironment("KELVIX_ADAPTER", "sim:type=2");
    EXPECT_EQ(CurrentAdapterSpec(), "sim:type=2");
    SetAdapterSpecOverride("scripted");
    EXPECT_EQ(CurrentAdapterSpec(), "scripted");
    SetAdapterSpecOverride({});
    quillon::test::UnsetEnvironment("KELVIX_ADAPTER");
    EXPECT_EQ(CurrentAdapterSpec(), "sim");
}

TEST(AdapterLibraryTest, TwoSimAdaptersOnANamedBusTalkToEachOther) {
    SetAdapterSpecOverride("sim:bus=library-test,nodevice");
    ASSERT_EQ(VCI_OpenDevice(4, 0, 0), 1u);
    ASSERT_EQ(VCI_OpenDevice(4, 1, 0), 1u);
    CanFrameRecord frame = MakeFrame(0x123, true, {9, 8, 7});
    ASSERT_EQ(VCI_Transmit(4, 0, 1, &frame, 1), 1u);
    CanFrameRecord received[50];
    ASSERT_EQ(VCI_Receive(4, 1, 1, received, 50, 1000), 1);
    EXPECT_EQ(received[0].ID, 0x123u);
    EXPECT_EQ(received[0].ExternFlag, 1);
    EXPECT_EQ(received[0].Data[2], 7);
    EXPECT_EQ(VCI_Receive(4, 1, 0, received, 50, 0), 0) << "nothing on channel 0";
    CloseAllAdapters();
}

// refuse=K: frames 1..K-1 (counted from open, across calls and channels)
// go out, frame K and every later one are refused.
TEST(AdapterLibraryTest, SimRefusesFromTheKthFrameOn) {
    auto listener = VirtualCanBus::Named("refuse-test")->Attach(VirtualCanPort::ALL_CHANNELS);
    SetAdapterSpecOverride("sim:bus=refuse-test,nodevice,refuse=4");
    ASSERT_EQ(VCI_OpenDevice(4, 0, 0), 1u);
    const CanFrameRecord frames[] = {MakeFrame(1, false, {1}), MakeFrame(2, false, {2}),
                                     MakeFrame(3, false, {3})};
    EXPECT_EQ(VCI_Transmit(4, 0, 0, frames, 2), 2u);
    EXPECT_EQ(VCI_Transmit(4, 0, 1, frames, 3), 1u) << "frame 4 is the second of this call";
    EXPECT_EQ(VCI_Transmit(4, 0, 0, frames, 1), 0u);
    CanErrorRecord error{};
    ASSERT_EQ(VCI_ReadErrInfo(4, 0, 0, &error), 1u);
    EXPECT_EQ(error.ErrCode, KELVIX_ERR_BACKEND);
    TaggedFrame carried[8];
    ASSERT_EQ(listener->ReceiveTagged(carried, std::chrono::milliseconds(0)), 3u);
    EXPECT_EQ(carried[2].channel, 1u);
    EXPECT_EQ(carried[2].frame.ID, 1u);
    CloseAllAdapters();

    SetAdapterSpecOverride("sim:bus=refuse-test,nodevice,refuse=4");
    ASSERT_EQ(VCI_OpenDevice(4, 0, 0), 1u);
    EXPECT_EQ(VCI_Transmit(4, 0, 0, frames, 3), 3u) << "a new open counts afresh";
    CloseAllAdapters();
}

TEST(AdapterLibraryTest, BadSimAdapterOptionsFailTheOpenWithAReason) {
    for (const char* spec :
         {"sim:nodevice,refuse=0", "sim:nodevice,refuse=x", "sim:refuse=", "sim:nodevice=1",
          "sim:bus=", "sim:nodevice,bitrate=0", "sim:nodevice,bitrate=x", "sim:nodevice,queue=0",
          "sim:nodevice,queue-wait-ms=-1"}) {
        SetAdapterSpecOverride(spec);
        EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u) << spec;
        EXPECT_NE(LastOpenError().find("has a bad value"), std::string::npos) << LastOpenError();
    }
    CloseAllAdapters();
}

}  // namespace
}  // namespace kelvix
