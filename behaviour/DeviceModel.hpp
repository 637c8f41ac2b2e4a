// The device as its type says: a recorder, a bridge or a replayer, taking every
// frame that reaches it (configuration frames aside) through its channels'
// settings and its rules. Pure and deterministic: time comes with the frames.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "behaviour/Bridge.hpp"
#include "behaviour/ModelReport.hpp"
#include "behaviour/RecordingRules.hpp"
#include "behaviour/ReplayPlayer.hpp"
#include "protocol/SettingsSections.hpp"
#include "protocol/TimedFrame.hpp"

namespace quillon::behaviour {

enum class DeviceRole { Recorder, Bridge, Replayer };

/// "recorder", "bridge", "replayer".
std::string_view RoleName(DeviceRole role);
/// The role of a name RoleName gives; nothing for any other text.
std::optional<DeviceRole> RoleFromName(std::string_view name);
/// The role of a device type code: 1 recorder, 2 bridge, 3 replayer; nothing for others.
std::optional<DeviceRole> RoleFromDeviceType(int deviceType);

/// Why the device would refuse these settings (acceptance filtering on with no
/// filter, naming the channel), one line each; empty when they can be used.
std::vector<std::string> SettingsRefusals(const protocol::SettingsSections& settings);

class DeviceModel {
  public:
    DeviceModel(DeviceRole role, const protocol::SettingsSections& settings);

    /// A frame that reached the device on `frame.channel` (0 or 1): appends what
    /// it records (recorder) or sends (bridge) to `out`, in order.
    void Receive(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& out);

    /// The replayer's list over the stored files, its first play at `startUs`.
    ReplayPlayer StartReplay(FileOpener open, std::int64_t startUs) const;

    /// What happened so far; with `replay`, its entries' counts too.
    ModelReport Report(const ReplayPlayer* replay = nullptr) const;

    DeviceRole Role() const { return role_; }

  private:
    DeviceRole role_;
    protocol::SettingsSections settings_;
    std::array<protocol::CanPara, 2> channels_;
    std::array<protocol::HardFilterPara, 2> filters_;
    std::array<RecordingRules, 2> recording_;
    Bridge bridge_;
    std::array<ChannelCounts, 2> counts_{};
    std::array<std::uint64_t, 2> recorded_{};
    SwitchLog switches_;
};

}  // namespace quillon::behaviour
