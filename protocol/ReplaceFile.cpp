#include "protocol/ReplaceFile.hpp"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

namespace quillon::protocol {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

SaveResult Failure(const std::filesystem::path& where, const char* what, int error) {
    return SaveResult::Failure(where, std::string(what) + " " + where.string() + ": " +
                                          std::generic_category().message(error));
}

SaveResult WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path.string().c_str(), "wb"));
    if (!out) {
        return Failure(path, "cannot create", errno);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size()) {
        return Failure(path, "cannot write", errno);
    }
    if (std::fflush(out.get()) != 0) {
        return Failure(path, "cannot flush", errno);
    }
    // Closing can still report a failed write; check it rather than let the deleter drop it.
    if (std::fclose(out.release()) != 0) {
        return Failure(path, "cannot close", errno);
    }
    return SaveResult::Success(path);
}

}  // namespace

SaveResult ReplaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    std::error_code ignored;
    if (SaveResult written = WriteWholeFile(temp, bytes); !written) {
        std::filesystem::remove(temp, ignored);
        return written;
    }
    std::error_code renameError;
    std::filesystem::rename(temp, file, renameError);
    if (renameError) {
        std::filesystem::remove(temp, ignored);
        return Failure(file, "cannot replace", renameError.value());
    }
    return SaveResult::Success(file);
}

}  // namespace quillon::protocol
