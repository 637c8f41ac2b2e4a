#include "frontends/cli/LogCommandRows.hpp"

namespace quillon::cli {
namespace {

void AddChannels(CLI::App& c, CommandOptions& o) {
    c.add_option("--channels", o.log.channels,
                 "candump interface names of CAN1 and CAN2 (default can0,can1)");
}

}  // namespace

Command ConvertRow() {
    return {
        "convert",
        "convert a CAN log between candump, ASC, CSV and the recorder's NAME.log",
        "  quillon-cli convert drive.log drive.asc\n"
        "  quillon-cli convert drive.asc drive.txt --to csv\n"
        "  quillon-cli convert bench.log REC0001.log --to recorder --channels vcan0,vcan1\n",
        false,
        [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
            c.add_option("IN", o.log.in, "log to read (format told from its content)")->required();
            c.add_option("OUT", o.log.out, "log to write, replaced only once complete")->required();
            c.add_option("--to", o.log.to,
                         "candump, asc, csv or recorder (default: OUT's extension)");
            c.add_option("--from", o.log.from, "IN's format when its content does not show it");
            AddChannels(c, o);
        },
        [](const CommandContext& x, const CommandOptions& o) {
            return RunConvert(o.log, x.out, x.err);
        }};
}

Command SendRow() {
    return {"send",
            "send one frame: CH ID#DATA, 3 hex digits for a standard identifier, 8 for an "
            "extended one, R for a remote frame",
            "  quillon-cli send can0 123#DEADBEEF\n  quillon-cli send can1 1ABCDEF0#R8\n"
            "  quillon-cli send can0 7FF#11.22.33\n",
            false,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("CH", o.log.in, "channel by its interface name (see --channels)")
                    ->required();
                c.add_option("FRAME", o.log.out, "ID#DATA")->required();
                AddChannels(c, o);
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunSend(x.global, o.log, x.out, x.err);
            }};
}

Command DumpRow() {
    return {
        "dump",
        "print received frames as a candump log",
        "  quillon-cli dump --count 10\n  quillon-cli dump can1 --timeout-ms 2000 > bus.log\n",
        false,
        [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
            c.add_option("CH", o.log.in, "only this channel (default both)");
            c.add_option("--count", o.log.count, "stop after N frames")->check(CLI::PositiveNumber);
            c.add_option("--timeout-ms", o.log.timeoutMs, "stop when no frame came for so long")
                ->check(CLI::PositiveNumber);
            AddChannels(c, o);
        },
        [](const CommandContext& x, const CommandOptions& o) {
            return RunDump(x.global, o.log, x.services, x.out, x.err);
        }};
}

Command PlayRow() {
    return {"play",
            "send a log's frames onto the bus with the log's timing",
            "  quillon-cli play drive.log\n  quillon-cli play bench.log --channels vcan0,vcan1\n",
            false,
            [](CLI::App& c, CommandOptions& o, GlobalOptions&) {
                c.add_option("LOG", o.log.in, "candump, ASC or CSV log")->required();
                AddChannels(c, o);
            },
            [](const CommandContext& x, const CommandOptions& o) {
                return RunPlay(x.global, o.log, x.services, x.out, x.err);
            }};
}

}  // namespace quillon::cli
