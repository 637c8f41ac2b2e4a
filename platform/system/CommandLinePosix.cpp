#include "platform/system/CommandLine.hpp"

namespace quillon::sys {

// Linux passes arguments as the bytes the user typed, UTF-8 in any usual locale.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace quillon::sys
