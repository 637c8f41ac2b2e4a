#include "canlog/ConvertLog.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "frontends/cli/LogCommands.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {
namespace {

constexpr std::uint64_t PROGRESS_FROM_BYTES = 1024 * 1024;

// "converting in.log: 42%" once per ten percent of a large input.
class ConvertProgressPrinter {
  public:
    ConvertProgressPrinter(std::string name, std::ostream& err)
        : name_(std::move(name)), err_(err) {}
    void operator()(const canlog::ConvertProgress& progress) {
        if (progress.totalBytes < PROGRESS_FROM_BYTES) {
            return;
        }
        const auto percent = static_cast<int>(progress.bytesRead * 100 / progress.totalBytes);
        if (percent / 10 > lastTenth_) {
            lastTenth_ = percent / 10;
            err_ << "converting " << name_ << ": " << percent << "%\n";
        }
    }

  private:
    std::string name_;
    std::ostream& err_;
    int lastTenth_ = -1;
};

bool FormatOption(const std::string& text, std::optional<canlog::LogFormat>& format,
                  std::ostream& err) {
    if (text.empty()) {
        return true;
    }
    format = canlog::LogFormatNamed(text);
    if (!format) {
        err << "quillon-cli convert: unknown format " << text
            << " (candump, asc, csv or recorder)\n";
    }
    return format.has_value();
}

}  // namespace

int RunConvert(const LogCommandOptions& options, std::ostream& out, std::ostream& err) {
    canlog::ConvertOptions convert;
    std::optional<canlog::LogFormat> to;
    if (!FormatOption(options.from, convert.from, err) || !FormatOption(options.to, to, err)) {
        return EXIT_USAGE;
    }
    if (const std::string problem = canlog::ParseChannelNames(options.channels, convert.names);
        !problem.empty()) {
        err << "quillon-cli convert: " << problem << '\n';
        return EXIT_USAGE;
    }
    const auto inPath = sys::PathFromUtf8(options.in);
    const auto outPath = sys::PathFromUtf8(options.out);
    if (!to) {
        to = canlog::LogFormatOfExtension(outPath);
    }
    if (!to) {
        err << "quillon-cli convert: " << options.out
            << " does not show the format to write: give --to candump, asc, csv or recorder\n";
        return EXIT_USAGE;
    }
    const canlog::ConvertResult result =
        canlog::ConvertLog(inPath, outPath, *to, ConvertProgressPrinter(options.in, err), convert);
    if (!result.ok) {
        err << "quillon-cli convert: " << result.error << '\n';
        return result.badInput ? EXIT_BAD_FILE : EXIT_FAILED;
    }
    out << options.out << ": " << result.frames << " frames (" << canlog::LogFormatName(*to)
        << ")\n";
    return EXIT_OK;
}

}  // namespace quillon::cli
