// Loading a shared library (a .so or a .dll) and finding its exported calls.
//
// A library once loaded stays loaded until the process ends: a library may
// have started threads of its own, and unloading its code under them would
// crash the process at a random later moment.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace quillon::sys {

class SharedLibrary {
  public:
    /// Loads `path`. Returns null with `error` saying which file and why.
    static std::shared_ptr<SharedLibrary> Load(const std::filesystem::path& path,
                                               std::string& error);

    /// Address of the exported symbol `name`, or null when the library lacks it.
    void* Symbol(const char* name) const;
    const std::filesystem::path& Path() const { return path_; }

  private:
    SharedLibrary(std::filesystem::path path, void* handle)
        : path_(std::move(path)), handle_(handle) {}

    std::filesystem::path path_;
    void* handle_;  ///< the loader's handle; never released (see above)
};

/// Full path of the executable or shared library whose code contains `address`;
/// empty when the loader does not know it.
std::filesystem::path ModulePathOf(const void* address);

}  // namespace quillon::sys
