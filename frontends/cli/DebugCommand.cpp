// quillon-cli debug: the debug page on a terminal. The device's messages are
// printed as they arrive, one line per line of device text, each headed by its
// level:
//   [0] AT+CSQ
//   [1] ok
//   [3] 0C 00
// Every line typed on standard input goes through the debug page, with its
// line end, exactly as "文本发送" would send it.
#include <algorithm>
#include <array>
#include <deque>
#include <istream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/MainWindowIds.hpp"
#include "frontends/cli/Commands.hpp"

namespace quillon::cli {
namespace {

using pages::CDialogDebugMsg;
using std::chrono::milliseconds;

constexpr milliseconds INPUT_POLL{50};

// Standard input read on its own thread, so that device messages are printed
// while the user types. The thread ends with the input.
class LineReader {
  public:
    // A stream tied to the output (std::cin to std::cout) would flush it from
    // the reading thread while this thread prints: untied while reading.
    explicit LineReader(std::istream& in)
        : in_(in), tie_(in.tie(nullptr)), thread_([this] { Read(in_); }) {}
    ~LineReader() {
        thread_.join();
        in_.tie(tie_);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    std::optional<std::string> Next() {
        std::lock_guard lock(mutex_);
        if (lines_.empty()) {
            return std::nullopt;
        }
        std::string line = std::move(lines_.front());
        lines_.pop_front();
        return line;
    }
    /// A line is waiting, or the input ended.
    bool Ready() const {
        std::lock_guard lock(mutex_);
        return !lines_.empty() || ended_;
    }
    bool Ended() const {
        std::lock_guard lock(mutex_);
        return ended_ && lines_.empty();
    }

  private:
    void Read(std::istream& in) {
        std::string line;
        while (std::getline(in, line)) {
            if (line.ends_with('\r')) {
                line.pop_back();
            }
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
        }
        std::lock_guard lock(mutex_);
        ended_ = true;
    }

    std::istream& in_;
    std::ostream* tie_;
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
    bool ended_ = false;
    std::thread thread_;  // last: starts once the members above exist
};

// Device text as lines: a level change or a line feed starts a new line,
// carriage returns are dropped.
class MessagePrinter {
  public:
    explicit MessagePrinter(std::ostream& out) : out_(out) {}

    void Print(int level, const std::string& text) {
        if (text.empty()) {
            return;
        }
        if (atLineStart_ || level != level_) {
            EndLine();
            out_ << '[' << level << "] ";
            level_ = level;
            atLineStart_ = false;
        }
        for (const char c : text) {
            if (c == '\n') {
                EndLine();
                atLineStart_ = true;
            } else if (c != '\r') {
                out_ << c;
            }
        }
        out_ << std::flush;
    }
    void EndLine() {
        if (!atLineStart_ && level_ >= 0) {
            out_ << '\n';
        }
        atLineStart_ = true;
    }

  private:
    std::ostream& out_;
    int level_ = -1;
    bool atLineStart_ = true;
};

// The page's display is cleared as the session goes, so a long session
// keeps no history; what it showed was printed as it came.
void ClearShownMessages(CDialogDebugMsg& page) {
    if (!page.GetRuns(CDialogDebugMsg::IDC_RICHEDIT_DISPLAY).empty()) {
        page.ClearDisplay();
    }
}

// Sends one typed line through the page; false when the device link refused it.
bool SendLine(app::CQuillonDlg& window, const std::string& line) {
    auto& page = window.DebugPage();
    page.SetDlgItemText(CDialogDebugMsg::IDC_EDIT_SEND, line);
    page.CheckDlgButton(CDialogDebugMsg::IDC_CHECK_LINE_END, ui::BST_CHECKED);
    return window.SendMessage(app::WM_APP_DEBUG_SEND, 1, 1) > 0;
}

}  // namespace

int RunDebug(const GlobalOptions& options, const DebugOptions& debug, std::istream& in,
             sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    Session session(options, out, err, services);
    if (!session.Connect(err)) {
        return EXIT_NO_ADAPTER;
    }
    auto& window = session.Window();
    MessagePrinter printer(out);
    auto& page = window.DebugPage();
    // Messages are appended on this thread, by the pump that decodes frames.
    page.AddMessageObserver([&](const CDialogDebugMsg::DeviceMessage& message) {
        printer.Print(message.level, page.MessageText(message.level, message.bytes));
    });
    const auto clearShown = [&] { ClearShownMessages(page); };
    std::size_t lineNumber = 0;
    bool failed = false;
    {
        LineReader reader(in);
        while (!reader.Ended()) {
            session.PumpUntil(
                [&] {
                    clearShown();
                    return reader.Ready();
                },
                INPUT_POLL);
            while (auto line = reader.Next()) {
                ++lineNumber;
                if (!failed && !SendLine(window, *line)) {
                    failed = true;
                    session.Host().Settle(false);
                    err << "quillon-cli debug: line " << lineNumber
                        << " was not sent; nothing more is sent\n";
                }
            }
        }
    }
    session.PumpUntil(
        [&] {
            clearShown();
            return false;
        },
        milliseconds(debug.drainMs));
    printer.EndLine();
    session.Disconnect();
    return failed ? EXIT_FAILED : EXIT_OK;
}

}  // namespace quillon::cli
