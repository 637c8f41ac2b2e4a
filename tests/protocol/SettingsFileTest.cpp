#include "protocol/SettingsFile.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "protocol/BlockChecksum.hpp"
#include "protocol/BtrTable.hpp"

namespace quillon::protocol {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Where each section starts in the file, plus the end of the file.
constexpr std::array<std::size_t, SETTINGS_SECTION_COUNT + 1> SECTION_STARTS{0,   328, 656,  672,
                                                                             804, 936, 1380, 1672};

std::size_t SectionAt(std::size_t fileOffset) {
    std::size_t s = 0;
    while (SECTION_STARTS[s + 1] <= fileOffset) {
        ++s;
    }
    return s;
}

// Values that differ from a fresh record in every section but filters2, which stays all zero.
SettingsSections Distinctive() {
    SettingsSections s;
    s.can1 = CanPara::Defaults();
    s.can1.baudIndex = 3;
    s.can1.filterCount = 1;
    s.can1.filters[0] = {.used = 1, .idStart = 0x100, .idEnd = 0x1FF, .interval = 10};
    s.can2 = CanPara::Defaults();
    s.can2.baudIndex = CUSTOM_BAUD_INDEX;
    s.can2.btr0 = 0x05;
    s.can2.btr1 = 0x1C;
    s.sys.fileSizeMB = 64;
    s.sys.sysOption = 0x5A;
    s.filters1.enable = 1;
    s.filters1.filterCount = 2;
    s.filters1.matchValue = {0x123, 0x18FF0000};
    s.bridge.ruleCount = 2;
    s.bridge.bridgeFlags = BridgePara::FLAG_CAN1_FORWARD_ALL | BridgePara::FLAG_CAN2_FORWARD_ALL;
    s.bridge.rules[0].direction = 2;
    s.replay.sendMode = 1;
    s.replay.ruleCount = 1;
    s.replay.repeatAll = 5;
    s.replay.auxValue = 9;
    s.replay.rules[0].fileName = {'l', 'o', 'g'};
    return s;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("quillon_settings_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        file = dir / SETTINGS_FILE_NAME;
    }
    void TearDown() override { fs::remove_all(dir); }

    static Bytes ReadAll(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteAll(const fs::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    // Saves `sections` and returns the file's bytes.
    Bytes Saved(SettingsSections sections) {
        EXPECT_TRUE(WriteSettingsFile(file, sections));
        return ReadAll(file);
    }

    fs::path dir;
    fs::path file;
};

TEST_F(SettingsFileTest, MissingFileFailsEverySectionAndTouchesNothing) {
    SettingsSections sections = Distinctive();
    const SettingsChecks ok = ReadSettingsFile(dir / "absent.dat", sections);
    EXPECT_EQ(ok, SettingsChecks{});
    EXPECT_EQ(sections, Distinctive());
}

TEST_F(SettingsFileTest, MissingFileStartsChannelsAtFullSpeedAndListsEmpty) {
    SettingsSections sections = Distinctive();
    ApplySettingsFallbacks(sections, ReadSettingsFile(dir / "absent.dat", sections));
    EXPECT_EQ(sections.can1, CanPara::Defaults());
    EXPECT_EQ(sections.can2, CanPara::Defaults());
    EXPECT_FALSE(ApplyBaudTable(sections.can1));
    EXPECT_EQ(sections.can1.btr0, 0x00);
    EXPECT_EQ(sections.can1.btr1, 0x3C);
    EXPECT_EQ(sections.can1.enable, 1);
    EXPECT_EQ(sections.bridge.ruleCount, 0);
    EXPECT_EQ(sections.replay.ruleCount, 0);
}

TEST_F(SettingsFileTest, SavedFileHoldsEachSectionBehindItsChecksum) {
    SettingsSections sections = Distinctive();
    ASSERT_TRUE(WriteSettingsFile(file, sections));
    const Bytes bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), SETTINGS_FILE_SIZE);
    for (std::size_t s = 0; s < SETTINGS_SECTION_COUNT; ++s) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(SECTION_STARTS[s]);
        const auto last = bytes.begin() + static_cast<std::ptrdiff_t>(SECTION_STARTS[s + 1]);
        const auto sum = std::accumulate(first + 1, last, 0u);
        EXPECT_EQ(*first, static_cast<std::uint8_t>(~sum)) << "section " << s;
    }
    EXPECT_EQ(bytes[SECTION_STARTS[Index(SettingsSection::Filters2)]], 0xFF);  // all-zero section
    EXPECT_EQ(sections.replay.checksum, bytes[SECTION_STARTS[Index(SettingsSection::Replay)]]);
    const auto image = EncodeSettings(sections);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.begin(), image.end()));
}

