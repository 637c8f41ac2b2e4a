// quillon-cli diff: two settings files of one kind, or a file and the device,
// field by field. Prints only the fields that differ, with both values.
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ConfigTextFile.hpp"
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

// One side of a comparison: a settings file, or a configuration text.
struct DiffSide {
    std::optional<SettingsDocument> file;
    std::optional<configtext::ConfigRecords> text;
};

std::optional<DiffSide> LoadSide(const std::string& path, sys::SystemServices& services,
                                 std::ostream& err) {
    DiffSide side;
    if (IsConfigTextFile(path)) {
        side.text = LoadConfigTextFile(path, services, COMMAND, err);
        if (!side.text) {
            return std::nullopt;
        }
        side.file =
            SettingsDocument{std::string(protocol::SETTINGS_FILE_NAME), {}, side.text->sections};
        return side;
    }
    std::string why;
    side.file = LoadSettingsDocument(path, why);
    if (!side.file) {
        err << COMMAND << ": " << why << '\n';
        return std::nullopt;
    }
    return side;
}

// A text compares with a text whole, and with QXCfg.dat in its seven sections;
// both sides are then named as the text names fields.
int DiffWithText(const GlobalOptions& options, const DiffOptions& diff, const DiffSide& a,
                 const DiffSide& b, sys::SystemServices& services, std::ostream& out,
                 std::ostream& err) {
    const DiffSide& text = a.text ? a : b;
    const DiffSide& other = a.text ? b : a;
    if (!other.text && !other.file->sections) {
        err << COMMAND << ": " << (a.text ? diff.b : diff.a) << " is " << other.file->kind
            << "; a configuration text compares with QXCfg.dat or another text\n";
        return EXIT_USAGE;
    }
    configtext::ConfigRecords otherRecords = *text.text;
    if (other.text) {
        otherRecords = *other.text;
    } else {
        otherRecords.sections = *other.file->sections;
    }
    const configtext::ConfigRecords& recordsA = a.text ? *a.text : otherRecords;
    const configtext::ConfigRecords& recordsB =
        a.text ? (b.text ? *b.text : otherRecords) : *b.text;
    return Report(DiffFields(ConfigFields(recordsA, services), ConfigFields(recordsB, services)),
                  "a", "b", options.json, out);
}

}  // namespace

int RunDiff(const GlobalOptions& options, const DiffOptions& diff, sys::SystemServices& services,
            std::ostream& out, std::ostream& err) {
    const auto sideA = LoadSide(diff.a, services, err);
    if (!sideA) {
        return EXIT_BAD_FILE;
    }
    if (diff.device) {
        return DiffWithDevice(options, diff, *sideA->file, services, out, err);
    }
    const auto sideB = LoadSide(diff.b, services, err);
    if (!sideB) {
        return EXIT_BAD_FILE;
    }
    if (sideA->text || sideB->text) {
        return DiffWithText(options, diff, *sideA, *sideB, services, out, err);
    }
    const auto& a = sideA->file;
    const auto& b = sideB->file;
    if (a->kind != b->kind) {
        err << COMMAND << ": " << diff.a << " is " << a->kind << ", " << diff.b << " is " << b->kind
            << "; only files of one kind compare\n";
        return EXIT_USAGE;
    }
    return Report(DiffFields(a->fields, b->fields), "a", "b", options.json, out);
}

}  // namespace quillon::cli
