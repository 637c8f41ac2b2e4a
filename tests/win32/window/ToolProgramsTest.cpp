// The tools beside quillon.exe: with the pages shown, buttons 1006 and 1008
// start Baudly.exe and Refold.exe (their windows found by caption, then
// closed) and 1007 shows the core's "帮助" box where no manual lies; the
// tools' windows, on the system's controls, answer as quillon-cli does.
#include <nlohmann/json.hpp>

#include <fstream>

#include "app/MainWindowIds.hpp"
#include "baudly/CBaudlyDlg.hpp"
#include "frontends/win32/DialogWindow.hpp"
#include "frontends/win32/Utf16.hpp"
#include "platform/system/SystemServices.hpp"
#include "platform/system/Utf8Path.hpp"
#include "refold/CRefoldDlg.hpp"
#include "tests/cli/InProcessCli.hpp"
#include "tests/win32/window/WindowFixture.hpp"

namespace quillon::test {
namespace {

std::filesystem::path TestProgramDirectory() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return std::filesystem::path(path).parent_path();
}

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ToolProgramsTest : public WindowFixture {
  protected:
    /// The real launcher and document opener, with the tools copied beside
    /// this test program as the build puts them beside quillon.exe.
    sys::SystemServices RealStarts() {
        const sys::SystemServices& defaults = sys::DefaultSystemServices();
        return {system.clock,
                system.sleeper,
                defaults.launcher,
                defaults.documents,
                TestProgramDirectory(),
                TestProgramDirectory() / "quillon.exe",
                system.services.codePages,
                system.directory.Path()};
    }
    /// Another program's top-level dialog window with `caption`, once it is
    /// there; null when it never comes.
    HWND WaitForWindow(const std::string& caption) {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                found = FindWindowW(L"#32770", win32::WideText(caption).c_str());
                return found != nullptr;
            },
            60000);
        return found;
    }
    /// Shows `dialog` in a window of its own as the tool program does.
    std::unique_ptr<win32::DialogWindow> Show(ui::Dialog& dialog) {
        dialog.Create();
        auto shown = std::make_unique<win32::DialogWindow>(dialog, win32::DialogRole::Window,
                                                           nullptr, faceName, false);
        testWindows.insert(shown->Handle());
        ShowWindow(shown->Handle(), SW_SHOW);
        shown->Flush();
        return shown;
    }
    /// Replaces the edit's text as a paste over a selection of all does.
    void Type(HWND control, const std::string& text) {
        SendMessageW(control, EM_SETSEL, 0, -1);
        const std::wstring wide = win32::WideText(text);
        SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        Pump();
    }
};

struct StartedTool {
    const char* name;
    int button;
    std::string caption;
};

TEST_F(ToolProgramsTest, ButtonsStartTheToolsBesideTheProgram) {
    const StartedTool tools[] = {
        {"calculator", app::IDC_BAUD_CALCULATOR, baudly::BaudlyDlgTemplate().caption},
        {"converter", app::IDC_CONVERTER, refold::RefoldDlgTemplate().caption},
    };
    sys::SystemServices services = RealStarts();
    Open(true, &services);
    for (const StartedTool& tool : tools) {
        SCOPED_TRACE(tool.name);
        Click(Main(), tool.button);
        HWND started = WaitForWindow(tool.caption);
        ASSERT_NE(started, nullptr) << "no window \"" << tool.caption << "\"";
        DWORD process = 0;
        GetWindowThreadProcessId(started, &process);
        EXPECT_NE(process, GetCurrentProcessId());
        PostMessageW(started, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([started] { return IsWindow(started) == FALSE; }));
    }
    EXPECT_EQ(watcher.Boxes().size(), 0u);  // neither start failed
}

TEST_F(ToolProgramsTest, ManualButtonShowsTheHelpBoxWhereNoManualLies) {
    sys::SystemServices services = RealStarts();
    ASSERT_FALSE(std::filesystem::exists(services.programDirectory / L"升级使用手册.pdf"));
    Open(true, &services);
    Click(Main(), app::IDC_MANUAL);
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(
        watcher.Boxes()[0].text,
        "感谢您选用 Quillon 工作室的产品！未能打开使用说明，请参阅随产品提供的《升级使用手册》。");
    EXPECT_EQ(watcher.Boxes()[0].caption, "帮助");
}

