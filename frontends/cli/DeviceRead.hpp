// The parameter read as the commands that compare with a device need it:
// request, wait for the window's verdict on the read, take what was decoded.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/ReadJudge.hpp"
#include "frontends/cli/Session.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::cli {

struct DeviceRead {
    /// EXIT_OK; EXIT_FAILED when the request was refused; EXIT_TIMEOUT when the
    /// device did not answer within the time-out, or the read lost entries its
    /// headers announced (the missing entries are named on `err`).
    int status = EXIT_OK;
    protocol::SettingsSections sections{};
    /// Headers and frames the device never sent: information, not a failure.
    std::vector<std::string> notReported;
};

/// Sends the read request and pumps until the window has judged the read,
/// the completion waited for at most `noAnswerMs`. Nothing when the request
/// did not go out (the window said so).
std::optional<app::ReadVerdict> RequestRead(Session& session, int noAnswerMs);

/// Reads the device of a connected session and waits at most `timeoutMs` for the
/// answer. On failure says why on `err`, prefixed with `command` ("quillon-cli read").
/// The session stays connected. `quietNotice` keeps the read's own notice off the
/// output, for commands whose result is something else (a comparison).
DeviceRead ReadDevice(Session& session, int timeoutMs, std::string_view command, std::ostream& err,
                      bool quietNotice);

/// What a read filled: the read-back channel copies and the sections the
/// window and its pages hold.
protocol::SettingsSections ReadSections(app::CQuillonDlg& window);

}  // namespace quillon::cli
