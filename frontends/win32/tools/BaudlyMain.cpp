// Baudly.exe: the bit-timing calculator's window, started by the main
// window's "波特率设置参考" button.
#include "baudly/CBaudlyDlg.hpp"
#include "frontends/win32/ToolProgram.hpp"
#include "platform/system/CommandLine.hpp"

int main(int argc, char** argv) {
    return quillon::win32::RunToolProgram(
        quillon::sys::Utf8Arguments(argc, argv),
        {"Baudly", "Baudly: BTR0/BTR1 pairs for a CAN bit rate on the device's 36 MHz controller.",
         [](quillon::ui::Host& host) {
             return std::make_unique<quillon::baudly::CBaudlyDlg>(host);
         }});
}
