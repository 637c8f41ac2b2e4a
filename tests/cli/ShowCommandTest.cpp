// quillon-cli show on the settings files, written as the window and the DTU pages save them.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "dtu/DtuSettingsFile.hpp"
#include "frontends/cli/Commands.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;

template <std::size_t N>
void Put(std::array<std::uint8_t, N>& field, std::uint8_t& length, std::string_view text) {
    std::copy(text.begin(), text.end(), field.begin());
    length = static_cast<std::uint8_t>(text.size());
}

struct Shown {
    int status;
    std::string out;
    std::string err;
};

class ShowCommandTest : public ::testing::Test {
  protected:
    ShowCommandTest() {
        Put(basic.serverAddr, basic.serverAddrLen, "gw.example.net");
        basic.serverPort = 9000;
        basic.connectMode = 2;
        basic.protocol = 1;
        basic.heartbeatSec = 30;
        basic.heartbeat[0] = 0x31;
        basic.heartbeat[1] = 0x32;
        basic.heartbeat[2] = 0xAB;
        basic.heartbeatLen = 3;
        basic.heartbeatHex = 1;
        Put(basic.regPacket, basic.regLen, "REG");
        basic.downlinkTimeoutSec = 60;
        basic.smsOutput = 1;
        basic.smsCoding = 2;
        basic.smsAlert = 3;
        basic.uartBaud = 9600;
        basic.uartParity = 1;
        basic.uartStopBits = 2;

        Put(advanced.backupAddr, advanced.backupAddrLen, "b\xE9.example");  // é as one byte
        advanced.backupPort = 9088;
        advanced.rtcAutoCal = 1;
        advanced.netProtocol = 2;
        Put(advanced.apn, advanced.apnLen, "CMNET");
        advanced.apnModify = 1;
        Put(advanced.smsPhones[0].digits, advanced.smsPhones[0].length, "13800138000");
        advanced.smsPhones[5].length = 200;  // damaged: shown as stored, digits cut to the slot
        Put(advanced.wakePhone.digits, advanced.wakePhone.length, "10086");
        advanced.noSignalRebootMin = 5;
        advanced.timedStartMin = 1440;
    }

    template <typename Record>
    std::string Save(const std::string& name, const Record& record) {
        const std::string path = (system.directory.Path() / name).string();
        auto bytes = record.ToBytes();
        EXPECT_TRUE(dtu::SaveChecksummedRecord(path, bytes));
        checksum = bytes[0];
        return path;
    }
    static Shown Show(const std::string& path, bool json) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunShow(path, json, out, err);
        return {status, out.str(), err.str()};
    }
    static void FlipByte(const std::string& path, std::streamoff offset) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(offset);
        const char byte = static_cast<char>(file.get() ^ 0x01);
        file.seekp(offset);
        file.put(byte);
    }

    test::FakeSystem system;
    protocol::DtuBasicPara basic;
    protocol::DtuAdvPara advanced;
    std::uint8_t checksum = 0;
};

TEST_F(ShowCommandTest, BasicFileDecodesEveryFieldUnderItsName) {
    const auto shown = Show(Save("QXCfgDTU.dat", basic), true);
    ASSERT_EQ(shown.status, EXIT_OK) << shown.err;
    const ordered_json expected = {
        {"checksumOk", true},  {"checksum", checksum}, {"serverAddr", "gw.example.net"},
        {"serverAddrLen", 14}, {"serverPort", 9000},   {"connectMode", 2},
        {"protocol", 1},       {"heartbeatSec", 30},   {"heartbeat", "3132AB"},
        {"heartbeatHex", 1},   {"heartbeatLen", 3},    {"regPacket", "524547"},
        {"regHex", 0},         {"regLen", 3},          {"downlinkTimeoutSec", 60},
        {"smsOutput", 1},      {"smsCoding", 2},       {"smsAlert", 3},
        {"uartBaud", 9600},    {"uartParity", 1},      {"uartDataBits", 0},
        {"uartStopBits", 2}};
    EXPECT_EQ(ordered_json::parse(shown.out).dump(), expected.dump());
}

