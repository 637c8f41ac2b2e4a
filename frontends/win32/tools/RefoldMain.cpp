// Refold.exe: the record converter's window, started by the main window's
// "记录文件转换" button.
#include "frontends/win32/ToolProgram.hpp"
#include "platform/system/CommandLine.hpp"
#include "refold/CRefoldDlg.hpp"

int main(int argc, char** argv) {
    return quillon::win32::RunToolProgram(
        quillon::sys::Utf8Arguments(argc, argv),
        {"Refold", "Refold: converts CAN logs between candump, ASC, CSV and the recorder's files.",
         [](quillon::ui::Host& host) {
             return std::make_unique<quillon::refold::CRefoldDlg>(host);
         }});
}
