// Runs quillon-cli inside the test process on the given system services, and
// closes every adapter afterwards so the next command starts fresh.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "frontends/cli/CliApp.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"

namespace quillon::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

/// `in` holds the lines the debug command reads.
inline CliResult RunCliInProcess(std::vector<std::string> args, sys::SystemServices& services,
                                 std::istream& in) {
    args.insert(args.begin(), "quillon-cli");
    std::vector<const char*> argv;
    for (const auto& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        cli::RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err, services);
    kelvix::CloseAllAdapters();
    return {status, out.str(), err.str()};
}

inline CliResult RunCliInProcess(std::vector<std::string> args, sys::SystemServices& services) {
    std::istringstream nothing;
    return RunCliInProcess(std::move(args), services, nothing);
}

}  // namespace quillon::test
