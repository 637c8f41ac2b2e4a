// What the simulated device does with the traffic that is not for its
// configuration: the device model of its type (1 recorder, 2 bridge,
// 3 replayer) over the parameters it started with. A recorder keeps what it
// records in its storage, a bridge sends onto its other channel, a replayer
// plays its list from its storage. Other types do nothing with traffic.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "behaviour/DeviceModel.hpp"
#include "platform/kelvix/Kelvix.h"
#include "protocol/SettingsSections.hpp"
#include "sim/RecordStorage.hpp"

namespace quillon::sim {

/// True for the frames of the configuration protocol (parameter, identity,
/// debug, DTU and upgrade frames), which the device model never sees.
bool IsConfigurationFrame(const CanFrameRecord& frame);

class DeviceBehaviour {
  public:
    /// Starts the device of `type` at `startUs`; `storage` (may be null: no
    /// storage, nothing recorded or replayed) outlives this object.
    DeviceBehaviour(std::uint8_t type, const protocol::SettingsSections& parameters,
                    RecordStorage* storage, std::int64_t startUs);

    /// A frame heard on its channel: appends to `send` what goes on the bus.
    void Receive(const protocol::TimedFrame& frame, std::vector<protocol::TimedFrame>& send);

    /// Appends to `send` the replayed frames due at `nowUs`.
    void Due(std::int64_t nowUs, std::vector<protocol::TimedFrame>& send);

    std::optional<behaviour::ModelReport> Report() const;

  private:
    std::optional<behaviour::DeviceModel> model_;
    RecordStorage* storage_;
    std::optional<behaviour::ReplayPlayer> player_;
    std::optional<protocol::TimedFrame> nextReplayed_;
    std::vector<protocol::TimedFrame> recorded_;
};

}  // namespace quillon::sim
