#include <dlfcn.h>

#include "platform/system/SharedLibrary.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::sys {

std::shared_ptr<SharedLibrary> SharedLibrary::Load(const std::filesystem::path& path,
                                                   std::string& error) {
    // RTLD_NODELETE: the code stays mapped even if someone closes the handle.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char* reason = ::dlerror();
        error = "cannot load " + PathToUtf8(path) + ": " + (reason ? reason : "unknown reason");
        return nullptr;
    }
    return std::shared_ptr<SharedLibrary>(new SharedLibrary(path, handle));
}

void* SharedLibrary::Symbol(const char* name) const {
    return ::dlsym(handle_, name);
}

std::filesystem::path ModulePathOf(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::absolute(info.dli_fname);
}

}  // namespace quillon::sys
