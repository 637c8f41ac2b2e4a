#include "upgrade/ImageFile.hpp"

#include <cerrno>
#include <cstring>

#include "platform/system/Utf8Path.hpp"

namespace quillon::upgrade {

bool ImageFile::Open(const std::filesystem::path& path) {
    path_ = path;
    const int openError = file_.Open(path);
    // Windows cannot open a directory at all; elsewhere the kind check says it.
    if (openError == EISDIR) {
        Fail("not a regular file", 0);
        return false;
    }
    if (openError != 0) {
        Fail("cannot open", openError);
        return false;
    }
    sys::FileFacts facts;
    if (const int error = file_.Examine(facts); error != 0) {
        Fail("cannot measure", error);
        Close();
        return false;
    }
    if (facts.kind != sys::FileKind::Regular) {
        Fail("not a regular file", 0);
        Close();
        return false;
    }
    lengthBytes_ = facts.sizeBytes;
    return true;
}

std::optional<std::size_t> ImageFile::Read(std::span<std::uint8_t> block) {
    if (!IsOpen()) {
        Fail("read after close", 0);
        return std::nullopt;
    }
    std::size_t filled = 0;
    if (const int error = file_.ReadFull(block, filled); error != 0) {
        Fail("cannot read", error);
        return std::nullopt;
    }
    return filled;
}

void ImageFile::Fail(const std::string& what, int error) {
    lastError_ = "firmware image " + sys::PathToUtf8(path_) + ": " + what;
    if (error != 0) {
        lastError_ += ": " + std::string(std::strerror(error));
    }
}

}  // namespace quillon::upgrade
