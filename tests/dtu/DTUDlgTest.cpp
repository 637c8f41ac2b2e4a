#include "dtu/DTUDlg.hpp"

#include <gtest/gtest.h>

#include <numeric>

#include "dtu/DtuFixture.hpp"

namespace quillon::test {
namespace {

using D = dtu::DTUDlg;

std::uint8_t ExpectedChecksum(const std::vector<std::uint8_t>& file) {
    const unsigned sum = std::accumulate(file.begin() + 1, file.end(), 0u);
    return static_cast<std::uint8_t>(~sum & 0xFF);
}

class DtuBasicTest : public ::testing::Test, public DtuFixture {
  protected:
    DtuBasicTest() { basic.LoadDtuBasic(); }

    void Save() { basic.Click(D::IDC_BUTTON_SAVE); }
};

TEST_F(DtuBasicTest, MissingFileShowsAndCollectsTheDefaults) {
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_SERVER_ADDR), "dtu.quillon.example");
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_SERVER_PORT), "8088");
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_HEARTBEAT), "heartbeat");
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_REG_PACKET), "REG");
    EXPECT_EQ(basic.IsDlgButtonChecked(D::IDC_RADIO_AUTO_CONNECT), ui::BST_CHECKED);
    EXPECT_EQ(basic.IsDlgButtonChecked(D::IDC_RADIO_PRIVATE_PROTOCOL), ui::BST_CHECKED);
    EXPECT_EQ(basic.GetCurSel(D::IDC_COMBO_SMS_ALERT), 0);
    EXPECT_EQ(basic.Record().uartBaud, 115200u);
    EXPECT_EQ(basic.Record().heartbeatLen, 9);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_FALSE(std::filesystem::exists(basic.FilePath())) << "loading writes nothing";
}

TEST_F(DtuBasicTest, SavedFileIsTheRecordWithItsChecksum) {
    Save();
    const auto file = FileBytes("QXCfgDTU.dat");
    ASSERT_EQ(file.size(), 260u);
    EXPECT_EQ(file[0], ExpectedChecksum(file));
    const auto record = basic.Record().ToBytes();
    EXPECT_EQ(file, std::vector<std::uint8_t>(record.begin(), record.end()));
}

TEST_F(DtuBasicTest, ThirtyTwoCharacterAddressSurvivesARestart) {
    const std::string address(32, 'h');
    basic.TypeText(D::IDC_EDIT_SERVER_ADDR, address);
    basic.SelectItem(D::IDC_COMBO_UART_BAUD, 5);
    Save();
    const auto file = FileBytes("QXCfgDTU.dat");
    std::vector<std::uint8_t> expected(32, 'h');
    expected.push_back(32);  // serverAddrLen right behind the field: no terminator anywhere
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 1, file.begin() + 34), expected);
    D restarted{host, parent, system.services};
    restarted.Create();
    restarted.LoadDtuBasic();
    EXPECT_EQ(restarted.GetDlgItemText(D::IDC_EDIT_SERVER_ADDR), address);
    EXPECT_EQ(restarted.Record().uartBaud, 9600u);
}

TEST_F(DtuBasicTest, AddressTypingStopsAtSixtyFourCharacters) {
    basic.TypeText(D::IDC_EDIT_SERVER_ADDR, std::string(70, 'h'));
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_SERVER_ADDR), std::string(64, 'h'));
    basic.TypeText(D::IDC_EDIT_HEARTBEAT, std::string(100, 'x'));
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_HEARTBEAT).size(), 100u) << "no heartbeat limit";
}

TEST_F(DtuBasicTest, RefusedAddressStillSavesThePreviousRecord) {
    basic.TypeText(D::IDC_EDIT_SERVER_ADDR, std::string(33, 'h'));
    basic.TypeText(D::IDC_EDIT_HEARTBEAT_SEC, "5");
    Save();
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(139, "输入服务器地址长度错误!")});
    const auto file = FileBytes("QXCfgDTU.dat");
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 20), "dtu.quillon.example");
    EXPECT_EQ(file[44], 60) << "fields after the refused one keep their values";
}

TEST_F(DtuBasicTest, PortAtTheLimitIsReportedAndTheRestCollected) {
    basic.TypeText(D::IDC_EDIT_SERVER_PORT, "65535");
    basic.TypeText(D::IDC_EDIT_HEARTBEAT_SEC, "30");
    Save();
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{"输入端口错误!"});
    EXPECT_EQ(basic.Record().serverPort, 8088u);
    EXPECT_EQ(FileBytes("QXCfgDTU.dat")[44], 30);
}

TEST_F(DtuBasicTest, HexadecimalHeartbeatRoundTrip) {
    basic.TypeText(D::IDC_EDIT_HEARTBEAT, "31 32 33");
    basic.Click(D::IDC_CHECK_HEARTBEAT_HEX);
    Save();
    EXPECT_EQ(basic.Record().heartbeatLen, 3);
    EXPECT_EQ(basic.Record().heartbeatHex, 1);
    EXPECT_EQ(basic.Record().heartbeat[2], 0x33);
    basic.LoadDtuBasic();
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_HEARTBEAT), "31 32 33 ");
}

struct PacketCase {
    const char* name;
    std::string text;
    const char* message;  ///< nullptr = accepted
};

class HeartbeatTextTest : public DtuBasicTest, public ::testing::WithParamInterface<PacketCase> {};

TEST_P(HeartbeatTextTest, LengthAndContentChecks) {
    basic.TypeText(D::IDC_EDIT_HEARTBEAT, GetParam().text);
    EXPECT_EQ(basic.CollectDtuBasic(), GetParam().message == nullptr);
    const auto expected = GetParam().message == nullptr
                              ? std::vector<std::string>{}
                              : std::vector<std::string>{GetParam().message};
    EXPECT_EQ(host.BoxTexts(), expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, HeartbeatTextTest,
                         ::testing::Values(PacketCase{"NinetySix", std::string(96, 'x'), nullptr},
                                           PacketCase{"NinetySeven", std::string(97, 'x'),
                                                      "输入心跳包长度错误!"},
                                           PacketCase{"Latin1", "caf\xC3\xA9", nullptr},
                                           PacketCase{"Chinese", "心跳", "输入心跳包内容错误!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DtuBasicTest, DamagedFileGivesTheDefaults) {
    basic.TypeText(D::IDC_EDIT_HEARTBEAT, "ping");
    Save();
    auto file = FileBytes("QXCfgDTU.dat");
    file[0] ^= 0x01;
    WriteFile("QXCfgDTU.dat", file);
    basic.LoadDtuBasic();
    EXPECT_EQ(basic.GetDlgItemText(D::IDC_EDIT_HEARTBEAT), "heartbeat");
    EXPECT_EQ(basic.IsDlgButtonChecked(D::IDC_CHECK_REG_HEX), ui::BST_UNCHECKED);
}

TEST_F(DtuBasicTest, UnknownBaudRateBecomes115200) {
    auto record = basic.Record();
    record.uartBaud = 12345;
    record.smsCoding = 255;
    basic.ShowDtuBasic(record.ToBytes());
    EXPECT_EQ(basic.GetCurSel(D::IDC_COMBO_UART_BAUD), 0);
    EXPECT_EQ(basic.Record().smsCoding, 0);
    basic.CollectDtuBasic();
    EXPECT_EQ(basic.Record().uartBaud, 115200u);
}

}  // namespace
}  // namespace quillon::test
