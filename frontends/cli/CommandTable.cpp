#include "frontends/cli/CommandTable.hpp"

#include "frontends/cli/AdaptersCommand.hpp"
#include "frontends/cli/LogCommandRows.hpp"

namespace quillon::cli {
namespace {

void NoOptions(CLI::App&, CommandOptions&, GlobalOptions&) {}

Command Show() {
    return {"show",
            "decode a settings file as stored (QXCfg.dat, QXCfgDTU.dat, QXCfgDTUHL.dat)",
            "  quillon-cli show QXCfg.dat --json\n  quillon-cli show QXCfgDTU.dat\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("FILE", o.file, "settings file")->required();
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunShow(o.file, x.global.json, x.out, x.err);
            }};
}

Command Write() {
    return {"write",
            "write the settings directory's record to the device",
            "  quillon-cli --settings-dir ./cfg write\n  quillon-cli --settings-dir ./cfg write "
            "--verify\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_flag("--defaults", o.write.defaults,
                           "write even when QXCfg.dat is missing or damaged: sections whose "
                           "checksum holds as stored, the others at their starting values "
                           "(channels at the factory settings, the rest empty), so a missing "
                           "file sends the factory settings; warns naming each damaged section");
                c.add_flag("--verify", o.write.verify,
                           "read back, print the fields the device reports other than written");
                c.add_option("--timeout-ms", o.write.timeoutMs,
                             "wait for the read-back (default 3000)");
                c.add_option("--from", o.write.from,
                             "import this configuration text into the settings directory first");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunWrite(x.global, o.write, x.services, x.out, x.err);
            }};
}

Command Diff() {
    return {"diff",
            "compare two settings files or configuration texts, or one with the device (--device)",
            "  quillon-cli diff old/QXCfg.dat new/QXCfg.dat\n  quillon-cli diff cfg/QXCfg.dat "
            "--device\n  quillon-cli diff fleet-a.json --device\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("A", o.diff.a, "settings file")->required();
                auto* second = c.add_option("B", o.diff.b, "settings file of the same kind");
                auto* device = c.add_flag("--device", o.diff.device,
                                          "compare A with what the connected device reports");
                second->excludes(device);
                c.add_option("--timeout-ms", o.diff.timeoutMs,
                             "wait for the device (default 3000)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                if (!o.diff.device && o.diff.b.empty()) {
                    x.err << "quillon-cli diff: give two files, or one file and --device\n";
                    return static_cast<int>(EXIT_USAGE);
                }
                return RunDiff(x.global, o.diff, x.services, x.out, x.err);
            }};
}

Command Read() {
    return {"read",
            "read the device's identity and parameters",
            "  quillon-cli --adapter sim:type=2,fw=11 read --json\n"
            "  quillon-cli --adapter socketcan:can0,can1 --trace bus.log read --save\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("--timeout-ms", o.read.timeoutMs,
                             "wait for the device (default 3000)");
                c.add_flag("--save", o.read.save, "save what the device reported as QXCfg.dat");
                c.add_option("--export", o.read.exportFile,
                             "write the device's configuration as a text to FILE (what a read "
                             "cannot return comes from the settings directory)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunRead(x.global, o.read, x.services, x.out, x.err);
            }};
}

Command StorageInit() {
    return {"storage-init",
            "initialise the device's storage card",
            "  quillon-cli storage-init --yes\n",
            false,
            [](CLI::App& c, CommandOptions& o, GlobalOptions& g) {
                c.add_flag("--yes", g.yes, "confirm without asking");
                c.add_option("--timeout-ms", o.init.timeoutMs,
                             "wait for the reply (default 120000)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunStorageInit(x.global, o.init, x.services, x.out, x.err);
            }};
}

Command Decode() {
    return {"decode",
            "decipher and annotate a candump trace",
            "  quillon-cli decode bus.log --json\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("TRACE", o.file, "trace file")->required();
                c.add_option("--key", o.key,
                             "frame key as 32 hex digits (default: the firmware key)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunDecode(o.file, o.key, x.global.json, x.out, x.err);
            }};
}

Command Upgrade() {
    return {"upgrade",
            "stream a firmware image into the device",
            "  quillon-cli upgrade firmware.bin --json\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("IMAGE", o.file, "firmware image (*.bin, *.dat)")->required();
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunUpgrade(x.global, o.file, x.services, x.out, x.err);
            }};
}

Command EnterUpgrade() {
    return {"enter-upgrade",
            "initialise the adapter channel for the boot loader",
            "  quillon-cli enter-upgrade\n",
            false,
            NoOptions,
            [](const CommandContext& x, const CommandOptions&) {
                return RunEnterUpgrade(x.global, x.services, x.out, x.err);
            }};
}

