#include "frontends/devsim/DevsimOptions.hpp"

#include <CLI/CLI.hpp>
#include <map>

namespace quillon::sim {
namespace {

constexpr const char* FOOTER = R"(Examples:
  quillon-devsim --bus qcanbus:virtualcan:can0,can1
  quillon-devsim --bus socketcan:vcan0,vcan1 --type 2 --fw 12
  quillon-devsim --bus qcanbus:peakcan:usb0 --serial 0102030405060708090A0B0C --erase-ms 500

Then, in another process:
  quillon-cli --adapter qcanbus:virtualcan:can0,can1 read

The device answers as the built-in simulated adapter's does and prints what it
receives: parameter writes applied, DTU records, debug text, upgrade progress
and the received image's SHA-256. Ctrl+C or SIGTERM ends it.)";

}  // namespace

std::optional<DevsimOptions> ParseDevsimOptions(int argc, const char* const* argv,
                                                std::ostream& out, std::ostream& err, int& status) {
    CLI::App app{"quillon-devsim: a simulated device on a CAN bus", "quillon-devsim"};
    app.footer(FOOTER);
    DevsimOptions options;
    app.add_option("--bus", options.bus, "adapter spec of the bus the device sits on")->required();
    app.add_option("--index", options.adapterIndex, "adapter index 0..9")->check(CLI::Range(0, 9));
    app.add_option("--bitrate", options.bitrate,
                   "time the device's frames at this many bits per second (default: instant)")
        ->check(CLI::Range(1, 10'000'000));
    app.add_option("--refuse", options.refuseFrom,
                   "refuse the device's K-th frame and every later one (1-based)")
        ->check(CLI::PositiveNumber);
    // The device's own options, from the one table of its keys.
    std::map<std::string, std::string> values;
    std::map<std::string, bool> flags;
    for (const DeviceOption& option : DeviceOptions()) {
        const std::string key(option.key);
        if (option.flag) {
            app.add_flag("--" + key, flags[key], std::string(option.help));
        } else {
            app.add_option("--" + key, values[key], std::string(option.help));
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        status = app.exit(e, out, err) == 0 ? DEVSIM_OK : DEVSIM_USAGE;
        return std::nullopt;
    }
    std::map<std::string, std::string> given;  // item text by key, so in key order
    for (const auto& [key, value] : values) {
        if (!value.empty()) {
            given[key] = key + "=" + value;
        }
    }
    for (const auto& [key, set] : flags) {
        if (set) {
            given[key] = key;
        }
    }
    for (const auto& [key, item] : given) {
        options.deviceText += (options.deviceText.empty() ? "" : ",") + item;
    }
    std::string error;
    auto device = ParseDeviceConfig(options.deviceText, error);
    if (!device) {
        err << "quillon-devsim: " << error << '\n';
        status = DEVSIM_USAGE;
        return std::nullopt;
    }
    options.device = *device;
    return options;
}

}  // namespace quillon::sim
