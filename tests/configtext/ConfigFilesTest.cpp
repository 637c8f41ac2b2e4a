// The three files of a settings directory read whole and checked, and saved
// whole: a damaged file is refused with its name, never read as defaults.
#include <gtest/gtest.h>

#include <fstream>

#include "configtext/ConfigFiles.hpp"
#include "dtu/DtuSettingsFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "tests/configtext/ConfigSamples.hpp"
#include "tests/support/FakeSystem.hpp"

namespace quillon::configtext {
namespace {

std::vector<char> FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <std::size_t N>
std::vector<char> AsChars(const std::array<std::uint8_t, N>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(ConfigFiles, SaveWritesTheThreeFilesReadGivesThemBack) {
    test::TempDir directory;
    const ConfigRecords records = test::PageMadeRecords();
    ASSERT_EQ(SaveConfigDirectory(directory.Path(), records), "");
    EXPECT_EQ(FileBytes(directory.Path() / "QXCfg.dat"),
              AsChars(protocol::EncodeSettings(records.sections)));
    EXPECT_EQ(FileBytes(directory.Path() / "QXCfgDTU.dat"), AsChars(records.dtuBasic.ToBytes()));
    EXPECT_EQ(FileBytes(directory.Path() / "QXCfgDTUHL.dat"), AsChars(records.dtuAdv.ToBytes()));
    std::string why;
    EXPECT_EQ(ReadConfigDirectory(directory.Path(), why), records);
    EXPECT_EQ(why, "");
}

struct DamageCase {
    const char* name;
    const char* file;
    std::size_t offset;  ///< the byte flipped; past the end: the file is cut there
    std::string why;     ///< after the file's path
};

const DamageCase DAMAGES[] = {
    {"ReplaySection", "QXCfg.dat", 1400, ": checksum of replay wrong"},
    {"BasicDtuRecord", "QXCfgDTU.dat", 7, ": checksum wrong"},
    {"ShortAdvancedDtuRecord", "QXCfgDTUHL.dat", 10000, " has 100 bytes, expected 196"},
};

class DamagedDirectory : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedDirectory, IsRefusedNamingTheFile) {
    test::TempDir directory;
    ASSERT_EQ(SaveConfigDirectory(directory.Path(), test::PageMadeRecords()), "");
    const auto file = directory.Path() / GetParam().file;
    std::vector<char> bytes = FileBytes(file);
    if (GetParam().offset < bytes.size()) {
        bytes[GetParam().offset] ^= 0x40;
    } else {
        bytes.resize(100);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<long>(bytes.size()));
    std::string why;
    EXPECT_FALSE(ReadConfigDirectory(directory.Path(), why).has_value());
    EXPECT_EQ(why, sys::PathToUtf8(file) + GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedDirectory, testing::ValuesIn(DAMAGES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigFiles, ASaveThatCannotReplaceOneFileChangesNone) {
    test::TempDir directory;
    const ConfigRecords before = test::PageMadeRecords();
    ASSERT_EQ(SaveConfigDirectory(directory.Path(), before), "");
    const auto settings = FileBytes(directory.Path() / "QXCfg.dat");
    // A directory where the advanced DTU file belongs cannot be replaced.
    std::filesystem::remove(directory.Path() / "QXCfgDTUHL.dat");
    std::filesystem::create_directory(directory.Path() / "QXCfgDTUHL.dat");
    ConfigRecords after = before;
    after.sections.can1.baudIndex = 3;
    EXPECT_NE(SaveConfigDirectory(directory.Path(), after), "");
    EXPECT_EQ(FileBytes(directory.Path() / "QXCfg.dat"), settings);
}

}  // namespace
}  // namespace quillon::configtext
