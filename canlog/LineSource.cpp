#include "canlog/LineSource.hpp"

#include <algorithm>
#include <cstring>

#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::canlog {
namespace {

std::string LineTooLong() {
    return "line longer than " + std::to_string(MAX_LINE_BYTES) + " bytes";
}

}  // namespace

LineSource::LineSource(const std::filesystem::path& path)
    : path_(sys::PathToUtf8(path)), fromFile_(true), ends_(SCAN_BYTES + LINE_END_STEP) {
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
    window_ = reinterpret_cast<const char*>(block_.data());
}

LineSource::LineSource(std::string_view text)
    : window_(text.data()),
      windowSize_(text.size()),
      ends_(SCAN_BYTES + LINE_END_STEP),
      totalBytes_(text.size()) {}

bool LineSource::FailOnNextLine(std::string error) {
    ++lineNumber_;
    error_ = std::move(error);
    atEnd_ = true;
    endCount_ = 0;
    nextEnd_ = 0;
    return false;
}

void LineSource::ScanAhead() {
    const std::size_t size = std::min(SCAN_BYTES, windowSize_ - scanned_);
    endCount_ = FindLineEnds(window_ + scanned_, size, ends_.data());
    nextEnd_ = 0;
    stretchStart_ = scanned_;
    scanned_ += size;
}

bool LineSource::NextSlowly(std::string_view& line) {
    if (atEnd_) {
        return false;
    }
    if (nextEnd_ < endCount_) {
        return FailOnNextLine(LineTooLong());
    }
    while (scanned_ < windowSize_) {
        ScanAhead();
        if (endCount_ > 0) {
            return Next(line);
        }
    }
    return NextAcrossBlocks(line);
}

bool LineSource::Refill() {
    std::size_t filled = 0;
    if (const int error = file_.ReadFull(block_, filled); error != 0) {
        error_ = "cannot read " + path_ + ": " + std::strerror(error);
        return false;
    }
    windowSize_ = filled;
    used_ = 0;
    scanned_ = 0;
    endCount_ = 0;
    nextEnd_ = 0;
    return filled > 0;
}

bool LineSource::NextAcrossBlocks(std::string_view& line) {
    const std::size_t rest = windowSize_ - used_;
    if (!fromFile_) {
        atEnd_ = rest == 0;
        if (atEnd_) {
            return false;
        }
        if (rest > MAX_LINE_BYTES) {
            return FailOnNextLine(LineTooLong());
        }
        line = std::string_view(window_ + used_, rest);
        used_ = windowSize_;
        bytesRead_ += rest;
        ++lineNumber_;
        return true;
    }
    line_.assign(window_ + used_, rest);
    used_ = windowSize_;
    bytesRead_ += rest;
    for (;;) {
        if (line_.size() > MAX_LINE_BYTES) {
            return FailOnNextLine(LineTooLong());
        }
        if (!Refill()) {
            atEnd_ = true;
            if (!error_.empty() || line_.empty()) {
                return false;
            }
            break;
        }
        const void* lf = std::memchr(window_, '\n', windowSize_);
        const std::size_t take =
            lf == nullptr ? windowSize_
                          : static_cast<std::size_t>(static_cast<const char*>(lf) - window_);
        line_.append(window_, std::min(take, MAX_LINE_BYTES + 1));
        used_ = take;
        bytesRead_ += take;
        if (lf != nullptr) {
            ++used_;
            ++bytesRead_;
            scanned_ = used_;
            if (line_.size() > MAX_LINE_BYTES) {
                return FailOnNextLine(LineTooLong());
            }
            break;
        }
    }
    ++lineNumber_;
    line = line_;
    return true;
}

}  // namespace quillon::canlog