TEST_F(ShowCommandTest, AdvancedFileDecodesPhonesAsObjects) {
    const auto shown = Show(Save("QXCfgDTUHL.dat", advanced), true);
    ASSERT_EQ(shown.status, EXIT_OK) << shown.err;
    const auto phone = [](int length, const char* digits) {
        return ordered_json{{"length", length}, {"digits", digits}};
    };
    const ordered_json expected = {{"checksumOk", true},
                                   {"checksum", checksum},
                                   {"backupAddr", "b\u00e9.example"},
                                   {"backupAddrLen", 10},
                                   {"backupPort", 9088},
                                   {"rtcAutoCal", 1},
                                   {"netProtocol", 2},
                                   {"apn", "CMNET"},
                                   {"apnModify", 1},
                                   {"apnLen", 5},
                                   {"smsPhones",
                                    {phone(11, "13800138000"), phone(0, ""), phone(0, ""),
                                     phone(0, ""), phone(0, ""), phone(200, "")}},
                                   {"wakePhone", phone(5, "10086")},
                                   {"noSignalRebootMin", 5},
                                   {"timedStartMin", 1440}};
    auto actual = ordered_json::parse(shown.out);
    EXPECT_EQ(actual["smsPhones"][5]["digits"], std::string(15, '\0'))
        << "a length above 15 reads no further than the slot";
    actual["smsPhones"][5]["digits"] = "";
    EXPECT_EQ(actual.dump(), expected.dump());
}

TEST_F(ShowCommandTest, FlippedByteIsReportedButNotRepaired) {
    const std::string basicPath = Save("QXCfgDTU.dat", basic);
    FlipByte(basicPath, protocol::DtuBasicPara::OFFSET_SERVER_PORT);
    const std::string advancedPath = Save("QXCfgDTUHL.dat", advanced);
    FlipByte(advancedPath, protocol::DtuAdvPara::OFFSET_CHECKSUM);
    const auto basicJson = ordered_json::parse(Show(basicPath, true).out);
    EXPECT_EQ(basicJson["checksumOk"], false);
    EXPECT_EQ(basicJson["serverPort"], 9001) << "the stored value, no defaults";
    const auto advancedJson = ordered_json::parse(Show(advancedPath, true).out);
    EXPECT_EQ(advancedJson["checksumOk"], false);
    EXPECT_EQ(advancedJson["checksum"], checksum ^ 0x01);
    EXPECT_EQ(advancedJson["apn"], "CMNET");
}

