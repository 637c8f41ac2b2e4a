// The simulated device's storage: a directory of candump logs. A recorder
// appends what it records to REC00001.log, REC00002.log, ... starting a new
// file when the next line would pass the file size; a replayer reads NAME.log
// for its entry NAME. Used from the device's thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "behaviour/ReplayPlayer.hpp"
#include "protocol/SysPara.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::sim {

class RecordStorage {
  public:
    /// `capacityBytes` 0: no limit. The directory is made when missing.
    RecordStorage(std::filesystem::path directory, std::uint64_t capacityBytes);

    /// Starts a new record file with the next number, under these system
    /// settings: `fileSizeMB` per file, `firstFrameTimeZero`, `cyclicOverwrite`.
    void StartRecording(const protocol::SysPara& sys);

    /// Appends one recorded frame. When the storage is full the oldest record
    /// file goes if cyclic overwrite is on; otherwise recording stops and this
    /// and every later frame are not kept (false).
    bool Append(const protocol::TimedFrame& frame);

    /// Storage initialisation: removes every file of the directory.
    void Clear();

    /// The stored log of the replay entry NAME (NAME.log); nullptr when there is none.
    std::unique_ptr<behaviour::FrameReader> Open(const std::string& name) const;

    const std::filesystem::path& Directory() const { return directory_; }
    bool Stopped() const { return stopped_; }

  private:
    struct RecordFile {
        std::filesystem::path path;
        std::uint64_t bytes = 0;
    };

    void OpenNextFile();
    bool MakeRoom(std::uint64_t bytes);
    std::uint64_t UsedBytes() const;

    std::filesystem::path directory_;
    std::uint64_t capacityBytes_;
    std::uint64_t fileLimitBytes_ = 0;
    bool firstFrameTimeZero_ = false;
    bool cyclic_ = false;
    bool stopped_ = false;
    std::deque<RecordFile> records_;  ///< oldest first, the one being written last
    std::uint64_t otherBytes_ = 0;    ///< files of the directory that are no records
    std::ofstream current_;
    std::int64_t fileStartUs_ = 0;
    bool fileHasFrame_ = false;
    unsigned nextNumber_ = 1;
};

}  // namespace quillon::sim
