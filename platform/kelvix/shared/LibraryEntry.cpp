// Set-up of the adapter library built as a shared library (libkelvix.so,
// kelvix.dll), run once when the library is loaded. Programs that link the
// library statically make these choices in their own main().

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/SharedLibrary.hpp"
#include "sim/SimDevices.hpp"

namespace kelvix {
namespace {

// Loading an adapter library from inside the adapter library would at best
// load itself again (with KELVIX_ADAPTER=dll:... set for the program that
// loaded it) and recurse on every call.
std::unique_ptr<Adapter> RefuseNesting(const AdapterSpec& spec, std::uint32_t, std::string& error) {
    error = "dll:" + spec.options +
            " cannot be used inside the adapter library itself; choose sim, socketcan, qcanbus "
            "or brindle for it";
    return nullptr;
}

bool SetUpSharedLibrary() {
    quillon::sim::RegisterSimDevice();
    RegisterBackend("dll", RefuseNesting);
    // kelvix.conf lies beside the library, wherever the program using it lies.
    SetConfigDirectory(
        quillon::sys::ModulePathOf(reinterpret_cast<const void*>(&SetUpSharedLibrary))
            .parent_path());
    return true;
}

[[maybe_unused]] const bool SET_UP = SetUpSharedLibrary();

}  // namespace
}  // namespace kelvix
