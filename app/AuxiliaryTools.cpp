// Sibling tools, the manual, and their failure boxes (buttons 1006, 1008, 1007).
#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "platform/system/HostSystem.hpp"

namespace quillon::app {

// The sibling programs by name; each file name is the system's form of it
// ("Baudly" on Linux, "Baudly.exe" on Windows).
inline constexpr const char* BAUD_CALCULATOR_PROGRAM = "Baudly";
inline constexpr const char* CONVERTER_PROGRAM = "Refold";
inline constexpr const char* CONVERTER_FALLBACK_PROGRAM = "Logmorph";
inline constexpr const char* MANUAL_FILE = "升级使用手册.pdf";

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

void CQuillonDlg::OpenManual() {
    if (!services_.documents.OpenDocument(services_.programDirectory / MANUAL_FILE)) {
        MessageBox(
            "感谢您选用 Quillon "
            "工作室的产品！未能打开使用说明，请参阅随产品提供的《升级使用手册》。",
            "帮助", ui::MB_ICONQUESTION);
    }
}

}  // namespace quillon::app
