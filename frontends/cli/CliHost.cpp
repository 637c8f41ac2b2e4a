#include "frontends/cli/CliHost.hpp"

#include "platform/ui/Dialog.hpp"

namespace quillon::cli {

CliHost::CliHost(std::ostream& out, bool answerYes) : out_(out), answerYes_(answerYes) {}

int CliHost::MessageBox(const ui::Dialog*, std::string_view text, std::string_view caption,
                        unsigned style) {
    const bool question = (style & ui::MB_TYPEMASK) == ui::MB_YESNO;
    const int answer = question ? (answerYes_ ? ui::IDYES : ui::IDNO) : ui::IDOK;
    std::lock_guard lock(mutex_);
    if (!quiet_) {
        out_ << "[" << caption << "] " << text;
        if (question) {
            out_ << (answer == ui::IDYES ? " -> 是" : " -> 否 (--yes to confirm)");
        }
        out_ << '\n' << std::flush;
    }
    return answer;
}

std::optional<std::string> CliHost::OpenFileDialog(const ui::Dialog*, std::string_view) {
    std::lock_guard lock(mutex_);
    auto chosen = fileToOpen_;
    fileToOpen_.reset();
    return chosen;
}

int CliHost::RunModal(ui::Dialog& dialog) {
    // Nothing to wait for without a user; a modal dialog closes at once.
    return dialog.IsEnded() ? dialog.ModalResult() : ui::IDOK;
}

void CliHost::SetFileToOpen(std::string path) {
    std::lock_guard lock(mutex_);
    fileToOpen_ = std::move(path);
}

void CliHost::SetQuiet(bool quiet) {
    std::lock_guard lock(mutex_);
    quiet_ = quiet;
}

bool CliHost::Quiet() const {
    std::lock_guard lock(mutex_);
    return quiet_;
}

}  // namespace quillon::cli
