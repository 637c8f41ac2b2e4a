#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace quillon::protocol {

// Outcome of saving a file. On failure `message` says what failed and where, for instance
// "cannot create a temporary copy of /opt/quillon/QXCfg.dat: No such file or directory".
struct SaveResult {
    bool ok = false;
    std::filesystem::path path;  // the file saved, or the one the failure concerns
    std::string message;         // empty on success

    static SaveResult Success(std::filesystem::path savedFile) {
        return {true, std::move(savedFile), {}};
    }
    static SaveResult Failure(std::filesystem::path where, std::string what) {
        return {false, std::move(where), std::move(what)};
    }

    explicit operator bool() const noexcept { return ok; }
};

}  // namespace quillon::protocol
