// Sibling tools, the manual, and their failure boxes (buttons 1006, 1008, 1007).
#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"

namespace quillon::app {

inline constexpr const char* BAUD_CALCULATOR_FILE = "Baudly.exe";
inline constexpr const char* CONVERTER_FILE = "Refold.exe";
inline constexpr const char* CONVERTER_FALLBACK_FILE = "Logmorph.exe";
inline constexpr const char* MANUAL_FILE = "升级使用手册.pdf";

bool CQuillonDlg::StartTool(const char* fileName) {
    return services_.launcher.StartProcess(services_.programDirectory / fileName);
}

void CQuillonDlg::StartBaudCalculator() {
    if (!StartTool(BAUD_CALCULATOR_FILE)) {
        Warn("打开波特率计算程序失败!");
    }
}

void CQuillonDlg::StartConverter() {
    if (!StartTool(CONVERTER_FILE) && !StartTool(CONVERTER_FALLBACK_FILE)) {
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
