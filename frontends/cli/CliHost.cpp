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
    Settle(std::vector<ui::CommandResult>{result});
}

void CliHost::Settle(const std::vector<ui::CommandResult>& results) {
    std::lock_guard lock(mutex_);
    const auto outcomeOf = [&results](const Box& box) {
        return std::find_if(results.begin(), results.end(), [&box](const auto& result) {
            return box.text == result.text && box.caption == result.caption &&
                   box.style == result.style;
        });
    };
    // Boxes after the last outcome's came from what the command set going:
    // they wait for the settling of what they answer.
    const auto last = std::find_if(held_.rbegin(), held_.rend(),
                                   [&](const Box& box) { return outcomeOf(box) != results.end(); });
    const auto end = last == held_.rend() ? held_.end() : last.base();
    const std::vector<Box> settled(held_.begin(), end);
    held_.erase(held_.begin(), end);
    for (const Box& box : settled) {
        if (outcomeOf(box) == results.end()) {
            Print(box, Outcome::Warning);
        }
    }
    // The outcomes in the order of the results, whichever box came first: a
    // quick device's reply can be shown before the request's own box.
    for (const auto& result : results) {
        for (const Box& box : settled) {
            if (outcomeOf(box) != results.end() && &*outcomeOf(box) == &result) {
                Print(box, result.succeeded ? Outcome::Success : Outcome::Error);
            }
        }
    }
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
