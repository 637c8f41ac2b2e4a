// The upgrade mode entry driven through a window with the upgrade controls, on
// a scripted adapter, fake system services and a scripted host.
#pragma once

#include <gtest/gtest.h>

#include "UpgradeTestWindow.hpp"
#include "platform/kelvix/Kelvix.h"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::test {

class UpgradeModeEntryTest : public ::testing::Test {
  protected:
    /// Opens the adapter and marks the link running, as a connect leaves them.
    void Connect() {
        ASSERT_EQ(VCI_OpenDevice(KELVIX_DEVICE_TYPE, 0, 0), 1u);
        window.link.running = true;
    }

    ScriptedAdapterScope adapter;
    FakeSystem system;
    ScriptedHost host;
    UpgradeTestWindow window{host, system.services};
};

}  // namespace quillon::test
