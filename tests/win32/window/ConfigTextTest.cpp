// "导出配置..." and "导入配置..." from the window's system menu, through the
// system's own save and open dialogs: export writes what the pages hold,
// an import of an edited text reloads the native controls, a refused import
// shows the core's box and leaves files and controls as they were.
#include <fstream>

#include "app/ConfigTextMenu.hpp"
#include "app/MainWindowIds.hpp"
#include "configtext/ConfigFiles.hpp"
#include "configtext/ConfigText.hpp"
#include "frontends/win32/SystemHeaders.hpp"
#include "frontends/win32/Utf16.hpp"
#include "pages/CCan1ParaDlg.hpp"
#include "tests/configtext/ConfigSamples.hpp"
#include "tests/win32/window/WindowFixture.hpp"

namespace quillon::test {
namespace {

constexpr int CAN1_TAB = 0;

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The text of the system menu's item `command`, or "" when it has none.
std::string MenuText(HWND window, unsigned command) {
    wchar_t text[64] = {};
    GetMenuStringW(GetSystemMenu(window, FALSE), command, text, 64, MF_BYCOMMAND);
    return win32::Utf8Text(text);
}

class ConfigTextTest : public WindowFixture {
  protected:
    std::filesystem::path Directory() const { return system.services.SettingsDirectory(); }
    std::string Settings() const {
        return FileText(Directory() / "QXCfg.dat") + FileText(Directory() / "QXCfgDTU.dat") +
               FileText(Directory() / "QXCfgDTUHL.dat");
    }
    /// Picks the menu item as the system menu does, the dialog given `file`.
    void Choose(unsigned command, const std::filesystem::path& file) {
        watcher.ChooseFile(file.wstring());
        SendMessageW(Main(), WM_SYSCOMMAND, command, 0);
        Pump();
    }
    HWND Can1Baud() { return PageControl(CAN1_TAB, pages::CCan1ParaDlg::IDC_COMBO_BAUD); }
    const sys::CodePage& Ansi() const { return system.services.codePages.ansi; }
};

TEST_F(ConfigTextTest, BothItemsAreInTheSystemMenuBesideTheAdapterChoice) {
    Open(false);
    EXPECT_EQ(MenuText(Main(), app::IDM_EXPORTCONFIG), "导出配置...");
    EXPECT_EQ(MenuText(Main(), app::IDM_IMPORTCONFIG), "导入配置...");
    EXPECT_EQ(MenuText(Main(), win32::MainWindow::IDM_ADAPTER), "选择适配器(&D)...");
}

TEST_F(ConfigTextTest, ExportWritesWhatThePagesHoldThroughTheSaveDialog) {
    Open(true);
    // Chosen on the page as a user does, not yet saved anywhere.
    SendMessageW(Can1Baud(), CB_SETCURSEL, 3, 0);
    SendMessageW(Page(CAN1_TAB), WM_COMMAND,
                 MAKEWPARAM(pages::CCan1ParaDlg::IDC_COMBO_BAUD, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Can1Baud()));
    const auto exported = system.directory.Path() / "fleet.json";
    Choose(app::IDM_EXPORTCONFIG, exported);

    ASSERT_EQ(watcher.Seen().size(), 1u);  // the save dialog, no box
    EXPECT_FALSE(watcher.Seen()[0].messageBox);
    EXPECT_EQ(Text(MainControl(app::IDC_STATUS)),
              "已导出配置: " + win32::Utf8Text(exported.wstring()));
    const configtext::ImportResult back = configtext::ImportConfigText(FileText(exported), Ansi());
    ASSERT_TRUE(back.records);
    EXPECT_EQ(back.records->sections.can1.baudIndex, 3);
    EXPECT_EQ(FileText(exported), configtext::ExportConfigText(*back.records, Ansi()));
    EXPECT_FALSE(std::filesystem::exists(Directory() / "QXCfg.dat"));  // export saves nothing
}

TEST_F(ConfigTextTest, ExportOverAnExistingFileAsksFirst) {
    Open(true);
    const auto exported = system.directory.Path() / "fleet.json";
    std::ofstream(exported, std::ios::binary) << "old";
    watcher.AnswerBoxesWith({IDYES});
    Choose(app::IDM_EXPORTCONFIG, exported);

    const std::vector<SeenWindow> boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);  // the system's own question, in its own words
    EXPECT_FALSE(boxes[0].text.empty());
    EXPECT_TRUE(configtext::ImportConfigText(FileText(exported), Ansi()).records);
}

TEST_F(ConfigTextTest, ImportOfAnEditedTextSavesAndReloadsThePages) {
    Open(true);
    auto document = configtext::ConfigToJson(PageMadeRecords(), Ansi());
    document["bridge"]["rules"][0]["dstId"] = "0x322";
    const auto text = system.directory.Path() / "edited.json";
    std::ofstream(text, std::ios::binary) << document.dump(2);
    const configtext::ImportResult expected = configtext::ImportConfigText(document.dump(), Ansi());
    ASSERT_TRUE(expected.records);
    Choose(app::IDM_IMPORTCONFIG, text);

    EXPECT_EQ(watcher.Boxes().size(), 0u);
    EXPECT_EQ(Text(MainControl(app::IDC_STATUS)), "已导入配置: " + win32::Utf8Text(text.wstring()));
    std::string why;
    EXPECT_EQ(configtext::ReadConfigDirectory(Directory(), why), expected.records) << why;
    EXPECT_EQ(window->Record(), expected.records->sections);
    // The native control shows the imported bit rate, as at start-up.
    EXPECT_EQ(SendMessageW(Can1Baud(), CB_GETCURSEL, 0, 0), 1);
}

TEST_F(ConfigTextTest, ARefusedImportShowsTheCoresBoxAndChangesNothing) {
    Open(true);
    const std::string before = Settings();
    const LRESULT shownBaud = SendMessageW(Can1Baud(), CB_GETCURSEL, 0, 0);
    const std::string status = Text(MainControl(app::IDC_STATUS));
    auto document = configtext::ConfigToJson(PageMadeRecords(), Ansi());
    document["bridge"]["rules"][0]["dstLength"] = 12;
    const auto text = system.directory.Path() / "bad.json";
    std::ofstream(text, std::ios::binary) << document.dump(2);
    Choose(app::IDM_IMPORTCONFIG, text);

    const std::vector<SeenWindow> boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "导入配置失败，设置未改变:\n"
              "bridge.rules[0].dstLength: 12 is not a data length (0..8, or \"any\")");
    EXPECT_EQ(boxes[0].caption, "警告");
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(SendMessageW(Can1Baud(), CB_GETCURSEL, 0, 0), shownBaud);
    EXPECT_EQ(Text(MainControl(app::IDC_STATUS)), status);
}

}  // namespace
}  // namespace quillon::test