TEST_F(SettingsFileTest, SaveThenReadRestoresEverySection) {
    SettingsSections saved = Distinctive();
    ASSERT_TRUE(WriteSettingsFile(file, saved));
    SettingsSections loaded;
    SettingsChecks allOk;
    allOk.fill(true);
    EXPECT_EQ(ReadSettingsFile(file, loaded), allOk);
    EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsFileTest, AnySingleCorruptByteFailsOnlyItsSection) {
    const Bytes good = Saved(Distinctive());
    for (std::size_t offset = 0; offset < good.size(); ++offset) {
        Bytes bad = good;
        bad[offset] ^= 0x5A;
        WriteAll(file, bad);
        SettingsSections loaded;
        SettingsChecks expected;
        expected.fill(true);
        expected[SectionAt(offset)] = false;
        ASSERT_EQ(ReadSettingsFile(file, loaded), expected) << "corrupt byte " << offset;
    }
}

struct FallbackRow {
    const char* name;
    std::size_t corruptOffset;  // byte flipped with 0xFF
    void (*expect)(SettingsSections& expected);
};

class SettingsFallbackTest : public SettingsFileTest,
                             public ::testing::WithParamInterface<FallbackRow> {};

TEST_P(SettingsFallbackTest, FailedSectionFallsBackAndTheOthersLoad) {
    SettingsSections expected = Distinctive();
    UpdateChecksums(expected);
    Bytes bytes = Saved(expected);
    bytes[GetParam().corruptOffset] ^= 0xFF;
    WriteAll(file, bytes);
    SettingsSections loaded;
    ApplySettingsFallbacks(loaded, ReadSettingsFile(file, loaded));
    GetParam().expect(expected);
    EXPECT_EQ(loaded, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, SettingsFallbackTest,
    ::testing::Values(
        FallbackRow{"Can1", 2, [](SettingsSections& s) { s.can1 = CanPara::Defaults(); }},
        FallbackRow{"Can2", 328 + 100, [](SettingsSections& s) { s.can2 = CanPara::Defaults(); }},
        FallbackRow{"SystemStartsFromItsDefaults", 656 + 4,
                    [](SettingsSections& s) { s.sys = SysPara::Defaults(); }},
        FallbackRow{"Filters1StartAllZero", 672 + 20,
                    [](SettingsSections& s) { s.filters1 = HardFilterPara{}; }},
        FallbackRow{"Filters2StartAllZero", 804 + 1,
                    [](SettingsSections& s) { s.filters2 = HardFilterPara{}; }},
        FallbackRow{"BridgeStartsEmpty", 936 + 5,
                    [](SettingsSections& s) { s.bridge = BridgePara{}; }},
        FallbackRow{"ReplayStartsEmpty", 1380 + 20,
                    [](SettingsSections& s) { s.replay = ReplayPara{}; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct LoadRow {
    const char* name;
    std::vector<std::size_t> corruptOffsets;  // bytes flipped with 0x01 in a saved file
    std::size_t length;                       // bytes of the saved file kept; 0: no file at all
    std::vector<SettingsSection> reset;
};

class SettingsLoadTest : public SettingsFileTest, public ::testing::WithParamInterface<LoadRow> {};

// What the load replaces and what it tells: a missing file resets everything and tells nothing
// (a first start), a damaged one names the sections it gave their starting values.
TEST_P(SettingsLoadTest, ReportsTheDamagedSectionsItReset) {
    const LoadRow& row = GetParam();
    if (row.length > 0) {
        Bytes bytes = Saved(Distinctive());
        for (const std::size_t offset : row.corruptOffsets) {
            bytes[offset] ^= 0x01;
        }
        bytes.resize(row.length);
        WriteAll(file, bytes);
    }
    // Every byte 0x11: no section of it passes its check, and none matches the file's.
    SettingsSections loaded = DecodeSettings(Bytes(SETTINGS_FILE_SIZE, 0x11)).sections;
    EXPECT_EQ(LoadSettingsFile(file, loaded), row.reset);
    SettingsSections expected = Distinctive();
    UpdateChecksums(expected);
    SettingsChecks ok{};
    ok.fill(row.length > 0);
    for (const SettingsSection section : row.reset) {
        ok[Index(section)] = false;
    }
    ApplySettingsFallbacks(expected, ok);
    EXPECT_EQ(loaded, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsLoadTest,
    ::testing::Values(
        LoadRow{"Whole", {}, SETTINGS_FILE_SIZE, {}}, LoadRow{"Missing", {}, 0, {}},
        LoadRow{"DamagedBridgeAndReplay",
                {936 + 2, 1380 + 8},
                SETTINGS_FILE_SIZE,
                {SettingsSection::Bridge, SettingsSection::Replay}},
        LoadRow{"DamagedChecksumByteOfCan2", {328}, SETTINGS_FILE_SIZE, {SettingsSection::Can2}},
        LoadRow{"ShortEndingInTheFilters",
                {},
                700,
                {SettingsSection::Filters1, SettingsSection::Filters2, SettingsSection::Bridge,
                 SettingsSection::Replay}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, ProblemAndWarningNameTheSectionsByKeyAndLabel) {
    Bytes bytes = Saved(Distinctive());
    bytes[3] ^= 0x01;
    bytes[804 + 7] ^= 0x01;
    WriteAll(file, bytes);
    EXPECT_EQ(SettingsFileProblem(file), file.string() + ": checksum of can1, filters2 wrong");
    EXPECT_EQ(SectionResetWarning(file, SettingsSection::Filters2),
              file.string() +
                  ": the filters2 section (CAN2高级设置) fails its checksum; loading the file "
                  "gives it its starting values");
    EXPECT_EQ(SectionResetWarning("QXCfg.dat", SettingsSection::System),
              "QXCfg.dat: the sys section (系统参数设置) fails its checksum; loading the file "
              "gives it its starting values");
}

TEST_F(SettingsFileTest, ShortFileKeepsUnreadBytesAndLetsTheirChecksumsDecide) {
    SettingsSections saved = Distinctive();
    ASSERT_TRUE(WriteSettingsFile(file, saved));
    const Bytes full = ReadAll(file);
    WriteAll(file, Bytes(full.begin(), full.begin() + 680));  // 8 bytes into filters1
    SettingsSections before;
    before.filters1.matchValue[5] = 0x77;
    before.bridge.ruleCount = 4;
    before.replay.repeatAll = 3;
    UpdateChecksums(before);
    before.bridge.checksum ^= 1;
    SettingsSections loaded = before;
    const SettingsChecks ok = ReadSettingsFile(file, loaded);
    EXPECT_EQ(ok, (SettingsChecks{true, true, true, false, true, false, true}));
    EXPECT_EQ(loaded.can1, saved.can1);
    EXPECT_EQ(loaded.can2, saved.can2);
    EXPECT_EQ(loaded.sys, saved.sys);
    const auto filters = loaded.filters1.ToBytes();
    const auto old = before.filters1.ToBytes();
    EXPECT_TRUE(std::equal(filters.begin(), filters.begin() + 8, full.begin() + 672));
    EXPECT_TRUE(std::equal(filters.begin() + 8, filters.end(), old.begin() + 8));
    EXPECT_EQ(loaded.filters2, before.filters2);
    EXPECT_EQ(loaded.bridge, before.bridge);
    EXPECT_EQ(loaded.replay, before.replay);
}

TEST_F(SettingsFileTest, FixedRateTakesTheTableAndCustomRateKeepsStoredRegisters) {
    SettingsSections saved = Distinctive();
    saved.can1.baudIndex = 3;
    saved.can1.btr0 = 0x55;
    saved.can1.btr1 = 0x66;
    ASSERT_TRUE(WriteSettingsFile(file, saved));
    SettingsSections loaded;
    ReadSettingsFile(file, loaded);
    EXPECT_FALSE(ApplyBaudTable(loaded.can1));
    EXPECT_EQ(loaded.can1.btr0, 0x07);
    EXPECT_EQ(loaded.can1.btr1, 0x3C);
    EXPECT_TRUE(ApplyBaudTable(loaded.can2));
    EXPECT_EQ(loaded.can2.btr0, 0x05);
    EXPECT_EQ(loaded.can2.btr1, 0x1C);
}

TEST(BaudTableTest, EachFixedRateHasItsRegisterPair) {
    const std::array<std::pair<std::uint8_t, std::uint8_t>, 7> expected{{{0x00, 0x3C},
                                                                         {0x01, 0x3C},
                                                                         {0x03, 0x3C},
                                                                         {0x07, 0x3C},
                                                                         {0x08, 0x4D},
                                                                         {0x10, 0x4E},
                                                                         {0x26, 0x5F}}};
    for (std::uint8_t index = 0; index < expected.size(); ++index) {
        CanPara can;
        can.baudIndex = index;
        EXPECT_FALSE(ApplyBaudTable(can));
        EXPECT_EQ(std::pair(can.btr0, can.btr1), expected[index]) << "baudIndex " << int{index};
    }
}

TEST_F(SettingsFileTest, TwentyAcceptanceFiltersLoadAsStored) {
    SettingsSections saved = Distinctive();
    saved.filters2.filterCount = 20;
    ASSERT_TRUE(WriteSettingsFile(file, saved));
    SettingsSections loaded;
    EXPECT_TRUE(ReadSettingsFile(file, loaded)[Index(SettingsSection::Filters2)]);
    EXPECT_EQ(loaded.filters2.filterCount, 20);
}

TEST_F(SettingsFileTest, SaveOverALongerFileLeavesExactlyTheRecord) {
    WriteAll(file, Bytes(4000, 0xAB));
    SettingsSections sections = Distinctive();
    ASSERT_TRUE(WriteSettingsFile(file, sections));
    const auto image = EncodeSettings(sections);
    EXPECT_EQ(ReadAll(file), Bytes(image.begin(), image.end()));
}

TEST_F(SettingsFileTest, SaveIntoMissingDirectorySaysWhereAndLeavesNothing) {
    SettingsSections sections = Distinctive();
    const fs::path target = dir / "missing" / SETTINGS_FILE_NAME;
    const SaveResult result = WriteSettingsFile(target, sections);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, "cannot create a temporary copy of " + target.string() +
                                  ": No such file or directory");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(SettingsFileTest, FailedReplaceKeepsWhatWasThereAndRemovesTheTemporary) {
    fs::create_directories(file / "occupied");  // a directory where the file should go
    SettingsSections sections = Distinctive();
    const SaveResult result = WriteSettingsFile(file, sections);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.path, file);
    EXPECT_EQ(result.message.rfind("cannot replace " + file.string() + ": ", 0), 0u)
        << result.message;
    EXPECT_TRUE(fs::exists(file / "occupied"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary copy stays beside it";
}

}  // namespace
}  // namespace quillon::protocol
