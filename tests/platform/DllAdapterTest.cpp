// The "dll" backend against a recording stand-in library: what the program
// passes reaches the other library unchanged, and what it answers comes back.
#include <gtest/gtest.h>

#include <functional>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/system/SharedLibrary.hpp"
#include "support/FakeSystem.hpp"
#include "support/TestLibraries.hpp"
#include "tests/platform/recording/RecordingKelvix.h"

namespace kelvix {
namespace {

using quillon::test::TestLibraryPath;

// Adapter 3 of device type 21: neither is what the program uses, so a default
// in the backend cannot pass for the real value.
constexpr std::uint32_t TYPE = 21;
constexpr std::uint32_t INDEX = 3;

const RecordedCall& LastCall() {
    std::string error;
    static auto library = quillon::sys::SharedLibrary::Load(
        quillon::sys::PathFromUtf8(TestLibraryPath(QUILLON_RECORDING_KELVIX)), error);
    static auto lastCall = reinterpret_cast<decltype(&RecordingLastCall)>(
        library ? library->Symbol("RecordingLastCall") : nullptr);
    EXPECT_NE(lastCall, nullptr) << error;
    return *lastCall();
}

class DllAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetAdapterSpecOverride("dll:" + TestLibraryPath(QUILLON_RECORDING_KELVIX));
        ASSERT_EQ(VCI_OpenDevice(TYPE, INDEX, 0), 1u) << LastOpenError();
    }
    void TearDown() override { CloseAllAdapters(); }
};

TEST_F(DllAdapterTest, OpenReachesTheLibraryWithTypeAndIndex) {
    EXPECT_STREQ(LastCall().name, "VCI_OpenDevice");
    EXPECT_EQ(LastCall().deviceType, TYPE);
    EXPECT_EQ(LastCall().index, INDEX);
    EXPECT_EQ(LastCall().channel, 0u) << "the reserved argument is 0";
}

struct PassThroughCase {
    const char* name;
    std::function<std::int64_t()> call;  ///< makes the call, returns its result
    std::int64_t result;                 ///< what the stand-in answers
    std::uint32_t channel;
};

class PassThroughTest : public DllAdapterTest,
                        public ::testing::WithParamInterface<PassThroughCase> {};

TEST_P(PassThroughTest, ArgumentsAndResultPassUnchanged) {
    const PassThroughCase& c = GetParam();
    EXPECT_EQ(c.call(), c.result);
    EXPECT_STREQ(LastCall().name, c.name);
    EXPECT_EQ(LastCall().deviceType, TYPE);
    EXPECT_EQ(LastCall().index, INDEX);
    EXPECT_EQ(LastCall().channel, c.channel);
}

CanFrameRecord frames[3] = {{0x123, 0, 0, 0, 0, 0, 1, {7}, {}}, {}, {}};
CanFrameRecord received[50];
CanErrorRecord errorRecord;
std::uint32_t reference = 1000;

