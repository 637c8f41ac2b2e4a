#include "frontends/cli/CliHost.hpp"

#include <algorithm>

#include "platform/ui/Dialog.hpp"

namespace quillon::cli {

CliHost::CliHost(std::ostream& out, std::ostream& err, std::string command, bool answerYes)
    : out_(out),
      err_(err),
      prefix_(command.empty() ? "quillon-cli: " : "quillon-cli " + command + ": "),
      answerYes_(answerYes) {}

CliHost::~CliHost() {
    std::lock_guard lock(mutex_);
    for (const Box& box : held_) {
        Print(box, Outcome::Warning);
    }
}

int CliHost::MessageBox(const ui::Dialog*, std::string_view text, std::string_view caption,
                        unsigned style) {
    const bool question = (style & ui::MB_TYPEMASK) == ui::MB_YESNO;
    const int answer = question ? (answerYes_ ? ui::IDYES : ui::IDNO) : ui::IDOK;
    std::lock_guard lock(mutex_);
    if (quiet_) {
        return answer;
    }
    if (question) {
        out_ << "[" << caption << "] " << text
             << (answer == ui::IDYES ? " -> 是" : " -> 否 (--yes to confirm)") << '\n'
             << std::flush;
    } else {
        held_.push_back({std::string(text), std::string(caption), style});
    }
    return answer;
}

void CliHost::Settle(const ui::CommandResult& result) {
    std::lock_guard lock(mutex_);
    const auto isOutcome = [&result](const Box& box) {
        return box.text == result.text && box.caption == result.caption &&
               box.style == result.style;
    };
    // Boxes after the outcome's came from what the command set going (a quick
    // device's reply can come while the request's own box is up): they wait
    // for the settling of what they answer.
    const auto last = std::find_if(held_.rbegin(), held_.rend(), isOutcome);
    const auto end = last == held_.rend() ? held_.end() : last.base();
    for (auto box = held_.begin(); box != end; ++box) {
        Print(*box, !isOutcome(*box)   ? Outcome::Warning
                    : result.succeeded ? Outcome::Success
                                       : Outcome::Error);
    }
    held_.erase(held_.begin(), end);
}

void CliHost::Settle(bool succeeded) {
    std::lock_guard lock(mutex_);
    for (const Box& box : held_) {
        Print(box, succeeded ? Outcome::Success : Outcome::Error);
    }
    held_.clear();
}

void CliHost::Silence() {
    std::lock_guard lock(mutex_);
    held_.clear();
    quiet_ = true;
}

void CliHost::Print(const Box& box, Outcome outcome) {
    switch (outcome) {
        case Outcome::Success:
            out_ << box.text << '\n' << std::flush;
            return;
        case Outcome::Warning:
            err_ << prefix_ << "warning: " << box.text << '\n' << std::flush;
            return;
        case Outcome::Error:
            err_ << prefix_ << "error: " << box.text << '\n' << std::flush;
            return;
    }
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
