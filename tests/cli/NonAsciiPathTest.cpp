// Every file quillon-cli is given by name works from a folder named in Chinese:
// the names arrive in UTF-8 and must reach the system whole (on Windows a
// narrow path would go through the ANSI code page and lose them).
#include <gtest/gtest.h>

#include <fstream>

#include "frontends/cli/ExitCode.hpp"
#include "platform/system/Utf8Path.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

class NonAsciiPathTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(Folder()); }
    void TearDown() override { kelvix::CloseAllAdapters(); }

    fs::path Folder() const { return system.directory.Path() / sys::PathFromUtf8("设置 目录"); }
    /// `name` in the folder, as the user types it: UTF-8.
    std::string Typed(const char* name) const {
        return sys::PathToUtf8(Folder() / sys::PathFromUtf8(name));
    }
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }

    test::FakeSystem system;
};

TEST_F(NonAsciiPathTest, SettingsAndTraceAreWrittenShownAndDecoded) {
    const std::string trace = Typed("总线.log");
    const auto write = Run({"--adapter", "sim:state=none", "--settings-dir",
                            sys::PathToUtf8(Folder()), "--trace", trace, "write", "--defaults"});
    ASSERT_EQ(write.status, EXIT_OK) << write.err;
    EXPECT_EQ(fs::file_size(Folder() / "QXCfg.dat"), 1672u);
    EXPECT_TRUE(fs::is_regular_file(sys::PathFromUtf8(trace)));

    const auto shown = Run({"show", Typed("QXCfg.dat"), "--json"});
    EXPECT_EQ(shown.status, EXIT_OK) << shown.err;
    const auto decoded = Run({"decode", trace});
    EXPECT_EQ(decoded.status, EXIT_OK) << decoded.err;
    EXPECT_NE(decoded.out.find(" T "), std::string::npos) << decoded.out;
}

TEST_F(NonAsciiPathTest, AnImageIsStreamedFromItsName) {
    const std::string image = Typed("固件.bin");
    std::ofstream(sys::PathFromUtf8(image), std::ios::binary) << "firmware";
    const auto run = Run({"--adapter", "sim:erase-ms=0,state=none", "upgrade", image, "--json"});
    EXPECT_EQ(run.status, EXIT_OK) << run.out << run.err;
    EXPECT_NE(run.out.find(R"({"phase":"writing","percent":100,"bytesSent":8,"framesSent":1})"),
              std::string::npos)
        << run.out;
}

TEST_F(NonAsciiPathTest, TheSimulatedDeviceKeepsItsStateUnderItsName) {
    const std::string state = Typed("设备.state");
    const auto run = Run({"--adapter", "sim:state=" + state, "--settings-dir",
                          sys::PathToUtf8(Folder()), "write", "--defaults"});
    ASSERT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_TRUE(fs::is_regular_file(sys::PathFromUtf8(state)));
}

}  // namespace
}  // namespace quillon::cli
