#include "refold/OutputName.hpp"

#include "platform/system/Utf8Path.hpp"

namespace quillon::refold {

std::string_view FormatExtension(canlog::LogFormat format) {
    switch (format) {
        case canlog::LogFormat::Asc:
            return ".asc";
        case canlog::LogFormat::Csv:
            return ".csv";
        case canlog::LogFormat::Candump:
        case canlog::LogFormat::Recorder:
            break;
    }
    return ".log";
}

std::string DefaultOutputName(std::string_view input, canlog::LogFormat format) {
    if (input.empty()) {
        return {};
    }
    const std::filesystem::path in = sys::PathFromUtf8(input);
    std::filesystem::path out = in;
    out.replace_extension(sys::PathFromUtf8(FormatExtension(format)));
    if (out == in) {
        // The folder stays as typed: joining it anew would put the system's
        // separator into a name typed with '/'.
        out.replace_filename(sys::PathFromUtf8(sys::PathToUtf8(in.stem()) + "_" +
                                               std::string(canlog::LogFormatName(format)) +
                                               std::string(FormatExtension(format))));
    }
    return sys::PathToUtf8(out);
}

}  // namespace quillon::refold
