// The command-line host: message boxes are printed (caption and text) instead
// of shown, and questions are answered from the command line. Commands learn
// how they ended from the window's command results, not from the boxes.
#pragma once

#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "platform/ui/Host.hpp"

namespace quillon::cli {

class CliHost final : public ui::Host {
  public:
    /// `answerYes` answers Yes/No questions; `out` receives one line per box.
    CliHost(std::ostream& out, bool answerYes);

    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    std::optional<std::string> OpenFileDialog(const ui::Dialog* owner,
                                              std::string_view filter) override;
    int RunModal(ui::Dialog& dialog) override;

    /// The path the next open-file dialog returns.
    void SetFileToOpen(std::string path);
    /// Makes boxes silent; for --json output.
    void SetQuiet(bool quiet);
    bool Quiet() const;

  private:
    std::ostream& out_;
    bool answerYes_;
    bool quiet_ = false;
    mutable std::mutex mutex_;
    std::optional<std::string> fileToOpen_;
};

}  // namespace quillon::cli
