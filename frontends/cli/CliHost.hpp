// The command-line host: message boxes are printed instead of shown, and
// questions are answered from the command line. A box is held until the
// command knows how it ended, since the same caption comes with a success and
// a failure: the outcome's box then prints as it stands on standard output
// when the command succeeded, as an error on standard error when it failed,
// and any other box as a warning. Commands learn how they ended from the
// window's command results, never from the boxes' texts.
#pragma once

#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui/CommandResult.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::cli {

class CliHost final : public ui::Host {
  public:
    /// `command` names the running command in warnings and errors ("write");
    /// `answerYes` answers Yes/No questions.
    CliHost(std::ostream& out, std::ostream& err, std::string command, bool answerYes);
    /// Boxes still held print as warnings.
    ~CliHost() override;

    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    std::optional<std::string> OpenFileDialog(const ui::Dialog* owner,
                                              std::string_view filter) override;
    int RunModal(ui::Dialog& dialog) override;

    /// Prints the boxes held up to the last one `result` describes: those as
    /// the command's outcome, the others as warnings. Boxes after it stay held
    /// for the settling of what they answer.
    void Settle(const ui::CommandResult& result);
    /// The same for a command with several outcomes (a request and the
    /// device's answer to it), printed in the order given.
    void Settle(const std::vector<ui::CommandResult>& results);
    /// Prints the boxes held as the outcome of a command that did or did not
    /// succeed (a read, whose box the window shows when it judges it).
    void Settle(bool succeeded);

    /// Drops the boxes held and prints no more: for a command that has said
    /// itself why it ended, where the window's box may come before or after.
    void Silence();

    /// The path the next open-file dialog returns.
    void SetFileToOpen(std::string path);
    /// Makes boxes silent; for --json output.
    void SetQuiet(bool quiet);
    bool Quiet() const;

  private:
    struct Box {
        std::string text;
        std::string caption;
        unsigned style = 0;
    };
    enum class Outcome { Success, Warning, Error };

    void Print(const Box& box, Outcome outcome);

    std::ostream& out_;
    std::ostream& err_;
    std::string prefix_;  ///< "quillon-cli write: "
    bool answerYes_;
    bool quiet_ = false;
    mutable std::mutex mutex_;
    std::vector<Box> held_;
    std::optional<std::string> fileToOpen_;
};

}  // namespace quillon::cli
