#include "platform/system/SystemServices.hpp"

#include "platform/system/ProgramDirectory.hpp"

namespace quillon::sys {

SystemServices& DefaultSystemServices() {
    static SystemClock clock;
    static SystemSleeper sleeper;
    static SpawnProcessLauncher launcher;
    static DesktopDocumentOpener documents;
    static SystemServices services{
        clock, sleeper, launcher, documents, ExecutableDirectory(), ExecutablePath(), CodePages{}};
    return services;
}

}  // namespace quillon::sys