TEST_F(ShowCommandTest, FileIsKnownByNameOrElseBySize) {
    const std::string dir = system.directory.Path().string();
    const std::string basicCopy = Save("copy-of-basic.bin", basic);
    const std::string advancedCopy = Save("copy-of-advanced.bin", advanced);
    {
        std::ofstream(dir + "/QXCfgDTU.dat", std::ios::binary) << std::string(196, 'x');
        std::ofstream(dir + "/odd.dat", std::ios::binary) << std::string(300, 'x');
    }
    const struct {
        const char* name;
        std::string path;
        int status;
        std::string firstKey;
        std::string err;
    } rows[] = {
        {"basic record under another name", basicCopy, EXIT_OK, "serverAddr", ""},
        {"advanced record under another name", advancedCopy, EXIT_OK, "backupAddr", ""},
        {"DTU name with the advanced size", dir + "/QXCfgDTU.dat", EXIT_BAD_FILE, "",
         "quillon-cli show: " + dir + "/QXCfgDTU.dat has 196 bytes, expected 260\n"},
        {"unknown name and size", dir + "/odd.dat", EXIT_BAD_FILE, "",
         "quillon-cli show: " + dir +
             "/odd.dat has 300 bytes: no settings file (QXCfg.dat 1672, QXCfgDTU.dat 260, "
             "QXCfgDTUHL.dat 196)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto shown = Show(row.path, true);
        EXPECT_EQ(shown.status, row.status);
        EXPECT_EQ(shown.err, row.err);
        if (row.status == EXIT_OK) {
            const auto json = ordered_json::parse(shown.out);
            EXPECT_EQ(std::next(json.begin(), 2).key(), row.firstKey);
        }
    }
}

TEST_F(ShowCommandTest, TableShowsOneFieldALine) {
    const auto shown = Show(Save("QXCfgDTUHL.dat", advanced), false);
    ASSERT_EQ(shown.status, EXIT_OK);
    for (const char* line : {"checksumOk          ok\n", "backupAddr          b\u00e9.example\n",
                             "smsPhones[1]        13800138000 (11)\n", "smsPhones[2]         (0)\n",
                             "wakePhone           10086 (5)\n", "timedStartMin       1440\n"}) {
        EXPECT_NE(shown.out.find(line), std::string::npos) << line << "\nin\n" << shown.out;
    }
}

// QXCfg.dat with its bridge and replay sections damaged: the sections under their labels, and a
// warning for each one the program would give its starting values, in either form.
TEST_F(ShowCommandTest, DamagedSectionsAreShownAsStoredAndWarnedAbout) {
    protocol::SettingsSections sections;
    sections.bridge.bridgeFlags = 0x0C;
    const std::string path = (system.directory.Path() / "QXCfg.dat").string();
    ASSERT_TRUE(protocol::WriteSettingsFile(path, sections));
    FlipByte(path, 936 + 2);   // bridgeFlags
    FlipByte(path, 1380 + 8);  // auxValue
    const std::string warnings =
        "quillon-cli show: warning: " + path +
        ": the bridge section (网桥规则设置) fails its checksum; loading the file gives it its "
        "starting values\n"
        "quillon-cli show: warning: " +
        path +
        ": the replay section (数据回放设置) fails its checksum; loading the file gives it its "
        "starting values\n";
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "table");
        const auto shown = Show(path, json);
        EXPECT_EQ(shown.status, EXIT_OK);
        EXPECT_EQ(shown.err, warnings);
        if (json) {
            const auto document = ordered_json::parse(shown.out);
            EXPECT_EQ(document["bridge"]["checksumOk"], false);
            EXPECT_EQ(document["bridge"]["bridgeFlags"], 0x0D) << "as stored";
            EXPECT_EQ(document["sys"]["checksumOk"], true);
        }
    }
    const std::string table = Show(path, false).out;
    EXPECT_EQ(table.substr(0, table.find("  CAN1:")),
              "CAN1基本设置: checksum ok\nCAN2基本设置: checksum ok\n系统参数设置: checksum ok\n"
              "CAN1高级设置: checksum ok\nCAN2高级设置: checksum ok\n网桥规则设置: checksum BAD\n"
              "数据回放设置: checksum BAD\n");
}

