// quillon-cli diff: two settings files of one kind, or a file and the device,
// field by field. Prints only the fields that differ, with both values.
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/DeviceRead.hpp"
#include "frontends/cli/FieldDiff.hpp"
#include "frontends/cli/RecordJson.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

constexpr const char* COMMAND = "quillon-cli diff";

int Report(const std::vector<FieldDifference>& differences, const char* nameA, const char* nameB,
           bool json, std::ostream& out) {
    if (json) {
        out << DifferencesToJson(differences, nameA, nameB).dump(2) << '\n';
    } else {
        PrintDifferences(differences, out);
    }
    return differences.empty() ? EXIT_OK : EXIT_FAILED;
}

int DiffWithDevice(const GlobalOptions& options, const DiffOptions& diff,
                   const SettingsDocument& file, sys::SystemServices& services, std::ostream& out,
                   std::ostream& err) {
    if (!file.sections) {
        err << COMMAND << ": " << diff.a << " is " << file.kind
            << "; the device reports only what QXCfg.dat holds\n";
        return EXIT_USAGE;
    }
    Session session(options, out, err, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    const DeviceRead read = ReadDevice(session, diff.timeoutMs, COMMAND, err, true);
    session.Disconnect();
    if (read.status != EXIT_OK) {
        return read.status;
    }
    // The program takes a fixed rate's timing registers from its table when it
    // loads the file, so that is what a write of this file sends.
    protocol::SettingsSections sent = *file.sections;
    protocol::ApplyBaudTable(sent.can1);
    protocol::ApplyBaudTable(sent.can2);
    return Report(DiffFields(ReadableToJson(sent), ReadableToJson(read.sections)), "file", "device",
                  options.json, out);
}

}  // namespace

int RunDiff(const GlobalOptions& options, const DiffOptions& diff, sys::SystemServices& services,
            std::ostream& out, std::ostream& err) {
    std::string why;
    const auto a = LoadSettingsDocument(diff.a, why);
    if (!a) {
        err << COMMAND << ": " << why << '\n';
        return EXIT_BAD_FILE;
    }
    if (diff.device) {
        return DiffWithDevice(options, diff, *a, services, out, err);
    }
    const auto b = LoadSettingsDocument(diff.b, why);
    if (!b) {
        err << COMMAND << ": " << why << '\n';
        return EXIT_BAD_FILE;
    }
    if (a->kind != b->kind) {
        err << COMMAND << ": " << diff.a << " is " << a->kind << ", " << diff.b << " is " << b->kind
            << "; only files of one kind compare\n";
        return EXIT_USAGE;
    }
    return Report(DiffFields(a->fields, b->fields), "a", "b", options.json, out);
}

}  // namespace quillon::cli
