// quillon-cli against bad input from the file system: every case answers at
// once with a reason and a distinct exit status, and a refused command sends
// nothing to the device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <optional>

#include "frontends/cli/ExitCode.hpp"
#include "protocol/SettingsFile.hpp"
#include "sim/DeviceConfig.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* NOTHING_WRITTEN =
    "; nothing written (--defaults writes anyway, with starting values for what is missing or "
    "damaged)\n";

class FileInputTest : public ::testing::Test {
  protected:
    void TearDown() override { kelvix::CloseAllAdapters(); }

    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string At(const std::string& name) const {
        return (system.directory.Path() / name).string();
    }
    std::string Fifo(const std::string& name) const {
        EXPECT_EQ(::mkfifo(At(name).c_str(), 0600), 0);
        return At(name);
    }
    std::string File(const std::string& name, const std::string& bytes) const {
        std::ofstream(At(name), std::ios::binary) << bytes;
        return At(name);
    }
    std::string ValidSettings(const std::string& directory) const {
        fs::create_directories(At(directory));
        protocol::SettingsSections sections;
        sections.can1 = protocol::CanPara::Defaults();
        sections.can2 = protocol::CanPara::Defaults();
        EXPECT_TRUE(protocol::WriteSettingsFile(At(directory + "/QXCfg.dat"), sections));
        return At(directory);
    }

    test::FakeSystem system;
};

TEST_F(FileInputTest, WriteRefusesSettingsItCannotUseAndSendsNothing) {
    File("plain", "x");
    fs::create_directories(At("empty"));
    fs::create_directories(At("dirfile/QXCfg.dat"));
    fs::create_directories(At("short"));
    File("short/QXCfg.dat", std::string(100, '\0'));
    const std::string corrupt = ValidSettings("corrupt");
    {
        std::fstream patch(corrupt + "/QXCfg.dat", std::ios::in | std::ios::out | std::ios::binary);
        patch.seekp(1400);
        patch.put('\x55');
    }
    fs::create_directories(At("fifo"));
    Fifo("fifo/QXCfg.dat");
    struct Row {
        const char* name;
        std::string directory;
        std::string reason;
    };
    const Row rows[] = {
        {"missing directory", At("typo"),
         "cannot open " + At("typo/QXCfg.dat") + ": No such file or directory"},
        {"directory is a file", At("plain"),
         "cannot open " + At("plain/QXCfg.dat") + ": Not a directory"},
        {"no settings file", At("empty"),
         "cannot open " + At("empty/QXCfg.dat") + ": No such file or directory"},
        {"settings file is a directory", At("dirfile"),
         At("dirfile/QXCfg.dat") + " is a directory"},
        {"settings file is a FIFO", At("fifo"), At("fifo/QXCfg.dat") + " is not a regular file"},
        {"short file", At("short"), At("short/QXCfg.dat") + " has 100 bytes, expected 1672"},
        {"damaged replay section", corrupt, corrupt + "/QXCfg.dat: checksum of replay wrong"},
    };
    const std::string trace = At("bus.log");
    for (const auto& row : rows) {
        const auto run = Run({"--trace", trace, "--settings-dir", row.directory, "write"});
        EXPECT_EQ(run.status, EXIT_BAD_FILE) << row.name;
        EXPECT_EQ(run.err, "quillon-cli write: " + row.reason + NOTHING_WRITTEN) << row.name;
        EXPECT_FALSE(fs::exists(trace)) << row.name << ": the adapter was opened";
    }
}

// A record with every section in use; stored with the registers a fixed rate loads with.
protocol::SettingsSections RecordInUse() {
    protocol::SettingsSections s;
    s.can1 = protocol::CanPara::Defaults();
    s.can1.baudIndex = 3;
    s.can1.btr0 = 0x07;
    s.can1.btr1 = 0x3C;
    s.can1.workMode = 1;
    s.can2 = protocol::CanPara::Defaults();
    s.can2.btr0 = 0x00;
    s.can2.btr1 = 0x3C;
    s.can2.filterCount = 1;
    s.can2.filters[0] = {.used = 1, .idStart = 0x100, .idEnd = 0x1FF, .interval = 10};
    s.sys.fileSizeMB = 64;
    s.sys.sysOption = 0x5A;
    s.sys.cyclicOverwrite = 1;
    s.filters1.enable = 1;
    s.filters1.filterCount = 1;
    s.filters1.matchValue[0] = 0x123;
    s.filters1.matchMask[0] = 0x7FF;
    s.bridge.ruleCount = 1;
    s.bridge.bridgeFlags = protocol::BridgePara::FLAG_CAN1_FORWARD_ALL;
    s.bridge.rules[0].direction = 1;
    s.bridge.rules[0].srcId = 0x321;
    s.replay.sendMode = 1;
    s.replay.ruleCount = 1;
    s.replay.repeatAll = 5;
    s.replay.auxValue = 9;
    s.replay.rules[0] = {
        .channelMask = 3, .times = 2, .intervalSec = 4, .fileName = {'l', 'o', 'g'}};
    return s;
}

