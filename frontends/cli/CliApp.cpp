#include "frontends/cli/CliApp.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string_view>

#include "frontends/cli/CommandTable.hpp"
#include "platform/kelvix/FrameTrace.hpp"
#include "platform/kelvix/SimAdapter.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::cli {
namespace {

constexpr const char* ADAPTER_NOTE = R"(
The adapter comes from --adapter, else KELVIX_ADAPTER, else kelvix.conf beside
the program, else "sim" (a simulated adapter with a simulated device).)";

std::string Footer(const std::vector<Command>& commands) {
    std::string footer = "Examples:\n";
    for (const Command& command : commands) {
        footer += command.examples;
    }
    return footer + ADAPTER_NOTE;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The first word where a command belongs that names none (global options and
// their values skipped), or empty.
std::string UnknownCommandWord(const CLI::App& app, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("-")) {
            const CLI::Option* option = app.get_option_no_throw(arg.substr(0, arg.find('=')));
            i += option != nullptr && option->get_expected_max() > 0 &&
                 arg.find('=') == std::string::npos;
            continue;
        }
        const auto& commands = Commands();
        const bool known =
            std::any_of(commands.begin(), commands.end(),
                        [&arg](const Command& command) { return arg == command.name; });
        return known ? std::string() : arg;
    }
    return {};
}

std::string UnknownCommandMessage(const std::string& word) {
    std::string message = "quillon-cli: unknown command '" + word + "'";
    const Command* nearest = nullptr;
    std::size_t best = 3;  // further than two edits is no suggestion
    for (const Command& command : Commands()) {
        if (const std::size_t distance = EditDistance(word, command.name); distance < best) {
            best = distance;
            nearest = &command;
        }
    }
    if (nearest != nullptr) {
        message += "; did you mean '" + std::string(nearest->name) + "'?";
    }
    return message + " (quillon-cli --help lists the commands)\n";
}

// A flag given a value ("--json=0"): the parser would read the value as the
// flag's, so "--json=0" would mean the opposite of what it spells.
std::string FlagWithValue(const CLI::App& app, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto equals = arg.find('=');
        if (!arg.starts_with("--") || equals == std::string::npos) {
            continue;
        }
        const std::string name = arg.substr(0, equals);
        std::vector<const CLI::App*> parsers = {&app};
        for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
            parsers.push_back(sub);
        }
        for (const CLI::App* parser : parsers) {
            const CLI::Option* option = parser->get_option_no_throw(name);
            if (option != nullptr && option->get_expected_max() == 0) {
                return "quillon-cli: " + name + " is a flag and takes no value (got " + arg + ")\n";
            }
        }
    }
    return {};
}

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
// wire and the command's pauses and rate all run on one clock; the trace is
// stamped by the same clock.
class SimBusTimeScope {
  public:
    explicit SimBusTimeScope(sys::SystemServices& services) {
        kelvix::SetSimBusTime(&services.clock, &services.sleeper);
        kelvix::SetTraceClock(&services.clock);
    }
    ~SimBusTimeScope() {
        kelvix::SetSimBusTime(nullptr, nullptr);
        kelvix::SetTraceClock(nullptr);
    }
    SimBusTimeScope(const SimBusTimeScope&) = delete;
    SimBusTimeScope& operator=(const SimBusTimeScope&) = delete;
};

void AddGlobalOptions(CLI::App& app, GlobalOptions& global, const std::string& settingsHome) {
    app.add_option("--adapter", global.adapter, "adapter spec, e.g. sim:type=2 or socketcan:can0");
    app.add_option("--index", global.index, "adapter index 0..9")->check(CLI::Range(0, 9));
    app.add_option("--settings-dir", global.settingsDir,
                   "directory of the settings files (QXCfg.dat, the DTU files, "
                   "quillon-pages.conf); default, in use now: " +
                       settingsHome);
    app.add_option("--trace", global.trace, "append every frame to FILE in candump log format");
    app.add_flag("--json", global.json,
                 "JSON output (show, write --verify, diff, read, decode, upgrade, adapters)");
}

BeforeCommand& TheBeforeCommand() {
    static BeforeCommand hook;
    return hook;
}

int RunCommand(const Command& command, const CommandContext& context,
               const CommandOptions& options) {
    if (const BeforeCommand& before = TheBeforeCommand()) {
        if (const std::optional<int> status = before(context.global, context.err)) {
            return *status;
        }
    }
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

void SetBeforeCommand(BeforeCommand hook) {
    TheBeforeCommand() = std::move(hook);
}

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
    app.footer(Footer(Commands()));
    app.require_subcommand(1);
    // The global options may also follow the command: quillon-cli read --json.
    app.fallthrough();
    GlobalOptions global;
    AddGlobalOptions(app, global, sys::PathToUtf8(SettingsDirectory(GlobalOptions{}, services)));
    CommandOptions options;
    std::vector<std::pair<const CLI::App*, const Command*>> parsers;
    for (const Command& command : Commands()) {
        CLI::App* parser = app.add_subcommand(command.name, command.help);
        parser->footer(std::string("Examples:\n") + command.examples);
        command.addOptions(*parser, options, global);
        parsers.emplace_back(parser, &command);
    }
    if (const std::string problem = FlagWithValue(app, argc, argv); !problem.empty()) {
        err << problem;
        return EXIT_USAGE;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (const std::string word = UnknownCommandWord(app, argc, argv); !word.empty()) {
            err << UnknownCommandMessage(word);
            return EXIT_USAGE;
        }
        const int status = app.exit(e, out, err);
        return status == 0 ? EXIT_OK : EXIT_USAGE;
    }
    for (const auto& [parser, command] : parsers) {
        if (*parser) {
            global.command = command->name;
            return RunCommand(*command, {global, in, out, err, services}, options);
        }
    }
    return EXIT_USAGE;
}

}  // namespace quillon::cli
