// quillon-cli reaching the simulated device through our own adapter library
// built as a shared library and loaded by the dll backend, the way it reaches
// an adapter through the library that came with it.
#include <gtest/gtest.h>

#include "tests/cli/InProcessCli.hpp"

#include <nlohmann/json.hpp>

#include "frontends/cli/ExitCode.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/Environment.hpp"
#include "support/FakeSystem.hpp"
#include "support/TestLibraries.hpp"

namespace quillon::cli {
namespace {

class SharedLibraryTest : public ::testing::Test {
  protected:
    test::CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--adapter", Spec()});
        return test::RunCliInProcess(std::move(args), system.services);
    }
    static std::string Spec() { return "dll:" + test::TestLibraryPath(QUILLON_SHARED_KELVIX); }
    std::string Dir() const { return sys::PathToUtf8(system.directory.Path()); }

    test::FakeSystem system;
};

TEST_F(SharedLibraryTest, WriteThenReadBackThroughTheLibrary) {
    protocol::SettingsSections sections;
    sections.can1 = protocol::CanPara::Defaults();
    sections.can1.baudIndex = 3;
    sections.can2 = protocol::CanPara::Defaults();
    sections.sys.fileSizeMB = 48;
    ASSERT_TRUE(protocol::WriteSettingsFile(Dir() + "/QXCfg.dat", sections));
    // The library chooses its own backend, as it would for any program.
    test::ScopedEnvironment inner("KELVIX_ADAPTER", "sim:type=3,state=" + Dir() + "/device.dat");

    const auto write = Run({"--settings-dir", Dir(), "write"});
    ASSERT_EQ(write.status, EXIT_OK) << write.out << write.err;
    EXPECT_EQ(write.out, "写入参数成功，请重启设备生效!\n");

    const auto read = Run({"--settings-dir", Dir(), "read", "--json"});
    ASSERT_EQ(read.status, EXIT_OK) << read.out << read.err;
    const auto json = nlohmann::json::parse(read.out);
    EXPECT_EQ(json["can1"]["baudIndex"], 3);
    EXPECT_EQ(json["sys"]["fileSizeMB"], 48);
    EXPECT_EQ(json["identity"]["deviceType"], 3);
    EXPECT_EQ(json["identity"]["deviceTypeName"], "CAN回放仪");
}

// The library carries the build's optional backends, registered once as the
// programs register them, whatever order its sources start in.
TEST_F(SharedLibraryTest, TheBuildsBrindleBackendIsInsideTheLibrary) {
    if (std::string(QUILLON_OPTIONAL_BACKENDS).find("brindle") == std::string::npos) {
        GTEST_SKIP() << "this build has no brindle backend";
    }
    test::ScopedEnvironment inner("KELVIX_ADAPTER", "brindle:type=2,fw=12,state=none");
    const auto read = Run({"read", "--json"});
    ASSERT_EQ(read.status, EXIT_OK) << read.out << read.err;
    const auto json = nlohmann::json::parse(read.out);
    EXPECT_EQ(json["identity"]["deviceType"], 2);
    EXPECT_EQ(json["identity"]["firmwareVersion"], 12);
}

TEST_F(SharedLibraryTest, TheLibraryRefusesToLoadItselfAgain) {
    // The program's choice leaks into the library through the environment:
    // the library must refuse it rather than call into itself for ever.
    test::ScopedEnvironment inner("KELVIX_ADAPTER", Spec());
    const auto read = Run({"read", "--timeout-ms", "100"});
    EXPECT_EQ(read.status, EXIT_NO_ADAPTER) << read.out << read.err;
    EXPECT_NE(read.err.find("VCI_OpenDevice of "), std::string::npos) << read.err;
}

}  // namespace
}  // namespace quillon::cli
