// Paths named in UTF-8 reach the file system whole and come back the same, on
// Windows too, where a narrow path would go through the ANSI code page.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/system/InputFile.hpp"
#include "platform/system/ReplaceFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sys {
namespace {

struct NameRow {
    const char* name;
    std::string utf8;
};

class Utf8PathTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(Utf8PathTest, FileCreatedUnderTheNameIsFoundUnderIt) {
    test::TempDir dir;
    const std::filesystem::path folder = dir.Path() / PathFromUtf8(GetParam().utf8);
    ASSERT_TRUE(std::filesystem::create_directories(folder));
    std::ofstream(folder / "QXCfg.dat", std::ios::binary) << "x";

    EXPECT_TRUE(std::filesystem::exists(folder / "QXCfg.dat"));
    EXPECT_EQ(PathToUtf8(folder.filename()), GetParam().utf8);
    const auto listed = std::filesystem::directory_iterator(dir.Path())->path();
    EXPECT_EQ(PathToUtf8(listed.filename()), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Names, Utf8PathTest,
                         ::testing::Values(NameRow{"Ascii", "cfg"}, NameRow{"Chinese", "设置"},
                                           NameRow{"ChineseWithSpace", "程序 目录"},
                                           NameRow{"OutsideTheBmp", "cfg😀"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8PathTest, ConversionsAreExactInverses) {
    const std::string text = "C:/量产/设置/QXCfg.dat";
    EXPECT_EQ(PathToUtf8(PathFromUtf8(text)), text);
    EXPECT_EQ(PathFromUtf8(text).filename(), PathFromUtf8("QXCfg.dat"));
    EXPECT_EQ(PathToUtf8(PathFromUtf8(text).parent_path().filename()), "设置");
}

TEST(Utf8PathTest, SettingsSaveReplacesAFileInAFolderNamedInChinese) {
    test::TempDir dir;
    const std::filesystem::path folder = dir.Path() / PathFromUtf8("程序 目录");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "QXCfg.dat";
    const std::vector<std::uint8_t> first{1, 2, 3};
    const std::vector<std::uint8_t> second{0xD6, 0xD0, 0x00, 0xCE, 0xC4};

    ASSERT_EQ(ReplaceFileBytes(file, first), "");
    ASSERT_EQ(ReplaceFileBytes(file, second), "");

    const InputFileBytes read = ReadInputFile(file, 16);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, second);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(PathToUtf8(entry.path().filename()));
    }
    EXPECT_EQ(names, std::vector<std::string>{"QXCfg.dat"}) << "no temporary copy is left";
}

}  // namespace
}  // namespace quillon::sys
