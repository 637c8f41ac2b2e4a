#include <cstdio>
#include <string_view>

#include <nlohmann/json.hpp>

#include "frontends/cli/Commands.hpp"
#include "frontends/cli/TraceDecoder.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/FirmwareKey.hpp"

namespace quillon::cli {
namespace {

// One frame of the trace, as a JSON object or as a line of text.
void PrintFrame(const kelvix::TracedFrame& traced, const protocol::Cpc1crypt& cipher, bool json,
                std::ostream& out) {
    const auto& f = traced.frame;
    const std::string data = DecodedDataHex(traced, cipher);
    const std::string meaning = FrameMeaning(traced);
    if (json) {
        nlohmann::ordered_json row = {
            {"channel", traced.channel},
            {"id", f.ID},
            {"extended", f.ExternFlag != 0},
            {"remote", f.RemoteFlag != 0},
            {"direction", std::string(1, kelvix::DirectionLetter(traced.direction))},
            {"dlc", f.DataLen},
            {"data", data},
            {"meaning", meaning}};
        out << row.dump() << '\n';
    } else {
        char id[16];
        std::snprintf(id, sizeof(id), f.ExternFlag ? "%08X" : "%03X", f.ID);
        out << "can" << traced.channel << ' ' << kelvix::DirectionLetter(traced.direction) << ' '
            << id << ' ' << (f.RemoteFlag ? "R" : "[" + std::to_string(f.DataLen) + "] " + data)
            << "  " << meaning << '\n';
    }
}

}  // namespace

int RunDecode(const std::string& trace, const std::string& keyHex, bool json, std::ostream& out,
              std::ostream& err) {
    std::optional<protocol::Cpc1crypt::Key> key = protocol::FIRMWARE_KEY;
    if (!keyHex.empty()) {
        key = ParseKey(keyHex);
        if (!key) {
            err << "quillon-cli decode: --key needs 32 hex digits, got \"" << keyHex << "\"\n";
            return EXIT_USAGE;
        }
    }
    const protocol::Cpc1crypt cipher(*key);
    int number = 0;
    int frames = 0;
    // A trace has no size limit, but it must be a file: a directory would
    // read as empty and a FIFO could block for ever.
    const std::string problem =
        sys::ReadInputLines(sys::PathFromUtf8(trace), [&](std::string_view line) {
            ++number;
            if (const auto traced = kelvix::ParseTraceLine(line)) {
                ++frames;
                PrintFrame(*traced, cipher, json, out);
            } else if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
                err << trace << ":" << number << ": not a frame line, skipped\n";
            }
        });
    if (!problem.empty()) {
        err << "quillon-cli decode: " << problem << '\n';
        return EXIT_BAD_FILE;
    }
    // Silence and exit 0 would pass for a trace of nothing worth telling.
    if (frames == 0) {
        err << "quillon-cli decode: " << trace << " holds no candump line\n";
        return EXIT_BAD_FILE;
    }
    return EXIT_OK;
}

}  // namespace quillon::cli
