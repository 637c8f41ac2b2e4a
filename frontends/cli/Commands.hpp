// The subcommands of quillon-cli. Each runs in-process and returns an ExitCode;
// normal output goes to `out`, complaints to `err`.
#pragma once

#include <istream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "frontends/cli/Session.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::cli {

/// Decodes a settings file as stored (no fallback), with each section's checksum verdict:
/// QXCfg.dat, QXCfgDTU.dat or QXCfgDTUHL.dat, known by name or else by size.
int RunShow(const std::string& file, bool json, std::ostream& out, std::ostream& err);
/// A settings file as show --json prints it.
struct SettingsDocument {
    std::string kind;               ///< "QXCfg.dat", "QXCfgDTU.dat" or "QXCfgDTUHL.dat"
    nlohmann::ordered_json fields;  ///< the records' fields (DTU files: with their checksum)
    std::optional<protocol::SettingsSections> sections;  ///< QXCfg.dat only
};
/// Reads and recognises a settings file as show does; nothing, with `why` set, when the
/// file cannot be opened or is no settings file.
std::optional<SettingsDocument> LoadSettingsDocument(const std::string& file, std::string& why);

/// Compares two settings files of one kind field by field, or with `device` a file with
/// what the connected device reports (`b` unused): prints each differing field with both
/// values; EXIT_OK when equal, EXIT_FAILED when not.
struct DiffOptions {
    std::string a;
    std::string b;
    bool device = false;
    int timeoutMs = 3000;
};
int RunDiff(const GlobalOptions& options, const DiffOptions& diff, sys::SystemServices& services,
            std::ostream& out, std::ostream& err);

struct WriteOptions {
    /// Write the factory defaults where QXCfg.dat cannot be used, instead of refusing.
    bool defaults = false;
    bool verify = false;   ///< read back and compare the fields a read returns
    int timeoutMs = 3000;  ///< wait for the read-back
    /// A configuration text to import into the settings directory first (as import does).
    std::string from;
};
/// Connects, runs the parameter write from the settings directory, disconnects.
/// Refuses with EXIT_BAD_FILE, before opening the adapter, when the directory
/// holds no usable QXCfg.dat (missing, unreadable, short, a checksum wrong),
/// unless `write.defaults`; the DTU files fall back to their defaults silently.
/// Refuses with EXIT_BAD_FILE, also before opening the adapter, when any of the
/// three settings files cannot be saved; a save that fails later (a full disk)
/// makes it EXIT_FAILED. More than 10 recording rules on a channel: identifies
/// the device first and warns when its firmware is still told of fewer. With `verify`
/// reads the device back and prints each field it reports other than written (as
/// a JSON list with options.json): EXIT_FAILED when any differ, EXIT_TIMEOUT when
/// the device answers nothing or only part of the read.
int RunWrite(const GlobalOptions& options, const WriteOptions& write, sys::SystemServices& services,
             std::ostream& out, std::ostream& err);

struct ReadOptions {
    int timeoutMs = 3000;
    bool save = false;
    /// Also write what the device reported as a configuration text to this file.
    std::string exportFile;
};
/// Connects, reads the device, waits for its completion frames, prints what it reported.
int RunRead(const GlobalOptions& options, const ReadOptions& read, sys::SystemServices& services,
            std::ostream& out, std::ostream& err);

struct StorageInitOptions {
    int timeoutMs = 120000;
};
/// Connects, initialises the device's storage and waits for its reply.
int RunStorageInit(const GlobalOptions& options, const StorageInitOptions& init,
                   sys::SystemServices& services, std::ostream& out, std::ostream& err);

/// Deciphers and annotates a candump trace of configuration frames.
int RunDecode(const std::string& trace, const std::string& keyHex, bool json, std::ostream& out,
              std::ostream& err);

/// Streams IMAGE into the device (opening adapter 0 itself when needed).
int RunUpgrade(const GlobalOptions& options, const std::string& image,
               sys::SystemServices& services, std::ostream& out, std::ostream& err);
/// Re-initialises the adapter channel for the boot loader.
int RunEnterUpgrade(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
                    std::ostream& err);

/// A guided tour against the simulated device: identity, read, write, read
/// back and compare, a small firmware image; ends with a short report.
int RunDemo(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
            std::ostream& err);

struct DebugOptions {
    int drainMs = 500;  ///< how long device messages are still printed after the input ended
};
/// Connects and runs the debug page on the terminal: prints every device
/// debug message as it arrives, sends each line of `in` through the page.
/// Ends when `in` ends; EXIT_FAILED when a line could not be sent (the lines
/// after it are read but not sent).
int RunDebug(const GlobalOptions& options, const DebugOptions& debug, std::istream& in,
             sys::SystemServices& services, std::ostream& out, std::ostream& err);

struct BittimingOptions {
    std::string rate;              ///< bit/s, "500000", "500k" or "1M"; empty with `btr`
    std::string samplePoint;       ///< percent, "87.5"; empty for the usual one of the rate
    std::vector<std::string> btr;  ///< BTR0 and BTR1 in hexadecimal, "0x01" or "1c"
};
/// The register pairs of the device's 36 MHz controller for a rate, the
/// recommended first, with the baud-rate list's own pair where it differs;
/// or, with `btr`, the rate and sample point of one pair. EXIT_FAILED when no
/// pair comes within 0.5 % of the rate (the nearest rates are named),
/// EXIT_USAGE for a rate, sample point or register that does not parse.
int RunBittiming(const BittimingOptions& options, bool json, std::ostream& out, std::ostream& err);

/// Connects, shows what the main window shows, disconnects.
int RunSession(const GlobalOptions& options, sys::SystemServices& services, std::ostream& out,
               std::ostream& err);

struct SimulateOptions {
    std::vector<std::string> logs;       ///< candump logs, read in the order given
    std::string as = "recorder";         ///< recorder, bridge or replayer
    std::string channels = "can0,can1";  ///< the logs' interface names of CAN1 and CAN2
    std::string output;                  ///< where the frames go (candump); empty: nowhere
    std::string from;  ///< a configuration text to run instead of the settings directory
};
/// Runs the device model of the settings directory's QXCfg.dat over the logs and
/// prints its report (JSON with options.json); writes what the device records
/// (recorder) or sends (bridge, replayer) to `simulate.output`. A replayer plays
/// its list over the logs as its storage: entry NAME plays the log NAME.log.
/// EXIT_BAD_FILE, naming the file (and line), for a settings file that cannot be
/// used or that the device refuses, and for a log that cannot be read, has a
/// malformed line or an interface not in `channels`; EXIT_USAGE for bad options.
int RunSimulate(const GlobalOptions& options, const SimulateOptions& simulate,
                sys::SystemServices& services, std::ostream& out, std::ostream& err);

struct ExportOptions {
    std::string output;  ///< the file to write; empty: standard output
};
/// The settings directory's three files as one configuration text. EXIT_BAD_FILE,
/// naming the file and what is wrong, when one is missing or damaged.
int RunExport(const GlobalOptions& options, const ExportOptions& exportOptions,
              sys::SystemServices& services, std::ostream& out, std::ostream& err);

struct ImportOptions {
    std::string file;
    bool dryRun = false;  ///< check and print what would change, write nothing
};
/// Checks a configuration text and saves it as the settings directory's three
/// files. EXIT_BAD_FILE, with every problem printed and nothing written, when
/// the text has any error.
int RunImport(const GlobalOptions& options, const ImportOptions& import,
              sys::SystemServices& services, std::ostream& out, std::ostream& err);

}  // namespace quillon::cli
