// The adapter dialog: the reachable adapters listed with their reasons, the
// setting taken from a row or typed, used for the next connect and saved as
// the first line of kelvix.conf beside the program or else in the user's folder.
#include "app/CAdapterDlg.hpp"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/MainWindowIds.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "support/Environment.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::app {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class AdapterDlgTest : public ::testing::Test {
  protected:
    void Open() {
        AdapterChoice choice{[this](const std::string& spec) { used.push_back(spec); },
                             [this](const std::string& spec) {
                                 saved.push_back(spec);
                                 return saveResult;
                             }};
        dialog = std::make_unique<CAdapterDlg>(host, listings, "sim:type=2", choice);
        host.SetModalScript([](ui::Dialog&) {});
        dialog->DoModal();
    }

    test::ScriptedHost host;
    std::vector<kelvix::InterfaceListing> listings = {
        {"sim", "sim", "simulated device in this process", ""},
        {"socketcan", "", "raw CAN sockets", "this system has no raw CAN sockets"},
        {"qcanbus", "qcanbus:virtualcan:can0", "Qt Virtual CAN bus", ""},
    };
    std::vector<std::string> used;
    std::vector<std::string> saved;
    protocol::SaveResult saveResult = protocol::SaveResult::Success("kelvix.conf");
    std::unique_ptr<CAdapterDlg> dialog;
};

TEST_F(AdapterDlgTest, ListsEveryAdapterWithTheReasonBesideEachUnavailableOne) {
    Open();
    EXPECT_EQ(dialog->Template().caption, "选择适配器");
    ASSERT_EQ(dialog->GetItemCount(IDC_ADAPTER_LIST), 3);
    const std::vector<std::vector<std::string>> expected = {
        {"sim", "sim", "本进程内的模拟设备"},
        {"socketcan", "不可用", "原始 CAN 套接字：this system has no raw CAN sockets"},
        {"qcanbus", "qcanbus:virtualcan:can0", "Qt 虚拟 CAN 总线"},
    };
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(dialog->GetItemText(IDC_ADAPTER_LIST, row, column),
                      expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)])
                << row << "," << column;
        }
    }
    EXPECT_EQ(dialog->GetDlgItemText(IDC_ADAPTER_SPEC), "sim:type=2") << "the setting in force";
}