Command Debug() {
    return {"debug",
            "print the device's debug text, send each line typed on standard input",
            "  echo AT+CSQ | quillon-cli debug\n",
            false,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("--drain-ms", o.debug.drainMs,
                             "keep printing after the input ended (default 500)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunDebug(x.global, o.debug, x.in, x.services, x.out, x.err);
            }};
}

Command SessionCommand() {
    return {"session",
            "connect, show the main window, disconnect",
            "  quillon-cli session\n",
            false,
            NoOptions,
            [](const CommandContext& x, const CommandOptions&) {
                return RunSession(x.global, x.services, x.out, x.err);
            }};
}

Command Demo() {
    return {"demo",
            "a guided session against a fresh simulated device of its own",
            "  quillon-cli demo\n",
            false,
            NoOptions,
            [](const CommandContext& x, const CommandOptions&) {
                return RunDemo(x.global, x.services, x.out, x.err);
            }};
}

Command Adapters() {
    return {"adapters",
            "list the adapter backends and their interfaces",
            "  quillon-cli adapters --json\n",
            true,
            NoOptions,
            [](const CommandContext& x, const CommandOptions&) {
                return RunAdapters(DefaultAdapterDiscovery(), x.global.json, x.out);
            }};
}

Command Bittiming() {
    return {"bittiming",
            "BTR0/BTR1 pairs for a CAN bit rate on the device's 36 MHz controller, or the rate "
            "of a pair",
            "  quillon-cli bittiming 500k\n  quillon-cli bittiming 83.333k --sample-point 80\n"
            "  quillon-cli bittiming --btr 0x01 0x1C --json\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                auto* rate =
                    c.add_option("RATE", o.bittiming.rate, "bit rate in bit/s (500000, 500k, 1M)");
                c.add_option("--sample-point", o.bittiming.samplePoint,
                             "wanted sample point in percent (default 87.5 up to 500k, 80 up "
                             "to 800k, 75 above)")
                    ->needs(rate);
                c.add_option("--btr", o.bittiming.btr, "BTR0 BTR1 in hexadecimal: what they give")
                    ->expected(2)
                    ->excludes(rate);
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunBittiming(o.bittiming, x.global.json, x.out, x.err);
            }};
}

Command Simulate() {
    return {"simulate",
            "run the device's recording, bridge or replay rules over candump logs, offline",
            "  quillon-cli --settings-dir ./cfg simulate --as bridge drive.log -o forwarded.log\n"
            "  quillon-cli simulate --channels vcan0,vcan1 --json drive.log\n"
            "  quillon-cli simulate --as replayer LOG1.log LOG2.log -o sent.log\n"
            "  quillon-cli simulate --from gateway.json --as bridge drive.log\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("LOG", o.simulate.logs,
                             "candump logs, one after the other (a replayer's storage: the entry "
                             "NAME plays NAME.log)")
                    ->required();
                c.add_option("--as", o.simulate.as,
                             "the device type: recorder, bridge or replayer (default recorder)");
                c.add_option("--channels", o.simulate.channels,
                             "the logs' interface names of CAN1 and CAN2 (default can0,can1)");
                c.add_option("-o,--output", o.simulate.output,
                             "write what the device records or sends here, as a candump log");
                c.add_option("--from", o.simulate.from,
                             "run this configuration text instead of the settings directory's "
                             "QXCfg.dat");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunSimulate(x.global, o.simulate, x.services, x.out, x.err);
            }};
}

Command Export() {
    return {"export",
            "the settings directory's configuration as a JSON text a person edits",
            "  quillon-cli --settings-dir ./cfg export -o fleet-a.json\n",
            false,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("-o,--output", o.exportOptions.output,
                             "write to FILE (default: standard output)");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunExport(x.global, o.exportOptions, x.services, x.out, x.err);
            }};
}

Command Import() {
    return {"import",
            "check a configuration text and save it as the settings directory's files",
            "  quillon-cli --settings-dir ./cfg import fleet-a.json --dry-run\n"
            "  quillon-cli --settings-dir ./cfg import fleet-a.json\n",
            true,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("FILE", o.import.file, "configuration text")->required();
                c.add_flag("--dry-run", o.import.dryRun,
                           "check and print what would change, write nothing");
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunImport(x.global, o.import, x.services, x.out, x.err);
            }};
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        Show(),    Write(),    Diff(),         Read(),       StorageInit(),
        Decode(),  Upgrade(),  EnterUpgrade(), Debug(),      SessionCommand(),
        Demo(),    Adapters(), Bittiming(),    ConvertRow(), SendRow(),
        DumpRow(), PlayRow(),  Simulate(),     Export(),     Import()};
    return commands;
}

}  // namespace quillon::cli
