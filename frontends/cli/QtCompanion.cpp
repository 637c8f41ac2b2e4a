#include "frontends/cli/QtCompanion.hpp"

#include <cerrno>
#include <cstring>

#include <iostream>

#include "frontends/cli/ExitCode.hpp"
#include "frontends/cli/Session.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/Utf8Path.hpp"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace quillon::cli {

bool NeedsQtBackend(std::string_view command, std::string_view adapterSpec) {
    return command == "adapters" || kelvix::AdapterSpec::Parse(adapterSpec).backend == QT_BACKEND;
}

std::string RunInstead(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments) {
#ifdef _WIN32
    // The Windows build has no Qt SerialBus backend and so no companion.
    (void)program;
    (void)arguments;
    return "not available on Windows";
#else
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    return std::strerror(errno);
#endif
}

std::optional<int> HandOverForQtBackend(const GlobalOptions& global,
                                        const std::filesystem::path& companion,
                                        const std::vector<std::string>& arguments,
                                        std::ostream& err) {
    // The adapter the command would open, as the session will resolve it.
    kelvix::SetAdapterSpecOverride(global.adapter);
    const std::string adapter = kelvix::CurrentAdapterSpec();
    kelvix::SetAdapterSpecOverride("");
    if (!NeedsQtBackend(global.command, adapter)) {
        return std::nullopt;
    }
    std::cout.flush();
    const std::string why = RunInstead(companion, arguments);
    err << "quillon-cli " << global.command << ": the " << QT_BACKEND << " backend is in "
        << sys::PathToUtf8(companion) << ", which cannot be started: " << why << '\n';
    return EXIT_NO_ADAPTER;
}

}  // namespace quillon::cli
