#include "sim/RecordStorage.hpp"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "canlog/CandumpWriter.hpp"
#include "canlog/LogReader.hpp"

namespace quillon::sim {
namespace {

constexpr std::uint64_t BYTES_PER_MB = 1024 * 1024;
constexpr const char* RECORD_PREFIX = "REC";
constexpr const char* LOG_EXTENSION = ".log";

// The number of a record file name "REC00012.log"; 0 for any other name.
unsigned RecordNumber(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    unsigned number = 0;
    char tail = 0;
    if (std::sscanf(name.c_str(), "REC%5u.lo%c", &number, &tail) == 2 && tail == 'g' &&
        name.size() == 12) {
        return number;
    }
    return 0;
}

class StoredLogReader final : public behaviour::FrameReader {
  public:
    explicit StoredLogReader(std::unique_ptr<canlog::LogReader> reader)
        : reader_(std::move(reader)) {}

    // A bad line ends the file: the device plays what came before it.
    std::optional<protocol::TimedFrame> Next() override {
        protocol::TimedFrame frame;
        if (!reader_->Next(frame)) {
            return std::nullopt;
        }
        return frame;
    }

  private:
    std::unique_ptr<canlog::LogReader> reader_;
};

std::string Line(const protocol::TimedFrame& frame) {
    std::string line;
    canlog::CandumpWriter(canlog::DEFAULT_CHANNEL_NAMES).Write(frame, line);
    return line;
}

}  // namespace

RecordStorage::RecordStorage(std::filesystem::path directory, std::uint64_t capacityBytes)
    : directory_(std::move(directory)), capacityBytes_(capacityBytes) {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    std::vector<RecordFile> found;
    for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
        if (!entry.is_regular_file(error)) {
            continue;
        }
        const std::uint64_t bytes = entry.file_size(error);
        if (RecordNumber(entry.path()) != 0) {
            found.push_back({entry.path(), bytes});
        } else {
            otherBytes_ += bytes;
        }
    }
    std::sort(found.begin(), found.end(), [](const RecordFile& a, const RecordFile& b) {
        return RecordNumber(a.path) < RecordNumber(b.path);
    });
    records_.assign(found.begin(), found.end());
    if (!records_.empty()) {
        nextNumber_ = RecordNumber(records_.back().path) + 1;
    }
}

void RecordStorage::StartRecording(const protocol::SysPara& sys) {
    fileLimitBytes_ = std::max<std::uint64_t>(sys.fileSizeMB, 1) * BYTES_PER_MB;
    firstFrameTimeZero_ = sys.firstFrameTimeZero != 0;
    cyclic_ = sys.cyclicOverwrite != 0;
    stopped_ = false;
    current_.close();
}

bool RecordStorage::Append(const protocol::TimedFrame& frame) {
    if (stopped_) {
        return false;
    }
    if (!current_.is_open()) {
        OpenNextFile();
    }
    protocol::TimedFrame stored = frame;
    std::string line = Line(stored);
    if (records_.back().bytes + line.size() > fileLimitBytes_ && fileHasFrame_) {
        OpenNextFile();
    }
    if (!fileHasFrame_) {
        fileStartUs_ = frame.timeUs;
    }
    if (firstFrameTimeZero_) {
        stored.timeUs -= fileStartUs_;
        line = Line(stored);
    }
    if (!MakeRoom(line.size())) {
        stopped_ = true;
        return false;
    }
    current_ << line;
    current_.flush();
    records_.back().bytes += line.size();
    fileHasFrame_ = true;
    return true;
}

void RecordStorage::OpenNextFile() {
    char name[32];
    std::snprintf(name, sizeof(name), "%s%05u%s", RECORD_PREFIX, nextNumber_++, LOG_EXTENSION);
    current_.close();
    records_.push_back({directory_ / name, 0});
    current_.open(records_.back().path, std::ios::binary | std::ios::trunc);
    fileHasFrame_ = false;
}

// Removes the oldest record files (never the one being written) while cyclic
// overwrite allows and the line does not fit; false when it still does not.
bool RecordStorage::MakeRoom(std::uint64_t bytes) {
    while (capacityBytes_ != 0 && UsedBytes() + bytes > capacityBytes_) {
        if (!cyclic_ || records_.size() < 2) {
            return false;
        }
        std::error_code error;
        std::filesystem::remove(records_.front().path, error);
        records_.pop_front();
    }
    return true;
}

std::uint64_t RecordStorage::UsedBytes() const {
    std::uint64_t used = otherBytes_;
    for (const RecordFile& file : records_) {
        used += file.bytes;
    }
    return used;
}

void RecordStorage::Clear() {
    current_.close();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
        std::filesystem::remove_all(entry.path(), error);
    }
    records_.clear();
    otherBytes_ = 0;
    nextNumber_ = 1;
    stopped_ = false;
}

std::unique_ptr<behaviour::FrameReader> RecordStorage::Open(const std::string& name) const {
    const std::filesystem::path path = directory_ / (name + LOG_EXTENSION);
    std::error_code error;
    if (name.empty() || !std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    canlog::OpenedLog opened = canlog::OpenLogReader(path, canlog::LogFormat::Candump);
    return opened.reader ? std::make_unique<StoredLogReader>(std::move(opened.reader)) : nullptr;
}

}  // namespace quillon::sim
