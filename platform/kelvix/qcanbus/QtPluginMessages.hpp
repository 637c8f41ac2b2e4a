// Qt SerialBus plugins log to Qt's message handler ("qt.canbus.plugins.peakcan:
// Cannot load library ..."), which prints on standard error: a listing or a
// failed open would litter the user's terminal. The handler installed here
// keeps every message of the "qt.canbus" categories off it (unless the user
// asked for Qt's logging with QT_LOGGING_RULES) and hands it to whoever
// collects on the logging thread, to be given as a reason instead. Other
// messages go on to the handler that was there before.
#pragma once

#include <string>

namespace kelvix {

/// Installs the handler once; later calls do nothing. Thread-safe.
void InstallPluginMessageHandler();

/// Collects the plugin messages logged on the constructing thread while it
/// lives (the innermost one when nested). Must be destroyed on that thread.
class PluginMessageCapture {
  public:
    PluginMessageCapture();
    ~PluginMessageCapture();
    PluginMessageCapture(const PluginMessageCapture&) = delete;
    PluginMessageCapture& operator=(const PluginMessageCapture&) = delete;

    /// The messages so far, joined by "; "; "" when none.
    const std::string& Text() const { return text_; }
    /// Forgets the messages so far.
    void Clear() { text_.clear(); }

    void Add(const std::string& message);

  private:
    std::string text_;
    PluginMessageCapture* outer_;
};

}  // namespace kelvix
