// A host for tests: records every message box and answers from a script.
// Thread-safe, so boxes raised on the receive thread are recorded too.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Host.hpp"

namespace quillon::test {

struct RecordedBox {
    int ownerTemplate = 0;  ///< template number of the owning dialog, 0 = none
    std::string text;
    std::string caption;
    unsigned style = 0;

    bool operator==(const RecordedBox&) const = default;
};

class ScriptedHost : public ui::Host {
  public:
    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    std::optional<std::string> OpenFileDialog(const ui::Dialog* owner,
                                              std::string_view filter) override;
    /// Answered from the same script as the open-file dialogs.
    std::optional<std::string> SaveFileDialog(const ui::Dialog* owner, std::string_view filter,
                                              std::string_view defaultName) override;
    int RunModal(ui::Dialog& dialog) override;
    /// Closes the box if it is open: the box observer of its thread is running.
    void CloseMessageBox(const ui::Dialog* owner, std::string_view text) override;

    /// The next boxes answer with these buttons, in order; afterwards IDOK
    /// (IDYES for a Yes/No box).
    void AnswerNextBoxes(std::vector<int> answers);
    /// The next open-file and save-file dialogs return these (nothing = cancelled).
    void AnswerNextFileDialogs(std::vector<std::optional<std::string>> answers);
    /// Runs while a modal dialog is shown; it should end the dialog.
    void SetModalScript(std::function<void(ui::Dialog&)> script);
    /// Runs on the thread that raised a box, before it is answered.
    void SetBoxObserver(std::function<void(const RecordedBox&)> observer);

    std::vector<RecordedBox> Boxes() const;
    std::vector<std::string> BoxTexts() const;
    /// Each box's life in order: "opened: TEXT", then "answered: TEXT", or
    /// "closed: TEXT" when the program closed it while it was open.
    std::vector<std::string> BoxLog() const;
    std::vector<std::string> FileDialogFilters() const;
    void ClearBoxes();

  private:
    mutable std::mutex mutex_;
    std::vector<RecordedBox> boxes_;
    std::vector<RecordedBox> openBoxes_;
    std::vector<std::string> boxLog_;
    std::deque<int> answers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::vector<std::string> filters_;
    std::function<void(ui::Dialog&)> modalScript_;
    std::function<void(const RecordedBox&)> boxObserver_;
};

}  // namespace quillon::test
