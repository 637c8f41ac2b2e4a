#include "frontends/cli/DeviceRead.hpp"

#include <chrono>

namespace quillon::cli {
namespace {

/// How long a read whose completion came waits for its verdict at most: the
/// window's settling and a pass of two receive waits to see it end.
constexpr int SETTLE_WAIT_MS = static_cast<int>(app::ReadJudge::MAX_SETTLE_MS) + 1000;

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

}  // namespace

protocol::SettingsSections ReadSections(app::CQuillonDlg& window) {
    protocol::SettingsSections sections = window.Record();
    sections.can1 = window.ReadBackChannel(0);
    sections.can2 = window.ReadBackChannel(1);
    return sections;
}

std::optional<app::ReadVerdict> RequestRead(Session& session, int noAnswerMs) {
    auto& window = session.Window();
    const std::uint64_t before = window.ReadsJudged();
    window.SetReadNoAnswerMs(static_cast<std::uint64_t>(noAnswerMs));
    if (!window.ReadParameters()) {
        return std::nullopt;
    }
    // The window judges as the receive thread's passes end. The session's own
    // wait bounds it as well: no completion within the no-answer time is no
    // answer, and a completion that came gets its settling to be judged.
    const auto judged = [&] { return window.ReadsJudged() > before; };
    if (!session.PumpUntil(judged, std::chrono::milliseconds(noAnswerMs)) &&
        !(window.ReadSettling() &&
          session.PumpUntil(judged, std::chrono::milliseconds(SETTLE_WAIT_MS)))) {
        return app::ReadVerdict::NoAnswer;
    }
    return window.LastVerdict();
}

DeviceRead ReadDevice(Session& session, int timeoutMs, std::string_view command, std::ostream& err,
                      bool quietNotice) {
    auto& window = session.Window();
    const bool wasQuiet = session.Host().Quiet();
    session.Host().SetQuiet(wasQuiet || quietNotice);
    const auto verdict = RequestRead(session, timeoutMs);
    session.Host().SetQuiet(wasQuiet);
    if (verdict == app::ReadVerdict::NoAnswer) {
        // The window's own no-answer box races the wait above; the line below says it.
        session.Host().Silence();
    }
    session.Host().Settle(verdict == app::ReadVerdict::Complete);
    if (!verdict) {
        err << command << ": the device did not take the read request\n";
        return {EXIT_FAILED, {}, {}};
    }
    if (*verdict == app::ReadVerdict::NoAnswer) {
        err << command << ": no completion from the device within " << timeoutMs << " ms\n";
        return {EXIT_TIMEOUT, {}, {}};
    }
    // The completion came, yet announced entries were lost: what arrived is no answer.
    if (*verdict == app::ReadVerdict::Incomplete) {
        err << command << ": the read is incomplete, missing "
            << Joined(window.LastRead().Missing()) << '\n';
        return {EXIT_TIMEOUT, {}, {}};
    }
    DeviceRead read{EXIT_OK, ReadSections(window), window.LastRead().NotReported()};
    if (!read.notReported.empty()) {
        err << command << ": not reported by the device: " << Joined(read.notReported) << '\n';
    }
    return read;
}

}  // namespace quillon::cli
