#include "canlog/PendingFile.hpp"

#include <random>
#include <system_error>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::canlog {
namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    std::random_device random;
    std::filesystem::path temporary = target;
    temporary += ".part-" + std::to_string(random()) + std::to_string(random());
    return temporary;
}

}  // namespace

PendingFile::~PendingFile() {
    Discard();
}

void PendingFile::Discard() {
    if (!open_) {
        return;
    }
    stream_.close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    open_ = false;
}

std::string PendingFile::Open(const std::filesystem::path& target) {
    Discard();
    if (std::string problem = sys::OutputFileProblem(target); !problem.empty()) {
        return problem;
    }
    target_ = target;
    temporary_ = TemporaryBeside(target);
    stream_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!stream_) {
        return "cannot create a temporary file beside " + sys::PathToUtf8(target);
    }
    open_ = true;
    return {};
}

bool PendingFile::Append(std::string_view text) {
    stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(stream_);
}

std::string PendingFile::Commit() {
    if (!open_) {
        return "no file is being written";
    }
    stream_.close();
    if (!stream_) {
        Discard();
        return "cannot write " + sys::PathToUtf8(target_);
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Discard();
        return "cannot write " + sys::PathToUtf8(target_) + ": " + error.message();
    }
    open_ = false;
    return {};
}

}  // namespace quillon::canlog
