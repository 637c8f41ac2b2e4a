#include "platform/system/InputFile.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system/ReadOnlyFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::sys {
namespace {

std::string SystemError(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + PathToUtf8(path) + ": " + std::strerror(error);
}

// Why a file of this kind cannot be read as a settings file, trace or image.
std::string KindProblem(const std::filesystem::path& path, FileKind kind) {
    if (kind == FileKind::Regular) {
        return {};
    }
    return PathToUtf8(path) +
           (kind == FileKind::Directory ? " is a directory" : " is not a regular file");
}

// The kind is checked on the opened file itself, so nothing can swap it.
std::string OpenRegular(const std::filesystem::path& path, ReadOnlyFile& file) {
    if (const int error = file.Open(path); error != 0) {
        return error == EISDIR ? KindProblem(path, FileKind::Directory)
                               : SystemError("cannot open", path, error);
    }
    FileFacts facts;
    if (const int error = file.Examine(facts); error != 0) {
        return SystemError("cannot examine", path, error);
    }
    return KindProblem(path, facts.kind);
}

}  // namespace

std::string InputFileProblem(const std::filesystem::path& path) {
    ReadOnlyFile file;
    return OpenRegular(path, file);
}

InputFileBytes ReadInputFile(const std::filesystem::path& path, std::size_t maxBytes) {
    InputFileBytes result;
    ReadOnlyFile file;
    result.error = OpenRegular(path, file);
    if (!result.error.empty()) {
        return result;
    }
    // One byte past the limit tells a longer file from one of exactly that size.
    result.bytes.resize(maxBytes + 1);
    std::size_t filled = 0;
    if (const int error = file.ReadFull(result.bytes, filled); error != 0) {
        result.error = SystemError("cannot read", path, error);
        result.bytes.clear();
        return result;
    }
    result.longer = filled > maxBytes;
    result.bytes.resize(std::min(filled, maxBytes));
    result.ok = true;
    return result;
}

std::string ReadInputLines(const std::filesystem::path& path,
                           const std::function<void(std::string_view line)>& take,
                           std::size_t blockBytes) {
    ReadOnlyFile file;
    if (std::string problem = OpenRegular(path, file); !problem.empty()) {
        return problem;
    }
    std::vector<std::uint8_t> block(std::max<std::size_t>(blockBytes, 1));
    std::string pending;  // the start of a line that goes on in the next block
    for (;;) {
        std::size_t filled = 0;
        if (const int error = file.ReadFull(block, filled); error != 0) {
            return SystemError("cannot read", path, error);
        }
        std::string_view rest(reinterpret_cast<const char*>(block.data()), filled);
        for (auto end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
            if (pending.empty()) {
                take(rest.substr(0, end));
            } else {
                pending.append(rest.substr(0, end));
                take(pending);
                pending.clear();
            }
            rest.remove_prefix(end + 1);
        }
        pending.append(rest);
        if (filled < block.size()) {
            break;
        }
    }
    if (!pending.empty()) {
        take(pending);
    }
    return {};
}

std::string OutputFileProblem(const std::filesystem::path& path) {
    FileFacts facts;
    const int error = ExaminePath(path, facts);
    if (error == 0) {
        return KindProblem(path, facts.kind);
    }
    if (error != ENOENT) {
        return SystemError("cannot examine", path, error);
    }
    const std::filesystem::path parent =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (const int parentError = ExaminePath(parent, facts); parentError != 0) {
        return SystemError("cannot create " + PathToUtf8(path) + " in", parent, parentError);
    }
    if (facts.kind != FileKind::Directory) {
        return "cannot create " + PathToUtf8(path) + ": " + PathToUtf8(parent) +
               " is not a directory";
    }
    return {};
}

}  // namespace quillon::sys
