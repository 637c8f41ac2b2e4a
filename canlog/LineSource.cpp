#include "canlog/LineSource.hpp"

#include <cstring>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::canlog {
LineSource::LineSource(const std::filesystem::path& path)
    : path_(sys::PathToUtf8(path)), fromFile_(true) {
    // The kind is checked before the open that reads, so a FIFO or a device
    // is refused rather than read without end.
    error_ = sys::InputFileProblem(path);
    if (!error_.empty()) {
        atEnd_ = true;
        return;
    }
    if (const int error = file_.Open(path); error != 0) {
        error_ = "cannot open " + path_ + ": " + std::strerror(error);
        atEnd_ = true;
        return;
    }
    sys::FileFacts facts;
    if (file_.Examine(facts) == 0) {
        totalBytes_ = facts.sizeBytes;
    }
    block_.resize(READ_BLOCK_BYTES);
}

LineSource::LineSource(std::string_view text) : text_(text), totalBytes_(text.size()) {}

bool LineSource::Refill() {
    if (!fromFile_) {
        return false;
    }
    std::size_t filled = 0;
    if (const int error = file_.ReadFull(block_, filled); error != 0) {
        error_ = "cannot read " + path_ + ": " + std::strerror(error);
        return false;
    }
    blockUsed_ = 0;
    blockFilled_ = filled;
    return filled > 0;
}

bool LineSource::Next(std::string_view& line) {
    if (atEnd_) {
        return false;
    }
    if (!fromFile_) {
        if (text_.empty()) {
            atEnd_ = true;
            return false;
        }
        const auto end = text_.find('\n');
        line = text_.substr(0, end);
        const std::size_t taken = end == std::string_view::npos ? text_.size() : end + 1;
        text_.remove_prefix(taken);
        bytesRead_ += taken;
        ++lineNumber_;
        if (line.size() > MAX_LINE_BYTES) {
            error_ = "line longer than " + std::to_string(MAX_LINE_BYTES) + " bytes";
            atEnd_ = true;
            return false;
        }
        return true;
    }
    line_.clear();
    bool any = false;
    for (;;) {
        if (blockUsed_ == blockFilled_ && !Refill()) {
            atEnd_ = true;
            if (!error_.empty() || !any) {
                return false;
            }
            break;
        }
        any = true;
        const char* start = reinterpret_cast<const char*>(block_.data()) + blockUsed_;
        const std::size_t available = blockFilled_ - blockUsed_;
        const void* lf = std::memchr(start, '\n', available);
        const std::size_t take =
            lf == nullptr ? available
                          : static_cast<std::size_t>(static_cast<const char*>(lf) - start);
        if (line_.size() + take > MAX_LINE_BYTES) {
            ++lineNumber_;
            error_ = "line longer than " + std::to_string(MAX_LINE_BYTES) + " bytes";
            atEnd_ = true;
            return false;
        }
        if (lf != nullptr && line_.empty()) {
            // The whole line lies in the block: hand it out where it is.
            blockUsed_ += take + 1;
            bytesRead_ += take + 1;
            ++lineNumber_;
            line = std::string_view(start, take);
            return true;
        }
        line_.append(start, take);
        blockUsed_ += take;
        bytesRead_ += take;
        if (lf != nullptr) {
            ++blockUsed_;
            ++bytesRead_;
            break;
        }
    }
    ++lineNumber_;
    line = line_;
    return true;
}

}  // namespace quillon::canlog
