// The window menu's item for the parameter pages: what it shows and hides,
// and the small file that remembers it for the next start.
#include <fstream>
#include <iterator>

#include "app/MainWindowTemplate.hpp"
#include "app/PagesChoice.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "tests/app/MainWindowFixture.hpp"

namespace quillon::app {
namespace {

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

class PagesMenuTest : public test::MainWindowFixture {
  protected:
    std::filesystem::path Beside() const {
        return system.services.programDirectory / PAGES_CONF_NAME;
    }
    void ChooseMenuItem() { window->SendMessage(WM_SYSCOMMAND, IDM_SHOWPAGES); }
};

TEST_F(PagesMenuTest, TheItemStandsBeforeTheAboutItemAndIsChecked) {
    const auto& menu = window->SystemMenu();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_TRUE(menu[0].text.empty()) << "a separator first";
    EXPECT_EQ(menu[1].text, "显示参数页(&P)");
    EXPECT_EQ(menu[1].command, IDM_SHOWPAGES);
    EXPECT_TRUE(menu[1].checkable);
    EXPECT_EQ(menu[4].text, ABOUT_MENU_TEXT);
    EXPECT_FALSE(menu[4].checkable);
    EXPECT_FALSE(window->MenuItemChecked(IDM_SHOWPAGES));
}

TEST_F(PagesMenuTest, ChoosingShowsThePagesAndAgainPutsTheTemplateBack) {
    ChooseMenuItem();
    EXPECT_TRUE(window->PagesShown());
    EXPECT_TRUE(window->MenuItemChecked(IDM_SHOWPAGES));
    EXPECT_TRUE(window->IsWindowVisible(IDC_TAB));
    for (int id : PAGE_BUTTONS) {
        EXPECT_TRUE(window->IsWindowVisible(id)) << id;
        EXPECT_TRUE(window->IsWindowEnabled(id)) << id;
    }
    EXPECT_EQ(FileText(Beside()), "shown\n");

    ChooseMenuItem();
    EXPECT_FALSE(window->PagesShown());
    EXPECT_FALSE(window->MenuItemChecked(IDM_SHOWPAGES));
    EXPECT_FALSE(window->IsWindowVisible(IDC_TAB));
    for (int id : {IDC_WRITE_PARAMETERS, IDC_READ_PARAMETERS, IDC_CONVERTER, IDC_STORAGE_INIT}) {
        EXPECT_TRUE(window->IsWindowVisible(id)) << id;
        EXPECT_FALSE(window->IsWindowEnabled(id)) << id;
    }
    EXPECT_FALSE(window->IsWindowVisible(IDC_BAUD_CALCULATOR));
    EXPECT_FALSE(window->IsWindowEnabled(IDC_BAUD_CALCULATOR));
    EXPECT_EQ(FileText(Beside()), "hidden\n");
}

TEST_F(PagesMenuTest, TheNextWindowRemembersAndTheAdapterChoiceIsUntouched) {
    const auto adapterConf = system.services.programDirectory / "kelvix.conf";
    WriteText(adapterConf, "socketcan:vcan0\n# mine\n");
    EXPECT_FALSE(window->PagesRemembered()) << "no file: as the window is delivered";
    ChooseMenuItem();
    CreateWindow();
    EXPECT_TRUE(window->PagesRemembered());
    EXPECT_FALSE(window->PagesShown()) << "the front end decides when to show them";
    EXPECT_EQ(FileText(adapterConf), "socketcan:vcan0\n# mine\n");
}

// An installed program, or one given --settings-dir, keeps the choice with
// the settings files, away from the program's own folder.
TEST_F(PagesMenuTest, TheChoiceIsKeptInTheSettingsDirectoryInUse) {
    const auto settings = system.services.programDirectory / "settings";
    std::filesystem::create_directories(settings);
    system.services.settingsDirectory = settings;
    CreateWindow();
    ChooseMenuItem();
    EXPECT_EQ(FileText(settings / PAGES_CONF_NAME), "shown\n");
    EXPECT_FALSE(std::filesystem::exists(Beside()));
    CreateWindow();
    EXPECT_TRUE(window->PagesRemembered());
}

TEST_F(PagesMenuTest, AChoiceThatCannotBeSavedIsSaidOnTheStatusLine) {
    // Folders where the files go, beside the program and in the user's folder.
    const PagesChoiceFiles files = PagesChoiceFilesFor(system.services.programDirectory);
    ASSERT_FALSE(files.user.empty());
    std::filesystem::create_directories(files.beside);
    std::filesystem::create_directories(files.user);
    ChooseMenuItem();
    EXPECT_TRUE(window->PagesShown()) << "the pages show all the same";
    const std::string status = window->GetDlgItemText(IDC_STATUS);
    EXPECT_EQ(status.rfind(STATUS_PAGES_NOT_REMEMBERED, 0), 0u) << status;
}

struct RememberedRow {
    const char* name;
    std::optional<std::string> beside;
    std::optional<std::string> user;
    bool shown;
};

class RememberedPagesTest : public ::testing::TestWithParam<RememberedRow> {};

TEST_P(RememberedPagesTest, ReadsBesideTheProgramFirst) {
    test::TempDir directory;
    const PagesChoiceFiles files{directory.Path() / "beside.conf", directory.Path() / "user.conf"};
    if (GetParam().beside) {
        WriteText(files.beside, *GetParam().beside);
    }
    if (GetParam().user) {
        WriteText(files.user, *GetParam().user);
    }
    EXPECT_EQ(RememberedPagesShown(files), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RememberedPagesTest,
    ::testing::Values(RememberedRow{"NoFile", std::nullopt, std::nullopt, false},
                      RememberedRow{"BesideShown", "shown\n", std::nullopt, true},
                      RememberedRow{"BesideShownWithoutLineEnd", "shown", std::nullopt, true},
                      RememberedRow{"BesideShownWindowsLineEnd", "shown\r\n", std::nullopt, true},
                      RememberedRow{"BesideHiddenOverUserShown", "hidden\n", "shown\n", false},
                      RememberedRow{"BesideUnreadableUserShown", "yes\n", "shown\n", true},
                      RememberedRow{"OnlyUserShown", std::nullopt, "shown\n", true},
                      RememberedRow{"TooLong", "shown\n" + std::string(100, '#'), std::nullopt,
                                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SavePagesShownTest, GoesToTheUserFolderWhenBesideTheProgramFails) {
    test::TempDir directory;
    const PagesChoiceFiles files{directory.Path() / "missing" / "beside.conf",
                                 directory.Path() / "config" / "quillon" / "user.conf"};
    EXPECT_TRUE(SavePagesShown(true, files));
    EXPECT_FALSE(std::filesystem::exists(files.beside));
    EXPECT_EQ(FileText(files.user), "shown\n");
}

TEST(SavePagesShownTest, FailingBothNamesBoth) {
    test::TempDir directory;
    std::filesystem::create_directory(directory.Path() / "beside.conf");
    std::filesystem::create_directory(directory.Path() / "user.conf");
    const PagesChoiceFiles files{directory.Path() / "beside.conf", directory.Path() / "user.conf"};
    const auto saved = SavePagesShown(false, files);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message.find("beside.conf"), std::string::npos) << saved.message;
    EXPECT_NE(saved.message.find("user.conf"), std::string::npos) << saved.message;
}

}  // namespace
}  // namespace quillon::app
