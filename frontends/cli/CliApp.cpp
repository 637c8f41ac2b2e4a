#include "frontends/cli/CliApp.hpp"

#include <CLI/CLI.hpp>
#include <iostream>

#include "frontends/cli/AdaptersCommand.hpp"
#include "frontends/cli/Commands.hpp"
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
    GlobalOptions global;
    app.add_option("--adapter", global.adapter, "adapter spec, e.g. sim:type=2 or socketcan:can0");
    app.add_option("--index", global.index, "adapter index 0..9")->check(CLI::Range(0, 9));
    app.add_option("--settings-dir", global.settingsDir,
                   "directory of QXCfg.dat and the DTU files (default: the program's)");
    app.add_option("--trace", global.trace, "append every frame to FILE in candump log format");

    std::string file;
    bool showJson = false;
    auto* show = app.add_subcommand(
        "show", "decode a settings file as stored (QXCfg.dat, QXCfgDTU.dat, QXCfgDTUHL.dat)");
    show->add_option("FILE", file, "settings file")->required();
    show->add_flag("--json", showJson, "JSON output");

    WriteOptions writeOptions;
    auto* write =
        app.add_subcommand("write", "write the settings directory's record to the device");
    write->add_flag("--defaults", writeOptions.defaults,
                    "write the factory settings when QXCfg.dat is missing or damaged");
    write->add_flag("--verify", writeOptions.verify,
                    "read back, print the fields the device reports other than written");
    write->add_option("--timeout-ms", writeOptions.timeoutMs,
                      "wait for the read-back (default 3000)");
    write->add_flag("--json", global.json, "the differences as a JSON list (with --verify)");

    DiffOptions diffOptions;
    auto* diff = app.add_subcommand(
        "diff", "compare two settings files, or a file with the device (--device)");
    diff->add_option("A", diffOptions.a, "settings file")->required();
    auto* second = diff->add_option("B", diffOptions.b, "settings file of the same kind");
    auto* device = diff->add_flag("--device", diffOptions.device,
                                  "compare A with what the connected device reports");
    second->excludes(device);
    diff->add_option("--timeout-ms", diffOptions.timeoutMs, "wait for the device (default 3000)");
    diff->add_flag("--json", global.json, "the differences as a JSON list");

    ReadOptions readOptions;
    auto* read = app.add_subcommand("read", "read the device's identity and parameters");
    read->add_option("--timeout-ms", readOptions.timeoutMs, "wait for the device (default 3000)");
    read->add_flag("--save", readOptions.save, "save what the device reported as QXCfg.dat");
    read->add_flag("--json", global.json, "JSON output");

    StorageInitOptions initOptions;
    auto* init = app.add_subcommand("storage-init", "initialise the device's storage card");
    init->add_flag("--yes", global.yes, "confirm without asking");
    init->add_option("--timeout-ms", initOptions.timeoutMs, "wait for the reply (default 120000)");

    std::string trace;
    std::string key;
    bool decodeJson = false;
    auto* decode = app.add_subcommand("decode", "decipher and annotate a candump trace");
    decode->add_option("TRACE", trace, "trace file")->required();
    decode->add_option("--key", key, "frame key as 32 hex digits (default: the firmware key)");
    decode->add_flag("--json", decodeJson, "one JSON object per frame");

    std::string image;
    auto* upgradeCommand = app.add_subcommand("upgrade", "stream a firmware image into the device");
    upgradeCommand->add_option("IMAGE", image, "firmware image (*.bin, *.dat)")->required();
    upgradeCommand->add_flag("--json", global.json, "one JSON progress event per line");
    auto* enterUpgrade =
        app.add_subcommand("enter-upgrade", "initialise the adapter channel for the boot loader");

    DebugOptions debugOptions;
    auto* debug = app.add_subcommand(
        "debug", "print the device's debug text, send each line typed on standard input");
    debug->add_option("--drain-ms", debugOptions.drainMs,
                      "keep printing after the input ended (default 500)");

    auto* session = app.add_subcommand("session", "connect, show the main window, disconnect");
    auto* demo = app.add_subcommand("demo", "a guided session against the simulated device");
    bool adaptersJson = false;
    auto* adapters =
        app.add_subcommand("adapters", "list the adapter backends and their interfaces");
    adapters->add_flag("--json", adaptersJson, "JSON output");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, out, err);
        return status == 0 ? EXIT_OK : EXIT_USAGE;
    }

    if (!global.trace.empty()) {
        if (const std::string problem = sys::OutputFileProblem(sys::PathFromUtf8(global.trace));
            !problem.empty()) {
            err << "quillon-cli: --trace: " << problem << '\n';
            return EXIT_BAD_FILE;
        }
    }
    sim::RegisterSimDevice();
    const SimWarningsTo warnings(err);
    if (*show)
        return RunShow(file, showJson, out, err);
    if (*decode)
        return RunDecode(trace, key, decodeJson, out, err);
    if (*write)
        return RunWrite(global, writeOptions, services, out, err);
    if (*diff) {
        if (!diffOptions.device && diffOptions.b.empty()) {
            err << "quillon-cli diff: give two files, or one file and --device\n";
            return EXIT_USAGE;
        }
        return RunDiff(global, diffOptions, services, out, err);
    }
    if (*read)
        return RunRead(global, readOptions, services, out, err);
    if (*init)
        return RunStorageInit(global, initOptions, services, out, err);
    if (*session)
        return RunSession(global, services, out, err);
    if (*upgradeCommand)
        return RunUpgrade(global, image, services, out, err);
    if (*enterUpgrade)
        return RunEnterUpgrade(global, services, out, err);
    if (*debug)
        return RunDebug(global, debugOptions, in, services, out, err);
    if (*demo)
        return RunDemo(global, services, out, err);
    if (*adapters)
        return RunAdapters(DefaultAdapterDiscovery(), adaptersJson, out);
    return EXIT_USAGE;
}

}  // namespace quillon::cli
