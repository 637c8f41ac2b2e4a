// Shared libraries the build puts beside (or names for) the test programs.
// The build passes a full path, or on Windows a file name beside the test.
#pragma once

#include <string>

#include "platform/system/ProgramDirectory.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::test {

/// UTF-8 path of the library the build named `fromBuild`.
inline std::string TestLibraryPath(const char* fromBuild) {
    return sys::PathToUtf8(sys::ExecutableDirectory() / sys::PathFromUtf8(fromBuild));
}

}  // namespace quillon::test
