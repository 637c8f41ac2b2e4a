// quillon-cli leaves the Qt SerialBus backend to a companion program built
// from the same sources with it (quillon-cli-qt, beside it): loading the Qt
// libraries takes longer than most commands take to run, and only that
// backend needs them. A command that needs the backend is handed over to the
// companion before it starts, so the user sees one program either way.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

struct GlobalOptions;

/// The backend the companion carries.
inline constexpr std::string_view QT_BACKEND = "qcanbus";

/// True when `command` needs the Qt SerialBus backend: `adapters` lists its
/// interfaces, and a command opens `adapterSpec` (the adapter text --adapter,
/// KELVIX_ADAPTER or kelvix.conf gives) when it names the backend.
bool NeedsQtBackend(std::string_view command, std::string_view adapterSpec);

/// Replaces this process with `program` run with `arguments` (the first being
/// the name it is called by). Returns only when that fails, saying why.
std::string RunInstead(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments);

/// When the parsed command needs the Qt SerialBus backend, runs `companion`
/// with `arguments` in place of this process; returns only when it cannot,
/// with the status to end with after saying why on `err`. Nothing when the
/// command does not need the backend.
std::optional<int> HandOverForQtBackend(const GlobalOptions& global,
                                        const std::filesystem::path& companion,
                                        const std::vector<std::string>& arguments,
                                        std::ostream& err);

}  // namespace quillon::cli
