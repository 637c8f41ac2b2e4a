// Files named by the user are checked for their kind before a byte is read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string_view>
#include <vector>

#include "platform/system/InputFile.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sys {
namespace {

namespace fs = std::filesystem;

class InputFileTest : public ::testing::Test {
  protected:
    fs::path At(const char* name) const { return dir.Path() / name; }
    fs::path WriteFile(const char* name, const std::string& bytes) const {
        std::ofstream(At(name), std::ios::binary) << bytes;
        return At(name);
    }
    fs::path MakeFifo(const char* name) const {
        EXPECT_EQ(::mkfifo(At(name).c_str(), 0600), 0);
        return At(name);
    }

    test::TempDir dir;
};

TEST_F(InputFileTest, ReadsAtMostTheLimitAndTellsALongerFile) {
    struct Row {
        const char* name;
        std::string content;
        std::size_t limit;
        std::string expected;
        bool longer;
    };
    const Row rows[] = {
        {"empty", "", 4, "", false},
        {"shorter", "abc", 4, "abc", false},
        {"exact", "abcd", 4, "abcd", false},
        {"one more", "abcde", 4, "abcd", true},
        {"far longer", std::string(10000, 'x'), 2, "xx", true},
    };
    for (const auto& row : rows) {
        const auto read = ReadInputFile(WriteFile("f.dat", row.content), row.limit);
        ASSERT_TRUE(read.ok) << row.name << ": " << read.error;
        EXPECT_EQ(std::string(read.bytes.begin(), read.bytes.end()), row.expected) << row.name;
        EXPECT_EQ(read.longer, row.longer) << row.name;
        EXPECT_EQ(read.error, "") << row.name;
    }
}

// Lines are handed on whole however the blocks fall, the last one even
// without a line end; CR stays, as it is part of the line's bytes.
TEST_F(InputFileTest, LinesAreWholeAcrossBlocks) {
    struct Row {
        const char* name;
        std::string content;
        std::size_t blockBytes;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"empty file", "", 4, {}},
        {"one line end only", "\n", 4, {""}},
        {"blank lines kept", "a\n\nb\n", 64, {"a", "", "b"}},
        {"last line without end", "ab\ncd", 64, {"ab", "cd"}},
        {"line longer than a block", "abcdefgh\nij\n", 3, {"abcdefgh", "ij"}},
        {"line end at a block's last byte", "ab\ncd\n", 3, {"ab", "cd"}},
        {"file of exactly one block", "abc", 3, {"abc"}},
        {"CR kept", "a\r\nb", 2, {"a\r", "b"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> lines;
        const std::string error = ReadInputLines(
            WriteFile("lines.txt", row.content),
            [&](std::string_view line) { lines.emplace_back(line); }, row.blockBytes);
        EXPECT_EQ(error, "") << row.name;
        EXPECT_EQ(lines, row.expected) << row.name;
    }
}

TEST_F(InputFileTest, RefusesEverythingButARegularFileWithoutBlocking) {
    fs::create_directory(At("sub"));
    const fs::path fifo = MakeFifo("pipe");
    fs::create_symlink(fifo, At("link-to-pipe"));
    struct Row {
        const char* name;
        fs::path path;
        std::string expected;
    };
    const Row rows[] = {
        {"directory", At("sub"), At("sub").string() + " is a directory"},
        {"FIFO without writer", fifo, fifo.string() + " is not a regular file"},
        {"link to a FIFO", At("link-to-pipe"),
         At("link-to-pipe").string() + " is not a regular file"},
        {"endless device", "/dev/zero", "/dev/zero is not a regular file"},
        {"missing", At("none.dat"),
         "cannot open " + At("none.dat").string() + ": No such file or directory"},
    };
    for (const auto& row : rows) {
        const auto read = ReadInputFile(row.path, 16);
        EXPECT_FALSE(read.ok) << row.name;
        EXPECT_TRUE(read.bytes.empty()) << row.name;
        EXPECT_EQ(read.error, row.expected) << row.name;
        EXPECT_EQ(InputFileProblem(row.path), row.expected) << row.name;
        std::vector<std::string> lines;
        EXPECT_EQ(
            ReadInputLines(row.path, [&](std::string_view line) { lines.emplace_back(line); }),
            row.expected)
            << row.name;
        EXPECT_TRUE(lines.empty()) << row.name;
    }
    EXPECT_EQ(InputFileProblem(WriteFile("ok.dat", "1")), "");
}

TEST_F(InputFileTest, OutputNeedsAnExistingDirectoryAndAFileThatIsRegularOrNew) {
    fs::create_directory(At("sub"));
    const fs::path plain = WriteFile("plain", "x");
    const fs::path fifo = MakeFifo("pipe");
    struct Row {
        const char* name;
        fs::path path;
        std::string expected;
    };
    const Row rows[] = {
        {"new file", At("new.log"), ""},
        {"existing file", plain, ""},
        {"directory", At("sub"), At("sub").string() + " is a directory"},
        {"FIFO", fifo, fifo.string() + " is not a regular file"},
        {"missing directory", At("nodir") / "x.log",
         "cannot create " + (At("nodir") / "x.log").string() + " in " + At("nodir").string() +
             ": No such file or directory"},
        {"under a file", plain / "x.log",
         "cannot examine " + (plain / "x.log").string() + ": Not a directory"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(OutputFileProblem(row.path), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace quillon::sys
