// On Linux the socketcan backend is one of the library's own.
#include "platform/kelvix/PlatformBackends.hpp"
#include "platform/kelvix/socketcan/SocketCanAdapter.hpp"
#include "platform/kelvix/socketcan/SocketCanDiscovery.hpp"

namespace kelvix {

void AddPlatformBackends(std::map<std::string, AdapterFactory>& factories) {
    factories["socketcan"] = CreateSocketCanAdapter;
}

void AddPlatformListers(std::map<std::string, InterfaceLister>& listers) {
    listers["socketcan"] = [] { return ListSocketCanInterfaces(); };
}

}  // namespace kelvix