// The listers word their lines in English for quillon-cli; the window shows
// them in Chinese, keeping what only the system or a plugin can word.
TEST_F(AdapterDlgTest, TextsAreShownInTheWindowsLanguage) {
    const struct {
        const char* name;
        kelvix::InterfaceListing listing;
        const char* settingCell;
        const char* textCell;
    } rows[] = {
        {"whole text",
         {"sim", "sim", "simulated device in this process", ""},
         "sim",
         "本进程内的模拟设备"},
        {"name at the end",
         {"socketcan", "socketcan:can0", "CAN network interface can0", ""},
         "socketcan:can0",
         "CAN 网络接口 can0"},
        {"system's words inside a reason",
         {"socketcan", "", "raw CAN sockets",
          "this system has no raw CAN sockets (Address family not supported by protocol); the "
          "can and can_raw kernel modules are needed"},
         "不可用",
         "原始 CAN 套接字：本机没有原始 CAN 套接字（Address family not supported by "
         "protocol），需要 can 和 can_raw 内核模块"},
        {"library that cannot load",
         {"qcanbus", "", "Qt SerialBus plugin tinycan can0.0",
          "Cannot load library mhstcan: (mhstcan: cannot open shared object file)"},
         "不可用",
         "Qt SerialBus 插件 tinycan can0.0：无法加载库 mhstcan: (mhstcan: cannot open shared "
         "object file)"},
        {"untested with a setting to try",
         {"dll", "dll:PATH", "any adapter library exporting the eight VCI_* calls",
          "needs the library's path in place of PATH", true},
         "dll:PATH（未测试）",
         "导出八个 VCI_* 函数的任一适配器库：需将 PATH 换成该库的路径"},
        {"untested without one",
         {"qcanbus", "", "Qt SerialBus plugins", "the Qt thread has stopped; not tried", true},
         "未测试",
         "Qt SerialBus 插件：Qt 线程已停止，未测试"},
        {"unknown to the table",
         {"qcanbus", "qcanbus:peakcan:usb0", "PCAN-USB", ""},
         "qcanbus:peakcan:usb0",
         "PCAN-USB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        listings = {row.listing};
        Open();
        EXPECT_EQ(dialog->GetItemText(IDC_ADAPTER_LIST, 0, 0), row.listing.backend);
        EXPECT_EQ(dialog->GetItemText(IDC_ADAPTER_LIST, 0, 1), row.settingCell);
        EXPECT_EQ(dialog->GetItemText(IDC_ADAPTER_LIST, 0, 2), row.textCell);
    }
}

TEST_F(AdapterDlgTest, ARowWithASettingToTryGivesItAnUnavailableOneNothing) {
    listings.push_back({"dll", "dll:PATH", "any adapter library", "needs a path", true});
    Open();
    dialog->SelectRows(IDC_ADAPTER_LIST, {2});
    EXPECT_EQ(dialog->GetDlgItemText(IDC_ADAPTER_SPEC), "qcanbus:virtualcan:can0");
    dialog->SelectRows(IDC_ADAPTER_LIST, {1});
    EXPECT_EQ(dialog->GetDlgItemText(IDC_ADAPTER_SPEC), "qcanbus:virtualcan:can0");
    dialog->SelectRows(IDC_ADAPTER_LIST, {3});
    EXPECT_EQ(dialog->GetDlgItemText(IDC_ADAPTER_SPEC), "dll:PATH") << "untested, to be completed";
}

TEST_F(AdapterDlgTest, OkUsesAndSavesTheSettingAsTyped) {
    Open();
    dialog->SetDlgItemText(IDC_ADAPTER_SPEC, "  sim:type=7,fw=12 ");
    dialog->Click(ui::IDOK);
    EXPECT_EQ(used, std::vector<std::string>{"sim:type=7,fw=12"});
    EXPECT_EQ(saved, used);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(dialog->IsEnded());
    EXPECT_EQ(dialog->ModalResult(), ui::IDOK);
}

TEST_F(AdapterDlgTest, RefusedSettingsKeepTheDialogOpen) {
    const struct {
        const char* name;
        const char* spec;
        const char* box;
    } rows[] = {
        {"empty", "   ", "请选择适配器!"},
        {"line break", "sim\nsocketcan", "适配器设置不能含有控制字符!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        host.ClearBoxes();
        Open();
        dialog->SetDlgItemText(IDC_ADAPTER_SPEC, row.spec);
        dialog->Click(ui::IDOK);
        ASSERT_EQ(host.Boxes().size(), 1u);
        EXPECT_EQ(host.Boxes()[0].text, row.box);
        EXPECT_EQ(host.Boxes()[0].caption, "警告");
        EXPECT_FALSE(dialog->IsEnded());
        EXPECT_TRUE(used.empty());
    }
}

TEST_F(AdapterDlgTest, ASaveThatFailsIsReportedButTheSettingIsUsed) {
    saveResult = protocol::SaveResult::Failure("/u/kelvix.conf", "cannot create /u/kelvix.conf");
    Open();
    dialog->SetDlgItemText(IDC_ADAPTER_SPEC, "sim");
    dialog->Click(ui::IDOK);
    EXPECT_EQ(used, std::vector<std::string>{"sim"});
    EXPECT_EQ(host.BoxTexts(),
              std::vector<std::string>{"适配器设置已用于下次连接，但未能保存：cannot create "
                                       "/u/kelvix.conf"});
    EXPECT_TRUE(dialog->IsEnded());
}

TEST(SaveAdapterChoiceTest, FirstLineReplacedTheRestKept) {
    test::TempDir dir;
    const fs::path conf = dir.Path() / "kelvix.conf";
    std::ofstream(conf, std::ios::binary) << "socketcan:can0\n# kept\nline 3\n";
    ASSERT_TRUE(SaveAdapterChoice("sim:type=2", conf, dir.Path() / "user" / "kelvix.conf"));
    EXPECT_EQ(FileText(conf), "sim:type=2\n# kept\nline 3\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "user")) << "beside the program was writable";

    const fs::path fresh = dir.Path() / "fresh.conf";
    ASSERT_TRUE(SaveAdapterChoice("brindle", fresh, {}));
    EXPECT_EQ(FileText(fresh), "brindle\n");
}

// kelvix.conf is read through the input-file reader: a FIFO in its place is
// not waited on, and a file too long to copy back whole is left as it is, the
// setting going to the user's file instead.
TEST(SaveAdapterChoiceTest, ProgramFileIsReadWithoutWaitingAndKeptWholeOrNotAtAll) {
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> make;  ///< puts something at kelvix.conf
        const char* programAfter;                   ///< null: as it was before
        const char* userAfter;                      ///< null: not written
    };
    const std::string tooLong = "socketcan:can0\n" + std::string(64 * 1024, '#');
    std::vector<Row> rows = {
        {"setting without a line end",
         [](const fs::path& conf) { std::ofstream(conf, std::ios::binary) << "socketcan:can0"; },
         "sim\n", nullptr},
        {"too long to keep whole",
         [&tooLong](const fs::path& conf) { std::ofstream(conf, std::ios::binary) << tooLong; },
         nullptr, "sim\n"},
    };
#ifndef _WIN32
    rows.push_back({"FIFO without a writer",
                    [](const fs::path& conf) { ASSERT_EQ(::mkfifo(conf.c_str(), 0600), 0); },
                    "sim\n", nullptr});
#endif
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        const fs::path conf = dir.Path() / "kelvix.conf";
        const fs::path user = dir.Path() / "user" / "kelvix.conf";
        row.make(conf);
        const std::string before = fs::is_regular_file(conf) ? FileText(conf) : "";

        const auto result = SaveAdapterChoice("sim", conf, user);

        ASSERT_TRUE(result) << result.message;
        ASSERT_TRUE(fs::is_regular_file(conf)) << "reading it could block";
        EXPECT_EQ(FileText(conf), row.programAfter ? row.programAfter : before);
        EXPECT_EQ(fs::exists(user), row.userAfter != nullptr);
        if (row.userAfter) {
            EXPECT_EQ(FileText(user), row.userAfter);
        }
    }
}

TEST(SaveAdapterChoiceTest, UnwritableProgramFolderFallsBackToTheUsersFolder) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "program") << "a file, not a folder";
    const fs::path user = dir.Path() / "config" / "quillon" / "kelvix.conf";
    const auto result = SaveAdapterChoice("sim", dir.Path() / "program" / "kelvix.conf", user);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(result.path, user);
    EXPECT_EQ(FileText(user), "sim\n");

    const auto neither = SaveAdapterChoice("sim", dir.Path() / "program" / "kelvix.conf",
                                           dir.Path() / "program" / "user" / "kelvix.conf");
    EXPECT_FALSE(neither);
    EXPECT_NE(neither.message.find("; "), std::string::npos) << "both reasons: " << neither.message;
}

