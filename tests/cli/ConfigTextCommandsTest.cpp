// quillon-cli export, import, write --from, read --export and diff with
// configuration texts, in-process on the simulated device.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "configtext/ConfigFiles.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "platform/system/Utf8Path.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"
#include "tests/configtext/ConfigSamples.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

class ConfigTextCommandsTest : public ::testing::Test {
  protected:
    ConfigTextCommandsTest() {
        fs::create_directories(Cfg());
        EXPECT_EQ(configtext::SaveConfigDirectory(Cfg(), test::PageMadeRecords()), "");
    }
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    fs::path Dir() const { return system.directory.Path(); }
    std::string Cfg() const { return (Dir() / "cfg").string(); }
    std::string Files() const {
        return FileText(Dir() / "cfg/QXCfg.dat") + FileText(Dir() / "cfg/QXCfgDTU.dat") +
               FileText(Dir() / "cfg/QXCfgDTUHL.dat");
    }

    test::FakeSystem system;
};

TEST_F(ConfigTextCommandsTest, ExportThenImportGivesTheSameFiles) {
    const std::string before = Files();
    const std::string text = (Dir() / "fleet.json").string();
    const auto exported = Run({"--settings-dir", Cfg(), "export", "-o", text});
    ASSERT_EQ(exported.status, EXIT_OK) << exported.err;
    const auto printed = Run({"--settings-dir", Cfg(), "export"});
    EXPECT_EQ(printed.out, FileText(text));
    for (const char* name : {"QXCfg.dat", "QXCfgDTU.dat", "QXCfgDTUHL.dat"}) {
        fs::remove(Dir() / "cfg" / name);
    }
    const auto imported = Run({"--settings-dir", Cfg(), "import", text});
    EXPECT_EQ(imported.status, EXIT_OK) << imported.err;
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigTextCommandsTest, ADamagedDirectoryIsNotExported) {
    std::string settings = FileText(Dir() / "cfg/QXCfg.dat");
    settings[1400] ^= 0x01;
    WriteText(Dir() / "cfg/QXCfg.dat", settings);
    const auto exported = Run({"--settings-dir", Cfg(), "export"});
    EXPECT_EQ(exported.status, EXIT_BAD_FILE);
    EXPECT_EQ(exported.out, "");
    EXPECT_EQ(exported.err, "quillon-cli export: " + sys::PathToUtf8(Dir() / "cfg" / "QXCfg.dat") +
                                ": checksum of replay wrong; nothing exported\n");
}

TEST_F(ConfigTextCommandsTest, ARefusedImportNamesEveryProblemAndWritesNothing) {
    const std::string before = Files();
    auto document = nlohmann::ordered_json::parse(Run({"--settings-dir", Cfg(), "export"}).out);
    document["bridge"]["rules"][0]["dstLength"] = 12;
    document["can1"]["bitrate"] = "500k";
    document["can1"]["rules"][0]["intervalMs"] = -1;
    const std::string text = (Dir() / "bad.json").string();
    WriteText(text, document.dump(2));
    for (const bool dryRun : {false, true}) {
        std::vector<std::string> args = {"--settings-dir", Cfg(), "import", text};
        if (dryRun) {
            args.push_back("--dry-run");
        }
        const std::string command = dryRun ? "quillon-cli import --dry-run" : "quillon-cli import";
        const auto imported = Run(args);
        EXPECT_EQ(imported.status, EXIT_BAD_FILE);
        EXPECT_EQ(imported.out, "");
        EXPECT_EQ(imported.err,
                  command +
                      ": warning: can1.rules[0].intervalMs: -1 is negative; the page "
                      "types no such interval\n" +
                      command + ": can1.bitrate: unknown key\n" + command +
                      ": bridge.rules[0].dstLength: 12 is not a data length (0..8, or \"any\")\n" +
                      command + ": " + text + " is refused; nothing written\n");
        EXPECT_EQ(Files(), before);
    }
}

