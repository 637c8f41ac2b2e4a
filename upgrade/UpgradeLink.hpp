// What the upgrade commands need from the main window's device link.
//
// Threading: both calls come from the user-interface thread.
#pragma once

namespace quillon::upgrade {

class UpgradeLink {
  public:
    virtual ~UpgradeLink() = default;
    /// True while the adapter is connected and the receive thread runs.
    virtual bool IsRunning() const = 0;
    /// Opens the link the way the upgrade needs it when nobody connected before:
    /// VCI_OpenDevice and VCI_StartCAN on adapter 0, channel 0, with neither
    /// result looked at and no channel initialisation, then marks the link running,
    /// shows "断开设备" on the connect button and starts the receive thread.
    virtual void ConnectForUpgrade() = 0;
};

}  // namespace quillon::upgrade
