#include "frontends/cli/DeviceRead.hpp"

namespace quillon::cli {
namespace {

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

DeviceRead ReadDevice(Session& session, int timeoutMs, std::string_view command, std::ostream& err,
                      bool quietNotice) {
    auto& window = session.Window();
    const std::uint64_t before0 = window.CompletionCount(0);
    const std::uint64_t before1 = window.CompletionCount(1);
    const bool wasQuiet = session.Host().Quiet();
    session.Host().SetQuiet(wasQuiet || quietNotice);
    if (!window.ReadParameters()) {
        session.Host().SetQuiet(wasQuiet);
        err << command << ": the device did not take the read request\n";
        return {EXIT_FAILED, {}};
    }
    // The first identity change already refreshes the pages; the read is
    // complete only when each channel's completion frame has been decoded.
    const bool complete = session.PumpUntil(
        [&] { return window.CompletionCount(0) > before0 && window.CompletionCount(1) > before1; },
        std::chrono::milliseconds(timeoutMs));
    session.Host().PumpMessages();
    session.Host().SetQuiet(wasQuiet);
    if (!complete) {
        err << command << ": no completion from the device within " << timeoutMs << " ms\n";
        return {EXIT_TIMEOUT, {}};
    }
    // Completed, yet frames were lost on the way: what arrived is no answer.
    if (const auto missing = window.LastRead().Missing(); !missing.empty()) {
        err << command << ": the read is incomplete, missing " << Joined(missing) << '\n';
        return {EXIT_TIMEOUT, {}};
    }
    return {EXIT_OK, ReadSections(window)};
}

}  // namespace quillon::cli
