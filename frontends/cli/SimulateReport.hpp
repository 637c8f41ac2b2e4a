// What `simulate` prints after a run: the model's report as text or as JSON.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "behaviour/DeviceModel.hpp"
#include "behaviour/ModelReport.hpp"

namespace quillon::cli {

struct SimulateSummary {
    behaviour::DeviceRole role = behaviour::DeviceRole::Recorder;
    std::uint64_t framesIn = 0;            ///< frames read from the logs
    std::uint64_t framesOut = 0;           ///< frames recorded or sent
    std::vector<std::string> replayFiles;  ///< the replay entries' file names, in list order
    behaviour::ModelReport report;
};

/// The report for a person, one line per channel, rule and switch:
///   CAN1: 4 accepted, 1 rejected by the acceptance filters, 0 while the channel is off
///   bridge rule 1: 3 matched, 2 forwarded, 1 dropped (listen-only)
///   1436509052.250000 CAN1->CAN2 forwarding on (rule 2)
void PrintSimulateReport(const SimulateSummary& summary, std::ostream& out);

/// The same report as one JSON object.
nlohmann::ordered_json SimulateReportJson(const SimulateSummary& summary);

}  // namespace quillon::cli
