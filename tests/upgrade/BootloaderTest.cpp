#include <thread>

#include <gtest/gtest.h>

#include "sim/Bootloader.hpp"
#include "sim/Sha256.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"

namespace quillon::test {
namespace {

using sim::Bootloader;

constexpr std::uint32_t ERASE_MS = 8000;

CanFrameRecord Command(std::uint32_t id) {
    CanFrameRecord frame = MakeFrame(id, true, {}, 0);
    frame.RemoteFlag = 1;
    return frame;
}

CanFrameRecord Data(std::vector<std::uint8_t> bytes) {
    const auto length = static_cast<std::uint8_t>(bytes.size());
    return MakeFrame(1, false, std::move(bytes), length);
}

class BootloaderTest : public ::testing::Test {
  protected:
    /// Erase, let the erase time pass, program.
    void Prepare() {
        ASSERT_TRUE(loader.OnFrame(Command(1)));
        clock.AdvanceMs(ERASE_MS);
        ASSERT_TRUE(loader.OnFrame(Command(2)));
        ASSERT_TRUE(loader.Programming());
    }

    FakeClock clock;
    Bootloader loader{clock, ERASE_MS};
};

TEST_F(BootloaderTest, FramesBeforeTheEraseEndsOrTheProgramCommandAreLost) {
    EXPECT_TRUE(loader.OnFrame(Data({1, 2})));  // idle: no erase yet
    EXPECT_TRUE(loader.OnFrame(Command(2)));    // program without erase
    loader.OnFrame(Command(1));
    clock.AdvanceMs(ERASE_MS - 1);
    EXPECT_TRUE(loader.Erasing());
    loader.OnFrame(Data({3}));
    loader.OnFrame(Command(2));  // one millisecond early
    clock.AdvanceMs(1);
    EXPECT_FALSE(loader.Erasing());
    loader.OnFrame(Data({4}));  // erased, but no program command yet
    EXPECT_EQ(loader.LostFrames(), 5u);
    EXPECT_FALSE(loader.Programming());
    EXPECT_EQ(loader.ImageLength(), 0u);

    loader.OnFrame(Command(2));
    loader.OnFrame(Data({5, 6, 7, 8, 9, 10, 11, 12}));
    loader.OnFrame(Data({13}));
    loader.OnFrame(Data({}));
    EXPECT_EQ(loader.Image(), (std::vector<std::uint8_t>{5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(loader.FramesReceived(), 3u);
    EXPECT_EQ(loader.LostFrames(), 5u);
}

TEST_F(BootloaderTest, OnlyUpgradeFramesAreClaimed) {
    Prepare();
    CanFrameRecord extendedData = MakeFrame(1, true, {9}, 1);  // a configuration frame
    CanFrameRecord standardRemote = MakeFrame(1, false, {}, 0);
    standardRemote.RemoteFlag = 1;
    CanFrameRecord overlong = Data({1});
    overlong.DataLen = 9;
    EXPECT_FALSE(loader.OnFrame(extendedData));
    EXPECT_FALSE(loader.OnFrame(standardRemote));
    EXPECT_FALSE(loader.OnFrame(MakeFrame(2, false, {9}, 1)));
    EXPECT_FALSE(loader.OnFrame(Command(3)));
    EXPECT_TRUE(loader.OnFrame(overlong));
    EXPECT_EQ(loader.LostFrames(), 1u);
    EXPECT_EQ(loader.ImageLength(), 0u);
}

TEST_F(BootloaderTest, EraseStartsOverAndResetForgetsEverything) {
    Prepare();
    loader.OnFrame(Data({1, 2, 3}));
    loader.OnFrame(Command(1));
    EXPECT_FALSE(loader.Programming());
    EXPECT_EQ(loader.ImageLength(), 0u);
    EXPECT_EQ(loader.Sha256Hex(), sim::Sha256::HexOf({}));
    loader.OnFrame(Data({4}));
    loader.Reset();
    EXPECT_EQ(loader.LostFrames(), 0u);
    EXPECT_FALSE(loader.Erasing());
    clock.AdvanceMs(ERASE_MS);
    loader.OnFrame(Command(2));
    EXPECT_FALSE(loader.Programming()) << "the erase before Reset no longer counts";
}

TEST_F(BootloaderTest, HashFollowsTheImageWhileAnotherThreadReads) {
    Prepare();
    std::vector<std::uint8_t> expected;
    std::thread reader([this] {
        while (loader.FramesReceived() < 2000) {
            EXPECT_EQ(loader.Sha256Hex().size(), 64u);
        }
    });
    for (std::size_t i = 0; i < 2000; ++i) {
        std::vector<std::uint8_t> bytes(i % 9, static_cast<std::uint8_t>(i));
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        loader.OnFrame(Data(bytes));
    }
    reader.join();
    EXPECT_EQ(loader.Image(), expected);
    EXPECT_EQ(loader.Sha256Hex(), sim::Sha256::HexOf(expected));
}

}  // namespace
}  // namespace quillon::test
