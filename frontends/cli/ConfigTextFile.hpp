// Configuration texts as the commands take them: read from a file a user
// names, every problem printed, and told apart from the binary settings files.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "configtext/ConfigRecords.hpp"
#include "configtext/ValueReader.hpp"
#include "platform/system/SystemServices.hpp"

namespace quillon::cli {

/// True when `file` holds a configuration text rather than a settings file:
/// its first character past blanks opens a JSON object or a comment.
bool IsConfigTextFile(const std::string& file);

/// Reads and checks the text in `file`. Prints each warning and error on `err`
/// as "COMMAND: PATH: RULE"; nothing when any was an error or the file cannot
/// be read.
std::optional<configtext::ConfigRecords> LoadConfigTextFile(const std::string& file,
                                                            const sys::SystemServices& services,
                                                            std::string_view command,
                                                            std::ostream& err);

/// The records as the text names their fields, for comparing field by field.
configtext::Json ConfigFields(const configtext::ConfigRecords& records,
                              const sys::SystemServices& services);

}  // namespace quillon::cli