/// A pair list row as numbers: BTR0, BTR1, prescaler, time quanta.
using PairRow = std::array<unsigned long, 4>;

TEST_F(ToolProgramsTest, CalculatorWindowListsTheCliPairs) {
    baudly::CBaudlyDlg dialog(host);
    const auto shown = Show(dialog);
    Type(shown->Control(baudly::IDC_BAUDLY_RATE), "250000");
    Type(shown->Control(baudly::IDC_BAUDLY_SAMPLE_POINT), "");
    Click(shown->Handle(), baudly::IDC_BAUDLY_SEARCH);
    HWND list = shown->Control(baudly::IDC_BAUDLY_PAIRS);
    std::vector<PairRow> window;
    for (int row = 0; row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        window.push_back({std::stoul(Cell(list, row, baudly::COLUMN_BTR0), nullptr, 16),
                          std::stoul(Cell(list, row, baudly::COLUMN_BTR1), nullptr, 16),
                          std::stoul(Cell(list, row, baudly::COLUMN_PRESCALER)),
                          std::stoul(Cell(list, row, baudly::COLUMN_QUANTA))});
    }

    const CliResult cli = RunCliInProcess({"bittiming", "250000", "--json"}, system.services);
    ASSERT_EQ(cli.status, 0) << cli.err;
    std::vector<PairRow> expected;
    const nlohmann::json document = nlohmann::json::parse(cli.out);
    const auto row = [](const nlohmann::json& pair) {
        return PairRow{std::stoul(pair["btr0"].get<std::string>(), nullptr, 16),
                       std::stoul(pair["btr1"].get<std::string>(), nullptr, 16),
                       pair["prescaler"].get<unsigned long>(), pair["quanta"].get<unsigned long>()};
    };
    for (const auto& pair : document["pairs"]) {
        expected.push_back(row(pair));
    }
    // 250 kbit/s: the baud-rate list's own pair is none of those found, and
    // follows them.
    ASSERT_FALSE(document["pagePair"].is_null());
    expected.push_back(row(document["pagePair"]));
    EXPECT_EQ(window, expected);
    EXPECT_EQ(watcher.Boxes().size(), 0u);
}

TEST_F(ToolProgramsTest, ConverterWindowWritesTheCliConversion) {
    const auto input = system.directory.Path() / "bus.log";
    std::ofstream(input, std::ios::binary) << "(1700000000.000100) can0 123#1122334455667788\n"
                                              "(1700000000.002500) can1 12345678#DEAD R\n"
                                              "(1700000001.000000) can0 7FF#\n";
    refold::CRefoldDlg dialog(host);
    const auto shown = Show(dialog);
    Type(shown->Control(refold::IDC_REFOLD_INPUT), win32::Utf8Text(input.wstring()));
    HWND format = shown->Control(refold::IDC_REFOLD_FORMAT);
    SendMessageW(format, CB_SETCURSEL, refold::ROW_CSV, 0);
    SendMessageW(shown->Handle(), WM_COMMAND, MAKEWPARAM(refold::IDC_REFOLD_FORMAT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(format));
    Pump();
    const std::string output = Text(shown->Control(refold::IDC_REFOLD_OUTPUT));
    ASSERT_FALSE(output.empty());
    Click(shown->Handle(), refold::IDC_REFOLD_CONVERT);

    ASSERT_EQ(watcher.Boxes().size(), 1u);  // the converter's report
    EXPECT_EQ(watcher.Boxes()[0].text, Text(shown->Control(refold::IDC_REFOLD_STATUS)));
    EXPECT_EQ(SendMessageW(shown->Control(refold::IDC_REFOLD_PROGRESS), PBM_GETPOS, 0, 0), 100);
    const auto byCli = system.directory.Path() / "cli.csv";
    const CliResult cli = RunCliInProcess({"convert", win32::Utf8Text(input.wstring()),
                                           win32::Utf8Text(byCli.wstring()), "--to", "csv"},
                                          system.services);
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::string converted = FileText(sys::PathFromUtf8(output));
    EXPECT_FALSE(converted.empty());
    EXPECT_EQ(converted, FileText(byCli));
}

}  // namespace
}  // namespace quillon::test
