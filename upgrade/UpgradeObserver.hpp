// Progress of a firmware upgrade for whoever watches besides the window: the
// command-line tool draws its progress bar and writes its JSON events from it.
//
// Threading: called on the thread running the upgrade (the user-interface
// thread), synchronously, each time the progress bar is set and once at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace quillon::upgrade {

enum class UpgradePhase {
    Erasing,  ///< erase command sent; the device erases its flash
    Writing,  ///< program command accepted; image frames are going out
    Done,     ///< every image byte was accepted by the adapter
    Failed,   ///< ended early; `failure` holds the text the user was shown
};

/// "erasing", "writing", "done" or "failed".
inline const char* PhaseName(UpgradePhase phase) {
    switch (phase) {
        case UpgradePhase::Erasing:
            return "erasing";
        case UpgradePhase::Writing:
            return "writing";
        case UpgradePhase::Done:
            return "done";
        case UpgradePhase::Failed:
            return "failed";
    }
    return "unknown";
}

struct UpgradeProgress {
    UpgradePhase phase = UpgradePhase::Erasing;
    int percent = 0;               ///< what the progress bar shows, 0..100
    std::uint64_t bytesSent = 0;   ///< image bytes accepted by the adapter
    std::uint64_t framesSent = 0;  ///< image data frames accepted (commands not counted)
    std::uint64_t totalBytes = 0;  ///< image length
    std::string failure;           ///< set with UpgradePhase::Failed
    std::uint64_t waitLeftMs = 0;  ///< Erasing: how much longer the erase wait runs
};

class UpgradeObserver {
  public:
    using Callback = std::function<void(const UpgradeProgress&)>;

    explicit UpgradeObserver(Callback callback) : callback_(std::move(callback)) {}
    void Notify(const UpgradeProgress& progress) const {
        if (callback_) {
            callback_(progress);
        }
    }

  private:
    Callback callback_;
};

}  // namespace quillon::upgrade
