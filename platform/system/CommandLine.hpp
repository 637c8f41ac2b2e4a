// The program's arguments as UTF-8 text, the encoding the program keeps all
// text in. On Windows the narrow argv of main() has been through the ANSI code
// page and has lost every character that page lacks; the wide command line has not.
#pragma once

#include <string>
#include <vector>

namespace quillon::sys {

/// Arguments of this process, argv[0] included, in UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace quillon::sys