INSTANTIATE_TEST_SUITE_P(
    EachCall, PassThroughTest,
    ::testing::Values(
        PassThroughCase{"VCI_StartCAN", [] { return VCI_StartCAN(TYPE, INDEX, 1); }, 1, 1},
        PassThroughCase{"VCI_InitCAN",
                        [] {
                            const CanInitRecord init{1, 0x10, 0, 0, 0xFF, 0xFF, 0};
                            return VCI_InitCAN(TYPE, INDEX, 0, &init);
                        },
                        1, 0},
        PassThroughCase{"VCI_Transmit", [] { return VCI_Transmit(TYPE, INDEX, 1, frames, 3); }, 2,
                        1},
        PassThroughCase{"VCI_Receive",
                        [] { return VCI_Receive(TYPE, INDEX, 0, received, 50, 200); }, 1, 0},
        PassThroughCase{"VCI_ReadErrInfo",
                        [] { return VCI_ReadErrInfo(TYPE, INDEX, 1, &errorRecord); }, 1, 1},
        PassThroughCase{"VCI_SetReference",
                        [] { return VCI_SetReference(TYPE, INDEX, 0, 30, &reference); }, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DllAdapterTest, RecordsAndCountsCrossTheLibraryIntact) {
    const CanInitRecord init{1, 0x10, 0, 0, 0xFF, 0xFF, 0};
    ASSERT_EQ(VCI_InitCAN(TYPE, INDEX, 0, &init), 1u);
    EXPECT_EQ(LastCall().init.AccCode, 1u);
    EXPECT_EQ(LastCall().init.AccMask, 0x10u);
    EXPECT_EQ(LastCall().init.Timing0, 0xFF);
    EXPECT_EQ(LastCall().init.Timing1, 0xFF);

    ASSERT_EQ(VCI_Transmit(TYPE, INDEX, 1, frames, 3), 2u) << "a short count stays short";
    EXPECT_EQ(LastCall().count, 3u);
    EXPECT_EQ(LastCall().firstFrameId, 0x123u);

    ASSERT_EQ(VCI_Receive(TYPE, INDEX, 0, received, 50, 200), 1);
    EXPECT_EQ(LastCall().count, 50u);
    EXPECT_EQ(LastCall().waitMs, 200);
    EXPECT_EQ(received[0].ID, static_cast<std::uint32_t>(RECORDING_RECEIVED_ID));
    EXPECT_EQ(received[0].ExternFlag, 1);
    EXPECT_EQ(received[0].DataLen, 2);
    EXPECT_EQ(received[0].Data[0], 0xA5);
    EXPECT_EQ(received[0].Data[1], 0x5A);

    std::uint32_t value = 1000;
    ASSERT_EQ(VCI_SetReference(TYPE, INDEX, 0, 3, &value), 1u);
    EXPECT_EQ(LastCall().refType, 3u);
    EXPECT_EQ(LastCall().refValue, 1000u);

    CanErrorRecord error{};
    ASSERT_EQ(VCI_ReadErrInfo(TYPE, INDEX, 1, &error), 1u);
    EXPECT_EQ(error.ErrCode, static_cast<std::uint32_t>(RECORDING_ERROR_CODE));
}

TEST_F(DllAdapterTest, CloseReachesTheLibrary) {
    ASSERT_EQ(VCI_CloseDevice(TYPE, INDEX), 1u);
    EXPECT_STREQ(LastCall().name, "VCI_CloseDevice");
    EXPECT_EQ(LastCall().deviceType, TYPE);
    EXPECT_EQ(LastCall().index, INDEX);
}

struct RefusalCase {
    const char* name;
    std::string spec;
    std::string error;  ///< LastOpenError() in full
};

class DllRefusalTest : public ::testing::TestWithParam<RefusalCase> {
  protected:
    void TearDown() override { CloseAllAdapters(); }
};

TEST_P(DllRefusalTest, OpenFailsAndSaysWhy) {
    SetAdapterSpecOverride(GetParam().spec);
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    // Paths read as they were given, Windows backslashes included.
    EXPECT_EQ(LastOpenError(), GetParam().error);
}

std::string Partial() {
    return TestLibraryPath(QUILLON_PARTIAL_KELVIX);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, DllRefusalTest,
    ::testing::Values(RefusalCase{"MissingCallIsNamed", "dll:" + Partial(),
                                  "adapter 0 (dll:" + Partial() + "): " + Partial() +
                                      " is not an adapter library: it lacks VCI_SetReference"},
                      RefusalCase{
                          "NoPath", "dll:",
                          "adapter 0 (dll:): dll: needs the path of an adapter library, e.g. "
                          "dll:/opt/adapter/libkelvix.so"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DllLoadTest, LoadsFromAFolderWithANonAsciiName) {
    quillon::test::TempDir dir;
    const auto source = quillon::sys::PathFromUtf8(TestLibraryPath(QUILLON_RECORDING_KELVIX));
    const auto folder = dir.Path() / quillon::sys::PathFromUtf8("适配器 库");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(source, folder / source.filename());
    SetAdapterSpecOverride("dll:" + quillon::sys::PathToUtf8(folder / source.filename()));
    EXPECT_EQ(VCI_OpenDevice(TYPE, 7, 0), 1u) << LastOpenError();
    CloseAllAdapters();
}

TEST(DllLoadTest, AMissingLibraryIsNamedInTheError) {
    const std::string missing = TestLibraryPath("no-such-adapter-library.so");
    SetAdapterSpecOverride("dll:" + missing);
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    EXPECT_EQ(LastOpenError().rfind("adapter 0 (dll:" + missing + "): cannot load " + missing, 0),
              0u)
        << LastOpenError();
    CloseAllAdapters();
}

}  // namespace
}  // namespace kelvix
