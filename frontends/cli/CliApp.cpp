#include "frontends/cli/CliApp.hpp"

#include <CLI/CLI.hpp>
#include <iostream>

#include "frontends/cli/CommandTable.hpp"
#include "platform/kelvix/SimAdapter.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::cli {
namespace {

constexpr const char* FOOTER = R"(Examples:
  quillon-cli session
  quillon-cli --adapter sim:type=2,fw=11 read --json
  quillon-cli --settings-dir ./cfg write
  quillon-cli --settings-dir ./cfg write --verify
  quillon-cli diff old/QXCfg.dat new/QXCfg.dat
  quillon-cli diff cfg/QXCfg.dat --device
  quillon-cli --adapter socketcan:can0,can1 --trace bus.log read --save
  quillon-cli show QXCfg.dat --json
  quillon-cli show QXCfgDTU.dat
  echo AT+CSQ | quillon-cli debug
  quillon-cli decode bus.log --json
  quillon-cli upgrade firmware.bin --json

The adapter comes from --adapter, else KELVIX_ADAPTER, else kelvix.conf beside
the program, else "sim" (a simulated adapter with a simulated device).)";

// Sends the simulated device's warnings to the command's error stream while it runs.
class SimWarningsTo {
  public:
    explicit SimWarningsTo(std::ostream& err) {
        sim::SetSimWarningSink([&err](const std::string& warning) {
            err << "quillon-cli: warning: " << warning << '\n';
        });
    }
    ~SimWarningsTo() { sim::SetSimWarningSink({}); }
    SimWarningsTo(const SimWarningsTo&) = delete;
    SimWarningsTo& operator=(const SimWarningsTo&) = delete;
};

// A timed simulated bus keeps the command's own time, so its waits for the
// wire and the command's pauses and rate all run on one clock.
class SimBusTimeScope {
  public:
    explicit SimBusTimeScope(sys::SystemServices& services) {
        kelvix::SetSimBusTime(&services.clock, &services.sleeper);
    }
    ~SimBusTimeScope() { kelvix::SetSimBusTime(nullptr, nullptr); }
    SimBusTimeScope(const SimBusTimeScope&) = delete;
    SimBusTimeScope& operator=(const SimBusTimeScope&) = delete;
};

void AddGlobalOptions(CLI::App& app, GlobalOptions& global) {
    app.add_option("--adapter", global.adapter, "adapter spec, e.g. sim:type=2 or socketcan:can0");
    app.add_option("--index", global.index, "adapter index 0..9")->check(CLI::Range(0, 9));
    app.add_option("--settings-dir", global.settingsDir,
                   "directory of QXCfg.dat and the DTU files (default: the program's)");
    app.add_option("--trace", global.trace, "append every frame to FILE in candump log format");
    app.add_flag("--json", global.json,
                 "JSON output (show, write --verify, diff, read, decode, upgrade, adapters)");
}

int RunCommand(const Command& command, const CommandContext& context,
               const CommandOptions& options) {
    if (context.global.json && !command.printsJson) {
        context.err << "quillon-cli " << command.name << ": has no JSON output\n";
        return EXIT_USAGE;
    }
    if (!context.global.trace.empty()) {
        const auto path = sys::PathFromUtf8(context.global.trace);
        if (const std::string problem = sys::OutputFileProblem(path); !problem.empty()) {
            context.err << "quillon-cli: --trace: " << problem << '\n';
            return EXIT_BAD_FILE;
        }
    }
    sim::RegisterSimDevice();
    const SimWarningsTo warnings(context.err);
    return command.run(context, options);
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, out, err, sys::DefaultSystemServices());
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           sys::SystemServices& services) {
    return RunCli(argc, argv, std::cin, out, err, services);
}

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, sys::SystemServices& services) {
    const SimBusTimeScope busTime(services);
    CLI::App app{"Quillon: configure and re-flash CAN devices from the command line",
                 "quillon-cli"};
    app.footer(FOOTER);
    app.require_subcommand(1);
    // The global options may also follow the command: quillon-cli read --json.
    app.fallthrough();
    GlobalOptions global;
    AddGlobalOptions(app, global);
    CommandOptions options;
    std::vector<std::pair<const CLI::App*, const Command*>> parsers;
    for (const Command& command : Commands()) {
        CLI::App* parser = app.add_subcommand(command.name, command.help);
        command.addOptions(*parser, options, global);
        parsers.emplace_back(parser, &command);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, out, err);
        return status == 0 ? EXIT_OK : EXIT_USAGE;
    }
    for (const auto& [parser, command] : parsers) {
        if (*parser) {
            return RunCommand(*command, {global, in, out, err, services}, options);
        }
    }
    return EXIT_USAGE;
}

}  // namespace quillon::cli
