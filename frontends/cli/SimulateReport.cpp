#include "frontends/cli/SimulateReport.hpp"

#include <cinttypes>
#include <cstdio>

#include "behaviour/ChannelSettings.hpp"

namespace quillon::cli {
namespace {

using behaviour::DeviceRole;
using behaviour::DropReason;
using behaviour::RuleCounts;
using behaviour::SwitchEvent;

std::string Seconds(std::int64_t timeUs) {
    char text[40];
    std::snprintf(text, sizeof(text), "%" PRId64 ".%06" PRId64, timeUs / 1'000'000,
                  timeUs % 1'000'000);
    return text;
}

/// "recorded", "forwarded" or "sent": what `passed` means for the role.
const char* PassedWord(DeviceRole role) {
    switch (role) {
        case DeviceRole::Recorder:
            return "recorded";
        case DeviceRole::Bridge:
            return "forwarded";
        case DeviceRole::Replayer:
            return "sent";
    }
    return "passed";
}

void PrintCounts(const std::string& label, const RuleCounts& counts, DeviceRole role,
                 std::ostream& out) {
    out << label << ": " << counts.matched << " matched, " << counts.passed << ' '
        << PassedWord(role);
    for (std::size_t i = 0; i < behaviour::DROP_REASON_COUNT; ++i) {
        if (counts.dropped[i] != 0) {
            out << ", " << counts.dropped[i] << " dropped ("
                << behaviour::DropReasonText(static_cast<DropReason>(i)) << ')';
        }
    }
    if (counts.missingFile != 0) {
        out << ", file missing " << counts.missingFile << " times";
    }
    out << '\n';
}

std::string SwitchWhat(DeviceRole role, const SwitchEvent& event) {
    if (role == DeviceRole::Bridge) {
        return behaviour::ChannelName(event.channel) + "->" +
               behaviour::ChannelName(1 - event.channel) + " forwarding";
    }
    return behaviour::ChannelName(event.channel) + " recording";
}

nlohmann::ordered_json CountsJson(const RuleCounts& counts, DeviceRole role) {
    nlohmann::ordered_json json;
    json["matched"] = counts.matched;
    json[PassedWord(role)] = counts.passed;
    nlohmann::ordered_json dropped = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < behaviour::DROP_REASON_COUNT; ++i) {
        dropped[std::string(behaviour::DropReasonText(static_cast<DropReason>(i)))] =
            counts.dropped[i];
    }
    json["dropped"] = dropped;
    return json;
}

}  // namespace

void PrintSimulateReport(const SimulateSummary& summary, std::ostream& out) {
    const behaviour::ModelReport& report = summary.report;
    const DeviceRole role = summary.role;
    out << "simulated " << behaviour::RoleName(role) << ": " << summary.framesIn << " frames in, "
        << summary.framesOut << ' ' << PassedWord(role) << '\n';
    for (int channel = 0; channel < 2; ++channel) {
        const behaviour::ChannelCounts& counts = report.channels[channel];
        out << behaviour::ChannelName(channel) << ": " << counts.accepted << " accepted, "
            << counts.rejected << " rejected by the acceptance filters, " << counts.channelOff
            << " while the channel is off\n";
    }
    for (int channel = 0; channel < 2 && role == DeviceRole::Recorder; ++channel) {
        const auto& rules = report.recordingRules[channel];
        for (std::size_t i = 0; i < rules.size(); ++i) {
            PrintCounts(
                behaviour::ChannelName(channel) + " recording rule " + std::to_string(i),
                rules[i], role, out);
        }
    }
    for (std::size_t i = 0; i < report.bridgeRules.size(); ++i) {
        PrintCounts("bridge rule " + std::to_string(i), report.bridgeRules[i], role, out);
    }
    for (int channel = 0; channel < 2 && role == DeviceRole::Bridge; ++channel) {
        if (report.directCopies[channel].matched != 0) {
            PrintCounts(behaviour::ChannelName(channel) + " direct copy",
                        report.directCopies[channel], role, out);
        }
    }
    for (std::size_t i = 0; i < report.replayEntries.size(); ++i) {
        PrintCounts("replay entry " + std::to_string(i) + " (" + summary.replayFiles[i] + ")",
                    report.replayEntries[i], role, out);
    }
    for (const SwitchEvent& event : report.switches.kept) {
        out << Seconds(event.timeUs) << ' ' << SwitchWhat(role, event) << ' '
            << (event.on ? "on" : "off") << " (rule " << event.rule << ")\n";
    }
    if (report.switches.notKept != 0) {
        out << "... and " << report.switches.notKept << " more switches\n";
    }
}

nlohmann::ordered_json SimulateReportJson(const SimulateSummary& summary) {
    const behaviour::ModelReport& report = summary.report;
    const DeviceRole role = summary.role;
    nlohmann::ordered_json json;
    json["role"] = behaviour::RoleName(role);
    json["framesIn"] = summary.framesIn;
    json[std::string("frames") + (role == DeviceRole::Recorder ? "Recorded"
                                  : role == DeviceRole::Bridge ? "Forwarded"
                                                               : "Sent")] = summary.framesOut;
    json["channels"] = nlohmann::ordered_json::array();
    for (int channel = 0; channel < 2; ++channel) {
        const behaviour::ChannelCounts& counts = report.channels[channel];
        json["channels"].push_back({{"channel", behaviour::ChannelName(channel)},
                                    {"accepted", counts.accepted},
                                    {"rejected", counts.rejected},
                                    {"channelOff", counts.channelOff}});
    }
    if (role == DeviceRole::Recorder) {
        json["recordingRules"] = nlohmann::ordered_json::array();
        for (int channel = 0; channel < 2; ++channel) {
            for (std::size_t i = 0; i < report.recordingRules[channel].size(); ++i) {
                nlohmann::ordered_json rule = {{"channel", behaviour::ChannelName(channel)},
                                               {"rule", i}};
                rule.update(CountsJson(report.recordingRules[channel][i], role));
                json["recordingRules"].push_back(rule);
            }
        }
    }
    if (role == DeviceRole::Bridge) {
        json["bridgeRules"] = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < report.bridgeRules.size(); ++i) {
            nlohmann::ordered_json rule = {{"rule", i}};
            rule.update(CountsJson(report.bridgeRules[i], role));
            json["bridgeRules"].push_back(rule);
        }
        json["directCopies"] = nlohmann::ordered_json::array();
        for (int channel = 0; channel < 2; ++channel) {
            nlohmann::ordered_json copy = {{"channel", behaviour::ChannelName(channel)}};
            copy.update(CountsJson(report.directCopies[channel], role));
            json["directCopies"].push_back(copy);
        }
    }
    if (role == DeviceRole::Replayer) {
        json["replayEntries"] = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < report.replayEntries.size(); ++i) {
            nlohmann::ordered_json entry = {{"entry", i}, {"file", summary.replayFiles[i]}};
            entry.update(CountsJson(report.replayEntries[i], role));
            entry["missingFile"] = report.replayEntries[i].missingFile;
            json["replayEntries"].push_back(entry);
        }
    }
    json["switches"] = nlohmann::ordered_json::array();
    for (const SwitchEvent& event : report.switches.kept) {
        json["switches"].push_back(
            {{"timeUs", event.timeUs},
             {"channel", behaviour::ChannelName(event.channel)},
             {"what", role == DeviceRole::Bridge ? "forwarding" : "recording"},
             {"on", event.on},
             {"rule", event.rule}});
    }
    json["switchesNotKept"] = report.switches.notKept;
    return json;
}

}  // namespace quillon::cli
