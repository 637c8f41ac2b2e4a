// Saves replace a file as a whole: through symbolic links, with unique
// temporary copies, and without leaving copies of killed saves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/system/ReplaceFile.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sys {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Save(const fs::path& file, const std::string& text) {
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return ReplaceFileBytes(file, bytes);
}

std::vector<std::string> Names(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The pid of a process that has already ended.
long DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

class ReplaceFileTest : public ::testing::Test {
  protected:
    fs::path At(const std::string& name) const { return dir.Path() / name; }
    test::TempDir dir;
};

TEST_F(ReplaceFileTest, ReplacesTheWholeFileAndLeavesNoCopy) {
    std::ofstream(At("QXCfg.dat")) << "a much longer previous content";
    EXPECT_EQ(Save(At("QXCfg.dat"), "new"), "");
    EXPECT_EQ(Contents(At("QXCfg.dat")), "new");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"QXCfg.dat"});
}

TEST_F(ReplaceFileTest, KeepsThePermissionsOfTheFileItReplaces) {
    std::ofstream(At("QXCfg.dat")) << "old";
    fs::permissions(At("QXCfg.dat"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(Save(At("QXCfg.dat"), "new"), "");
    EXPECT_EQ(fs::status(At("QXCfg.dat")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ReplaceFileTest, ASymbolicLinkIsUpdatedThroughTheLink) {
    fs::create_directory(At("real"));
    std::ofstream(At("real/QXCfg.dat")) << "old";
    fs::create_symlink("real/QXCfg.dat", At("QXCfg.dat"));
    fs::create_symlink(At("QXCfg.dat"), At("second-link"));
    ASSERT_EQ(Save(At("second-link"), "new"), "");
    EXPECT_TRUE(fs::is_symlink(At("QXCfg.dat")));
    EXPECT_TRUE(fs::is_symlink(At("second-link")));
    EXPECT_EQ(Contents(At("real/QXCfg.dat")), "new");
    EXPECT_EQ(Names(At("real")), std::vector<std::string>{"QXCfg.dat"});
}

TEST_F(ReplaceFileTest, CopiesOfKilledSavesAreRemovedOthersKept) {
    const std::string dead = "QXCfg.dat." + std::to_string(DeadPid()) + ".00010002.tmp";
    const std::string alive = "QXCfg.dat." + std::to_string(::getpid()) + ".00030004.tmp";
    for (const std::string& name :
         {dead, alive, std::string("QXCfg.dat.tmp"), std::string("QXCfg.dat.bak.tmp"),
          std::string("Other.dat.1.00000000.tmp")}) {
        std::ofstream(At(name)) << "partial";
    }
    ASSERT_EQ(Save(At("QXCfg.dat"), "new"), "");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"Other.dat.1.00000000.tmp", "QXCfg.dat",
                                                           alive, "QXCfg.dat.bak.tmp"}))
        << "a copy another live save may still be writing stays, and so do other files";
}

TEST_F(ReplaceFileTest, AFailedSaveSaysWhyAndKeepsThePreviousFile) {
    std::ofstream(At("plain")) << "x";
    fs::create_directory(At("QXCfg.dat"));
    struct Row {
        const char* name;
        fs::path file;
        std::string expected;
    };
    const Row rows[] = {
        {"missing directory", At("nodir/QXCfg.dat"),
         "cannot create a temporary copy of " + At("nodir/QXCfg.dat").string() +
             ": No such file or directory"},
        {"under a file", At("plain/QXCfg.dat"),
         "cannot create a temporary copy of " + At("plain/QXCfg.dat").string() +
             ": Not a directory"},
        {"file is a directory", At("QXCfg.dat"),
         "cannot replace " + At("QXCfg.dat").string() + ": Is a directory"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Save(row.file, "new"), row.expected) << row.name;
    }
    EXPECT_EQ(Contents(At("plain")), "x");
    EXPECT_TRUE(fs::is_directory(At("QXCfg.dat")));
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"QXCfg.dat", "plain"}))
        << "no temporary copy stays behind";
}

TEST_F(ReplaceFileTest, ConcurrentSavesNeverPublishAShortOrMixedFile) {
    const std::string first(1672, 'a');
    const std::string second(1672, 'b');
    ASSERT_EQ(Save(At("QXCfg.dat"), first), "");
    std::string errors[2];
    auto saver = [&](const std::string& text, std::string& error) {
        for (int i = 0; i < 100 && error.empty(); ++i) {
            error = Save(At("QXCfg.dat"), text);
        }
    };
    std::thread one(saver, std::cref(first), std::ref(errors[0]));
    std::thread two(saver, std::cref(second), std::ref(errors[1]));
    for (int i = 0; i < 200; ++i) {
        const std::string now = Contents(At("QXCfg.dat"));
        ASSERT_TRUE(now == first || now == second) << "read " << now.size() << " bytes";
    }
    one.join();
    two.join();
    EXPECT_EQ(errors[0], "");
    EXPECT_EQ(errors[1], "");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"QXCfg.dat"});
}

}  // namespace
}  // namespace quillon::sys