// Shown in every case; a bad file only when none of its checksums holds, since
// loading it would then take nothing from it.
TEST_F(ShowCommandTest, ExitStatusSaysWhetherLoadingTakesAnythingFromTheFile) {
    const std::string dir = system.directory.Path().string();
    const std::string zeros = dir + "/QXCfg.dat";
    std::ofstream(zeros, std::ios::binary) << std::string(protocol::SETTINGS_FILE_SIZE, '\0');
    protocol::SettingsSections sections;
    const std::string partly = dir + "/partly.dat";
    ASSERT_TRUE(protocol::WriteSettingsFile(partly, sections));
    FlipByte(partly, 936 + 2);  // the bridge section
    const std::string basicPath = Save("QXCfgDTU.dat", basic);
    FlipByte(basicPath, protocol::DtuBasicPara::OFFSET_SERVER_PORT);
    const std::string advancedPath = Save("QXCfgDTUHL.dat", advanced);
    const auto refusal = [](const std::string& path) {
        return "quillon-cli show: " + path +
               ": every checksum fails; loading the file would take nothing from it\n";
    };
    const struct {
        const char* name;
        std::string path;
        int status;
        std::string lastErrLine;
        std::string shown;
    } rows[] = {
        {"settings file of zeros", zeros, EXIT_BAD_FILE, refusal(zeros),
         "CAN1基本设置: checksum BAD\n"},
        {"settings file with one damaged section", partly, EXIT_OK,
         "quillon-cli show: warning: " + partly +
             ": the bridge section (网桥规则设置) fails its checksum; loading the file gives it "
             "its starting values\n",
         "网桥规则设置: checksum BAD\n"},
        {"DTU file with a flipped byte", basicPath, EXIT_BAD_FILE, refusal(basicPath),
         "serverPort          9001\n"},
        {"whole DTU file", advancedPath, EXIT_OK, "", "checksumOk          ok\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto shown = Show(row.path, false);
        EXPECT_EQ(shown.status, row.status);
        if (row.lastErrLine.empty()) {
            EXPECT_EQ(shown.err, "");
        } else {
            EXPECT_TRUE(shown.err.ends_with(row.lastErrLine)) << shown.err;
        }
        EXPECT_NE(shown.out.find(row.shown), std::string::npos) << shown.out;
    }
}

// The text form names the channels and lists the entries in use as the pages
// do: numbered from 0, identifiers in hexadecimal.
TEST_F(ShowCommandTest, TableListsTheEntriesInUseAsThePagesShowThem) {
    protocol::SettingsSections sections;
    sections.can1.enable = 1;
    sections.can1.baudIndex = 2;
    sections.can1.btr0 = 0x01;
    sections.can1.btr1 = 0x1C;
    sections.can1.filterCount = 2;
    sections.can1.filters[0] = {1, 0, 0, 2, 0x100, 0x1FF, 10};
    sections.can1.filters[1] = {1, 0, 1, 0, 0x18FF0000, 0x18FFFFFF, 0};
    sections.can2.filterCount = 0;
    sections.can2.filters[0] = {1, 1, 0, 1, 0x7EE, 0x7EF, 5};  // beyond the count
    sections.filters2.enable = 1;
    sections.filters2.filterCount = 1;
    sections.filters2.frameFormat[0] = 0;
    sections.filters2.matchValue[0] = 0x123;
    sections.filters2.matchMask[0] = 0x7FF;
    sections.bridge.ruleCount = 1;
    sections.bridge.rules[0].srcId = 0x18FF0001;
    sections.replay.ruleCount = 1;
    sections.replay.rules[0] = {};
    sections.replay.rules[0].channelMask = 0x01;
    sections.replay.rules[0].times = 2;
    sections.replay.rules[0].intervalSec = 3;
    sections.replay.rules[0].fileName = {'l', 'o', 'g', '1'};
    const std::string path = (system.directory.Path() / "QXCfg.dat").string();
    ASSERT_TRUE(protocol::WriteSettingsFile(path, sections));
    const auto shown = Show(path, false);
    ASSERT_EQ(shown.status, EXIT_OK) << shown.err;

    const struct {
        const char* name;
        std::string text;
        bool present;
    } rows[] = {
        {"CAN1 named, with its recording rules in hexadecimal",
         "  CAN1: enable=1 baudIndex=2 btr0=0x1 btr1=0x1c workMode=0 acceptAll=0 recording "
         "rules=2\n"
         "    0 | 数据帧 | 标准帧 | 100 | 1ff | 10 | 常规记录\n"
         "    1 | 数据帧 | 扩展帧 | 18ff0000 | 18ffffff | 0 | 开始记录\n"
         "  CAN2: ",
         true},
        {"CAN2's entries beyond its count left out", "recording rules=0\n  sys: ", true},
        {"no identifier in decimal", "256", false},
        {"acceptance filters per channel",
         "  CAN1 acceptance filters: enable=0 count=0\n"
         "  CAN2 acceptance filters: enable=1 count=1\n"
         "    0 | 标准帧 | 0 0 1 0 0 1 0 0 0 1 1 \n",
         true},
        {"bridge rule with its source identifier", "  bridge rules: 1\n    0 | ", true},
        {"bridge rule's identifier in hexadecimal", "源ID=0x18ff0001", true},
        {"replay entry", "  replay files: 1\n    0 | log1.alog | 2 | 3 | 允许通道1数据 \n", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shown.out.find(row.text) != std::string::npos, row.present) << shown.out;
    }
}

TEST_F(ShowCommandTest, WholeSettingsFileGivesNoWarning) {
    protocol::SettingsSections sections;
    const std::string path = (system.directory.Path() / "QXCfg.dat").string();
    ASSERT_TRUE(protocol::WriteSettingsFile(path, sections));
    const auto shown = Show(path, false);
    EXPECT_EQ(shown.status, EXIT_OK);
    EXPECT_EQ(shown.err, "");
    EXPECT_NE(shown.out.find("数据回放设置: checksum ok\n"), std::string::npos) << shown.out;
}

}  // namespace
}  // namespace quillon::cli
