#include "behaviour/DeviceModel.hpp"

#include "behaviour/ChannelSettings.hpp"

namespace quillon::behaviour {
namespace {

constexpr std::array<std::string_view, 3> ROLE_NAMES{"recorder", "bridge", "replayer"};
constexpr int FIRST_DEVICE_TYPE = 1;

}  // namespace

std::string_view RoleName(DeviceRole role) {
    return ROLE_NAMES[static_cast<std::size_t>(role)];
}

std::optional<DeviceRole> RoleFromName(std::string_view name) {
    for (std::size_t i = 0; i < ROLE_NAMES.size(); ++i) {
        if (ROLE_NAMES[i] == name) {
            return static_cast<DeviceRole>(i);
        }
    }
    return std::nullopt;
}

std::optional<DeviceRole> RoleFromDeviceType(int deviceType) {
    const int index = deviceType - FIRST_DEVICE_TYPE;
    if (index < 0 || index >= static_cast<int>(ROLE_NAMES.size())) {
        return std::nullopt;
    }
    return static_cast<DeviceRole>(index);
}

std::vector<std::string> SettingsRefusals(const protocol::SettingsSections& settings) {
    std::vector<std::string> refusals;
    for (const std::string& problem :
         {AcceptanceProblem(settings.filters1, 0), AcceptanceProblem(settings.filters2, 1)}) {
        if (!problem.empty()) {
            refusals.push_back(problem);
        }
    }
    return refusals;
}

DeviceModel::DeviceModel(DeviceRole role, const protocol::SettingsSections& settings)
    : role_(role),
      settings_(settings),
      channels_{settings.can1, settings.can2},
      filters_{settings.filters1, settings.filters2},
      recording_{RecordingRules(settings.can1), RecordingRules(settings.can2)},
      bridge_(settings.bridge, channels_) {}

void DeviceModel::Receive(const protocol::TimedFrame& frame,
                          std::vector<protocol::TimedFrame>& out) {
    const int channel = frame.channel;
    ChannelCounts& counts = counts_[channel];
    if (!ChannelOn(channels_[channel])) {
        ++counts.channelOff;
        return;
    }
    if (!Accepts(filters_[channel], frame)) {
        ++counts.rejected;
        return;
    }
    ++counts.accepted;
    switch (role_) {
        case DeviceRole::Recorder:
            if (recording_[channel].Record(frame, switches_)) {
                ++recorded_[channel];
                out.push_back(frame);
            }
            break;
        case DeviceRole::Bridge:
            bridge_.Forward(frame, out, switches_);
            break;
        case DeviceRole::Replayer:
            break;
    }
}

ReplayPlayer DeviceModel::StartReplay(FileOpener open, std::int64_t startUs) const {
    return ReplayPlayer(settings_.replay, channels_, std::move(open), startUs);
}

ModelReport DeviceModel::Report(const ReplayPlayer* replay) const {
    ModelReport report;
    report.channels = counts_;
    report.switches = switches_;
    if (role_ == DeviceRole::Recorder) {
        report.recordingRules = {recording_[0].Counts(), recording_[1].Counts()};
        report.recorded = recorded_;
    }
    if (role_ == DeviceRole::Bridge) {
        report.bridgeRules = bridge_.RuleCountsList();
        report.directCopies = bridge_.DirectCopies();
    }
    if (replay != nullptr) {
        report.replayEntries = replay->Counts();
    }
    return report;
}

}  // namespace quillon::behaviour
