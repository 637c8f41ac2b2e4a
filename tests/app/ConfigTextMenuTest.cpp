// The window menu's "导出配置..." and "导入配置...": through the window's own
// command and file dialogs, export writes what a write would send and save,
// import saves the three files and reloads the pages, a refused import shows
// every problem in one box and changes nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "app/ConfigTextMenu.hpp"
#include "configtext/ConfigFiles.hpp"
#include "configtext/ConfigText.hpp"
#include "tests/app/MainWindowFixture.hpp"
#include "tests/configtext/ConfigSamples.hpp"

namespace quillon::app {
namespace {

using configtext::ConfigRecords;

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConfigTextMenuTest : public test::MainWindowFixture {
  protected:
    std::filesystem::path Directory() const { return system.services.SettingsDirectory(); }
    std::string Settings() const {
        return FileText(Directory() / "QXCfg.dat") + FileText(Directory() / "QXCfgDTU.dat") +
               FileText(Directory() / "QXCfgDTUHL.dat");
    }
    void Choose(unsigned command, const std::filesystem::path& file) {
        host.AnswerNextFileDialogs({file.string()});
        window->SendMessage(WM_SYSCOMMAND, command);
    }
    const sys::CodePage& Ansi() const { return system.services.codePages.ansi; }
};

TEST_F(ConfigTextMenuTest, BothItemsStandBeforeTheAboutItem) {
    const auto& menu = window->SystemMenu();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[2].text, "导出配置...");
    EXPECT_EQ(menu[2].command, IDM_EXPORTCONFIG);
    EXPECT_EQ(menu[3].text, "导入配置...");
    EXPECT_EQ(menu[3].command, IDM_IMPORTCONFIG);
}

TEST_F(ConfigTextMenuTest, ExportWritesWhatAWriteWouldSave) {
    window->Can1Page().SetCurSel(pages::CCan1ParaDlg::IDC_COMBO_BAUD, 3);  // not yet taken
    const auto exported = Directory() / "fleet.json";
    Choose(IDM_EXPORTCONFIG, exported);
    EXPECT_EQ(window->GetDlgItemText(IDC_STATUS), "已导出配置: " + exported.string());
    EXPECT_TRUE(host.BoxTexts().empty());

    window->WriteParameters();  // not connected: saves, then asks to connect
    std::string why;
    const auto saved = configtext::ReadConfigDirectory(Directory(), why);
    ASSERT_TRUE(saved) << why;
    EXPECT_EQ(saved->sections.can1.baudIndex, 3);
    EXPECT_EQ(FileText(exported), configtext::ExportConfigText(*saved, Ansi()));
    // The files the pages saved come back whole from their text.
    EXPECT_EQ(configtext::ImportConfigText(FileText(exported), Ansi()).records, saved);
}

TEST_F(ConfigTextMenuTest, ImportSavesTheFilesAndReloadsThePages) {
    const ConfigRecords records = test::PageMadeRecords();
    const auto text = Directory() / "fleet.json";
    std::ofstream(text, std::ios::binary) << configtext::ExportConfigText(records, Ansi());
    Choose(IDM_IMPORTCONFIG, text);
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{});
    EXPECT_EQ(window->GetDlgItemText(IDC_STATUS), "已导入配置: " + text.string());
    std::string why;
    EXPECT_EQ(configtext::ReadConfigDirectory(Directory(), why), records) << why;
    EXPECT_EQ(window->Record(), records.sections);
    EXPECT_EQ(window->DtuBasicPage().Record(), records.dtuBasic);
    EXPECT_EQ(window->DtuAdvancedPage().Record(), records.dtuAdv);
    EXPECT_EQ(window->Can1Page().GetCurSel(pages::CCan1ParaDlg::IDC_COMBO_BAUD), 1);
}

TEST_F(ConfigTextMenuTest, ARefusedImportShowsEveryProblemInOneBoxAndChangesNothing) {
    window->WriteParameters();
    host.ClearBoxes();
    const std::string before = Settings();
    const protocol::SettingsSections record = window->Record();
    auto document = configtext::ConfigToJson(test::PageMadeRecords(), Ansi());
    document["bridge"]["rules"][0]["dstLength"] = 12;
    document["replay"]["files"][0]["name"] = "记录文件一二三四五";
    const auto text = Directory() / "bad.json";
    std::ofstream(text, std::ios::binary) << document.dump(2);
    Choose(IDM_IMPORTCONFIG, text);
    EXPECT_EQ(host.BoxTexts(),
              std::vector<std::string>{
                  "导入配置失败，设置未改变:\n"
                  "bridge.rules[0].dstLength: 12 is not a data length (0..8, or \"any\")\n"
                  "replay.files[0].name: \"记录文件一二三四五\" takes 18 bytes in GBK, a name "
                  "holds 16"});
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(window->Record(), record);
}

TEST_F(ConfigTextMenuTest, CancelledDialogsDoNothing) {
    const std::string status = window->GetDlgItemText(IDC_STATUS);
    window->SendMessage(WM_SYSCOMMAND, IDM_EXPORTCONFIG);
    window->SendMessage(WM_SYSCOMMAND, IDM_IMPORTCONFIG);
    EXPECT_EQ(host.FileDialogFilters(),
              (std::vector<std::string>{CONFIG_TEXT_FILTER, CONFIG_TEXT_FILTER}));
    EXPECT_TRUE(host.BoxTexts().empty());
    EXPECT_EQ(window->GetDlgItemText(IDC_STATUS), status);
    EXPECT_FALSE(std::filesystem::exists(Directory() / "QXCfg.dat"));
}

}  // namespace
}  // namespace quillon::app
