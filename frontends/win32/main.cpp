// quillon.exe: the main window on the window system's own controls.
#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/win32/WindowApplication.hpp"
#include "platform/system/CommandLine.hpp"

int main(int argc, char** argv) {
    // Paths on the command line may hold any character (设置).
    const std::vector<std::string> arguments = quillon::sys::Utf8Arguments(argc, argv);
    return quillon::adapters::RunWithBuildBackends(
        [&] { return quillon::win32::RunWindowApplication(arguments); });
}
