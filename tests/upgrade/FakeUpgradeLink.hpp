// A device link for the upgrade commands: opens the adapter the way the main
// window does for an upgrade, without a receive thread.
#pragma once

#include "platform/kelvix/Kelvix.h"
#include "upgrade/UpgradeLink.hpp"

namespace quillon::test {

class FakeUpgradeLink final : public upgrade::UpgradeLink {
  public:
    bool IsRunning() const override { return running; }
    void ConnectForUpgrade() override {
        ++connects;
        VCI_OpenDevice(4, 0, 0);
        VCI_StartCAN(4, 0, 0);
        running = true;
    }

    bool running = false;
    int connects = 0;
};

}  // namespace quillon::test