TEST_F(ConfigTextCommandsTest, ADryRunPrintsWhatWouldChangeAndWritesNothing) {
    const std::string before = Files();
    auto document = nlohmann::ordered_json::parse(Run({"--settings-dir", Cfg(), "export"}).out);
    document["bridge"]["rules"][0]["dstId"] = "0x322";
    document["can2"] = {{"bitRate", "250kbps"}};  // the page's text; the rest as a new channel
    const std::string text = (Dir() / "edit.json").string();
    WriteText(text, "// reviewed\n" + document.dump(2));
    const auto dryRun = Run({"--settings-dir", Cfg(), "import", text, "--dry-run"});
    EXPECT_EQ(dryRun.status, EXIT_OK) << dryRun.err;
    EXPECT_EQ(dryRun.out,
              "can2.enabled: true -> false\n"
              "can2.bitRate: \"custom\" -> \"250k\"\n"
              "can2.btr0: \"0x05\" -> -\n"
              "can2.btr1: \"0x1C\" -> -\n"
              "can2.workMode: \"listen-only\" -> \"normal\"\n"
              "bridge.rules[0].dstId: \"0x321\" -> \"0x322\"\n");
    EXPECT_EQ(Files(), before);
}

TEST_F(ConfigTextCommandsTest, ACopiedDeviceReadsBackEqual) {
    const std::string text = (Dir() / "fleet.json").string();
    ASSERT_EQ(Run({"--settings-dir", Cfg(), "export", "-o", text}).status, EXIT_OK);
    const std::string deviceA = "sim:state=" + (Dir() / "a.state").string();
    const std::string deviceB = "sim:state=" + (Dir() / "b.state").string();
    fs::create_directories(Dir() / "other");

    const auto written = Run({"--adapter", deviceA, "--settings-dir", (Dir() / "other").string(),
                              "write", "--from", text, "--verify"});
    ASSERT_EQ(written.status, EXIT_OK) << written.err;
    const std::string copy = (Dir() / "copy.json").string();
    const auto read =
        Run({"--adapter", deviceA, "--settings-dir", Cfg(), "read", "--export", copy});
    ASSERT_EQ(read.status, EXIT_OK) << read.err;
    EXPECT_NE(read.err.find("from the device: can1, can2, filters1, filters2, bridge, replay"),
              std::string::npos)
        << read.err;
    const auto same = Run({"diff", copy, text});
    EXPECT_EQ(same.status, EXIT_OK) << same.out << same.err;

    ASSERT_EQ(Run({"--adapter", deviceB, "--settings-dir", (Dir() / "other").string(), "write",
                   "--from", copy})
                  .status,
              EXIT_OK);
    const auto onDevice = Run({"--adapter", deviceB, "diff", copy, "--device"});
    EXPECT_EQ(onDevice.status, EXIT_OK) << onDevice.out << onDevice.err;
}

TEST_F(ConfigTextCommandsTest, DiffOfTextsNamesFieldsAsTheTextDoes) {
    const std::string text = (Dir() / "a.json").string();
    ASSERT_EQ(Run({"--settings-dir", Cfg(), "export", "-o", text}).status, EXIT_OK);
    auto document = nlohmann::ordered_json::parse(FileText(text));
    document["replay"]["files"][0]["times"] = 6;
    document["dtuBasic"]["serverPort"] = 5001;
    const std::string edited = (Dir() / "b.json").string();
    WriteText(edited, "\xEF\xBB\xBF" + document.dump());  // as some editors save it

    const auto texts = Run({"diff", text, edited});
    EXPECT_EQ(texts.status, EXIT_FAILED);
    EXPECT_EQ(texts.out, "replay.files[0].times: 5 -> 6\ndtuBasic.serverPort: 5000 -> 5001\n");
    // QXCfg.dat holds no DTU record: the comparison is of its seven sections.
    const auto withFile = Run({"diff", Cfg() + "/QXCfg.dat", edited});
    EXPECT_EQ(withFile.status, EXIT_FAILED);
    EXPECT_EQ(withFile.out, "replay.files[0].times: 5 -> 6\n");
}

}  // namespace
}  // namespace quillon::cli
