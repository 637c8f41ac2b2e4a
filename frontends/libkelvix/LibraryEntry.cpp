// Set-up of the adapter library built as a shared library (libkelvix.so,
// kelvix.dll), run once when the library is loaded. Programs that link the
// library statically make these choices in their own main().

#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/SharedLibrary.hpp"
#include "sim/SimDevices.hpp"

namespace kelvix {
namespace {

constexpr const char* NESTED_BACKEND = "dll";

// Loading an adapter library from inside the adapter library would at best
// load itself again (with KELVIX_ADAPTER=dll:... set for the program that
// loaded it) and recurse on every call.
std::unique_ptr<Adapter> RefuseNesting(const AdapterSpec& spec, std::uint32_t, std::string& error) {
    error = std::string(NESTED_BACKEND) + ":" + spec.options +
            " cannot be used inside the adapter library itself; choose " +
            quillon::adapters::OtherBackends(RegisteredBackends(), NESTED_BACKEND) + " for it";
    return nullptr;
}

bool SetUpSharedLibrary() {
    quillon::sim::RegisterSimDevice();
    RegisterBackend(NESTED_BACKEND, RefuseNesting);
    // The optional backends whose sources started before this one are registered
    // now, the others as they start.
    quillon::adapters::RegisterBuildBackends();
    // kelvix.conf lies beside the library, wherever the program using it lies.
    SetConfigDirectory(
        quillon::sys::ModulePathOf(reinterpret_cast<const void*>(&SetUpSharedLibrary))
            .parent_path());
    return true;
}

[[maybe_unused]] const bool SET_UP = SetUpSharedLibrary();

}  // namespace
}  // namespace kelvix