// The starting values: the channels at the factory settings, the rest empty; the system page's
// slider cannot show a file size of 0 and sends its least, 1 MB.
protocol::SettingsSections StartingValues() {
    protocol::SettingsSections s;
    s.can1 = protocol::CanPara::Defaults();
    s.can1.btr0 = 0x00;
    s.can1.btr1 = 0x3C;
    s.can2 = s.can1;
    s.sys.fileSizeMB = 1;
    return s;
}

TEST_F(FileInputTest, WriteWithDefaultsSendsStartingValuesForWhatIsMissingOrDamaged) {
    struct Row {
        const char* name;
        std::string directory;
        std::optional<std::size_t>
            corruptOffset;  // of a saved RecordInUse(), set to 0x0C; none: no file
        protocol::SettingsSections sent;
        std::string warnings;
    };
    const std::string damaged = At("damaged");
    protocol::SettingsSections keptButTheBridge = RecordInUse();
    keptButTheBridge.bridge = {};
    const Row rows[] = {
        {"no settings file", At("empty"), std::nullopt, StartingValues(), ""},
        {"damaged bridge section", damaged, 936 + 2, keptButTheBridge,
         "quillon-cli write: warning: " + damaged +
             "/QXCfg.dat: the bridge section (网桥规则设置) fails its checksum; loading the "
             "file gives it its starting values\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::create_directories(row.directory);
        const std::string settings = row.directory + "/QXCfg.dat";
        if (row.corruptOffset) {
            protocol::SettingsSections stored = RecordInUse();
            ASSERT_TRUE(protocol::WriteSettingsFile(settings, stored));
            std::fstream patch(settings, std::ios::in | std::ios::out | std::ios::binary);
            patch.seekp(static_cast<std::streamoff>(*row.corruptOffset));
            patch.put('\x0C');  // bridgeFlags: forward all of CAN2 as well
        }
        const std::string state = row.directory + "/device.state";
        const auto run = Run({"--adapter", "sim:state=" + state, "--settings-dir", row.directory,
                              "write", "--defaults"});
        EXPECT_EQ(run.status, EXIT_OK) << run.out << run.err;
        EXPECT_NE(run.out.find("写入参数成功，请重启设备生效!"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, row.warnings);
        protocol::SettingsSections expected = row.sent;
        protocol::UpdateChecksums(expected);
        const sim::DeviceConfig device;
        const auto received = sim::LoadDeviceState(state, {device.type, device.serial});
        ASSERT_TRUE(received.state) << received.warning;
        EXPECT_EQ(received.state->store, expected) << "what the device took from the bus";
        protocol::SettingsSections saved;
        const protocol::SettingsChecks allPass{true, true, true, true, true, true, true};
        EXPECT_EQ(protocol::ReadSettingsFile(settings, saved), allPass);
        EXPECT_EQ(saved, expected) << "the file now holds what was sent";
    }
}

// A device must never hold settings its files do not: a write whose files
// cannot be saved is refused before the adapter is opened.
TEST_F(FileInputTest, WriteWhoseSettingsCannotBeSavedSendsNothing) {
    const std::string dtuDirectory = ValidSettings("dtu");
    fs::create_directories(dtuDirectory + "/QXCfgDTU.dat");
    const std::string advancedDirectory = ValidSettings("adv");
    fs::create_directories(advancedDirectory + "/QXCfgDTUHL.dat");
    const std::string linked = ValidSettings("linked");
    fs::remove(linked + "/QXCfg.dat");
    fs::create_symlink(At("gone/QXCfg.dat"), linked + "/QXCfg.dat");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string reason;
    };
    const Row rows[] = {
        {"DTU file is a directory",
         {"--settings-dir", dtuDirectory, "write"},
         "cannot replace " + dtuDirectory + "/QXCfgDTU.dat: Is a directory"},
        {"advanced DTU file is a directory",
         {"--settings-dir", advancedDirectory, "write"},
         "cannot replace " + advancedDirectory + "/QXCfgDTUHL.dat: Is a directory"},
        {"defaults into a missing directory",
         {"--settings-dir", At("typo"), "write", "--defaults"},
         "cannot create a temporary copy of " + At("typo/QXCfgDTU.dat") +
             ": No such file or directory"},
        {"settings file links into a missing directory",
         {"--settings-dir", linked, "write", "--defaults"},
         "cannot create a temporary copy of " + At("gone/QXCfg.dat") +
             ": No such file or directory"},
    };
    const std::string trace = At("bus.log");
    for (const auto& row : rows) {
        std::vector<std::string> args = {"--trace", trace};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto run = Run(args);
        EXPECT_EQ(run.status, EXIT_BAD_FILE) << row.name;
        EXPECT_EQ(run.err,
                  "quillon-cli write: settings cannot be saved: " + row.reason + "; nothing sent\n")
            << row.name;
        EXPECT_FALSE(fs::exists(trace)) << row.name << ": the adapter was opened";
    }
    EXPECT_FALSE(fs::exists(At("typo"))) << "the check left a directory behind";
    EXPECT_EQ(std::distance(fs::directory_iterator(dtuDirectory), fs::directory_iterator()), 2)
        << "the check left a file behind";
}

TEST_F(FileInputTest, FilesThatAreNoRegularFilesAreRefusedAtOnce) {
    fs::create_directories(At("sub"));
    const std::string fifo = Fifo("pipe");
    File("empty.bin", "");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Row rows[] = {
        {"show directory",
         {"show", At("sub")},
         EXIT_BAD_FILE,
         "quillon-cli show: " + At("sub") + " is a directory\n"},
        {"show FIFO",
         {"show", fifo},
         EXIT_BAD_FILE,
         "quillon-cli show: " + fifo + " is not a regular file\n"},
        {"show endless device",
         {"show", "/dev/zero"},
         EXIT_BAD_FILE,
         "quillon-cli show: /dev/zero is not a regular file\n"},
        {"decode directory",
         {"decode", At("sub")},
         EXIT_BAD_FILE,
         "quillon-cli decode: " + At("sub") + " is a directory\n"},
        {"decode FIFO",
         {"decode", fifo},
         EXIT_BAD_FILE,
         "quillon-cli decode: " + fifo + " is not a regular file\n"},
        {"trace to a directory",
         {"--trace", At("sub"), "session"},
         EXIT_BAD_FILE,
         "quillon-cli: --trace: " + At("sub") + " is a directory\n"},
        {"trace to a FIFO",
         {"--trace", fifo, "session"},
         EXIT_BAD_FILE,
         "quillon-cli: --trace: " + fifo + " is not a regular file\n"},
        {"upgrade empty image",
         {"upgrade", At("empty.bin")},
         EXIT_BAD_FILE,
         "quillon-cli upgrade: firmware image " + At("empty.bin") + " is empty\n"},
        {"upgrade FIFO",
         {"upgrade", fifo},
         EXIT_BAD_FILE,
         "quillon-cli upgrade: " + fifo + " is not a regular file\n"},
        {"upgrade directory",
         {"upgrade", At("sub")},
         EXIT_BAD_FILE,
         "quillon-cli upgrade: " + At("sub") + " is a directory\n"},
        {"device state in a missing directory",
         {"--adapter", "sim:state=" + At("nodir/device.dat"), "session"},
         EXIT_NO_ADAPTER,
         "quillon-cli session: error: 打开设备失败!\n"
         "quillon-cli: cannot open adapter 0: adapter 0 (sim:state=" +
             At("nodir/device.dat") + "): simulated device: cannot create " +
             At("nodir/device.dat") + " in " + At("nodir") + ": No such file or directory\n"},
    };
    for (const auto& row : rows) {
        const auto run = Run(row.args);
        EXPECT_EQ(run.status, row.status) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
    }
}

TEST_F(FileInputTest, SettingsFilesThatAreFifosDoNotHoldUpTheWindow) {
    for (const char* name : {"QXCfg.dat", "QXCfgDTU.dat", "QXCfgDTUHL.dat"}) {
        Fifo(name);
    }
    const auto run = Run({"--settings-dir", At(""), "session"});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
}

TEST_F(FileInputTest, ReadSaveUpdatesASymbolicLinkedSettingsFileThroughTheLink) {
    const std::string real = ValidSettings("real");
    fs::create_directories(At("cfg"));
    fs::create_symlink("../real/QXCfg.dat", At("cfg/QXCfg.dat"));
    const auto run = Run({"--settings-dir", At("cfg"), "read", "--save"});
    ASSERT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_TRUE(fs::is_symlink(At("cfg/QXCfg.dat")));
    EXPECT_EQ(fs::file_size(real + "/QXCfg.dat"), protocol::SETTINGS_FILE_SIZE);
    EXPECT_EQ(protocol::SettingsFileProblem(At("cfg/QXCfg.dat")), "");
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(At("real")), {}).size(), 1u)
        << "no temporary copy left beside the target";
}

TEST_F(FileInputTest, ControlCharactersOfTheAdapterSpecAreEscapedWhenEchoed) {
    const auto run = Run({"--adapter", "bogus\x1b]2;owned\x07", "session"});
    EXPECT_EQ(run.status, EXIT_NO_ADAPTER);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.err.find('\x07'), std::string::npos);
    EXPECT_NE(run.err.find("bogus\\x1b]2;owned\\x07"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quillon::cli
