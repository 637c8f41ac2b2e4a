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

// Device flags, by the option key they set.
const std::map<std::string, std::string> DEVICE_FLAGS = {
    {"type", "device type code: 1 recorder, 2 bridge, 3 replayer, 4/6 upgrade modes, 7 DTU"},
    {"serial", "serial number, 24 hex digits"},
    {"hw", "hardware version number"},
    {"fw", "firmware version number"},
    {"erase-ms", "time the boot loader's flash erase takes"},
    {"storage-delay-ms", "time the storage initialisation takes"},
    {"storage-result", "storage initialisation result byte (1 = success)"},
    {"state", "file that keeps the parameter store between runs"},
    {"drop", "percentage of the frames sent to the device that it does not hear"},
    {"reply-drop", "percentage of the device's frames that are lost"},
    {"reply-delay-ms", "delay of every frame the device sends"},
    {"seed", "seed of the fault dice: the same faults every run"},
};

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
    std::map<std::string, std::string> values;
    for (const auto& [key, help] : DEVICE_FLAGS) {
        app.add_option("--" + key, values[key], help);
    }
    bool silent = false;
    app.add_flag("--silent", silent, "the device hears but never answers");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        status = app.exit(e, out, err) == 0 ? DEVSIM_OK : DEVSIM_USAGE;
        return std::nullopt;
    }
    for (const auto& [key, value] : values) {
        if (!value.empty()) {
            options.deviceText += (options.deviceText.empty() ? "" : ",") + key + "=" + value;
        }
    }
    if (silent) {
        options.deviceText += (options.deviceText.empty() ? "" : ",") + std::string("silent");
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