// The program's choice: the override for the next connect, and the user's
// kelvix.conf read when there is none beside the program.
TEST(ProgramAdapterChoiceTest, UsedForTheNextConnectAndReadBackFromTheUsersFile) {
    const char* saved = std::getenv("KELVIX_ADAPTER");
    const std::string before = saved ? saved : "";
    test::UnsetEnvironment("KELVIX_ADAPTER");
    test::TempDir dir;
    const AdapterChoice choice = ProgramAdapterChoice(dir.Path());
    choice.use("sim:type=3");
    EXPECT_EQ(kelvix::CurrentAdapterSpec(), "sim:type=3");
    ASSERT_TRUE(choice.save("sim:type=3"));
    EXPECT_EQ(FileText(dir.Path() / "kelvix.conf"), "sim:type=3\n");
    kelvix::CloseAllAdapters();  // drops the override

    fs::create_directories(kelvix::UserAdapterConfPath().parent_path());
    std::ofstream(kelvix::UserAdapterConfPath()) << "sim:type=6\n";
    EXPECT_EQ(kelvix::CurrentAdapterSpec(), "sim:type=6");
    if (!before.empty()) {
        test::SetEnvironment("KELVIX_ADAPTER", before);
    }
}

}  // namespace
}  // namespace quillon::app
