// Sibling tools, the manual, and their failure boxes (buttons 1006, 1008, 1007).
#include <array>
#include <string_view>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "platform/system/HostSystem.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::app {

// The sibling programs by name; each file name is the system's form of it
// ("Baudly" on Linux, "Baudly.exe" on Windows).
inline constexpr const char* BAUD_CALCULATOR_PROGRAM = "Baudly";
inline constexpr const char* CONVERTER_PROGRAM = "Refold";
inline constexpr const char* CONVERTER_FALLBACK_PROGRAM = "Logmorph";
// The manual's name is kept in UTF-8 and made into a path without any code
// page: a narrow name widened through the system's code page names no file
// wherever that page is not the one the name was written in.
inline constexpr std::string_view MANUAL_FILE = "升级使用手册.pdf";
// Where an installed program's documentation lies, from its program directory
// (<prefix>/bin beside <prefix>/share/doc/quillon).
inline constexpr std::string_view INSTALLED_DOCUMENTATION = "../share/doc/quillon";

bool CQuillonDlg::StartTool(const char* programName) {
    return services_.launcher.StartProcess(services_.programDirectory /
                                           sys::ProgramFileName(programName));
}

void CQuillonDlg::StartBaudCalculator() {
    if (!StartTool(BAUD_CALCULATOR_PROGRAM)) {
        Warn("打开波特率计算程序失败!");
    }
}

void CQuillonDlg::StartConverter() {
    if (!StartTool(CONVERTER_PROGRAM) && !StartTool(CONVERTER_FALLBACK_PROGRAM)) {
        Warn("打开转换程序失败!");
    }
}

// The manual beside the program (a build or an unpacked folder) comes first,
// then the one in the installed documentation directory.
void CQuillonDlg::OpenManual() {
    const std::filesystem::path& programDirectory = services_.programDirectory;
    const std::array<std::filesystem::path, 2> folders{
        programDirectory,
        (programDirectory / sys::PathFromUtf8(INSTALLED_DOCUMENTATION)).lexically_normal()};
    bool opened = false;
    for (const std::filesystem::path& folder : folders) {
        opened =
            opened || services_.documents.OpenDocument(folder / sys::PathFromUtf8(MANUAL_FILE));
    }
    if (!opened) {
        MessageBox(
            "感谢您选用 Quillon "
            "工作室的产品！未能打开使用说明，请参阅随产品提供的《升级使用手册》。",
            "帮助", ui::MB_ICONQUESTION);
    }
}

}  // namespace quillon::app
