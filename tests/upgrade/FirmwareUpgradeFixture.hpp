// The firmware upgrade driven through a window with the upgrade controls, on a
// scripted adapter, fake time and a scripted host.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "UpgradeTestWindow.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "support/ScriptedHost.hpp"
#include "upgrade/UpgradeControls.hpp"

namespace quillon::test {

class FirmwareUpgradeTest : public ::testing::Test {
  protected:
    std::filesystem::path Image(std::size_t size) {
        return WriteImage(system.directory.Path() / "image.bin", size);
    }
    void Upgrade(const std::filesystem::path& path) {
        host.AnswerNextFileDialogs({path.string()});
        window.Click(upgrade::IDC_UPGRADE);
    }
    /// Image data frames sent, after the two commands.
    std::vector<CanFrameRecord> DataFrames() const {
        std::vector<CanFrameRecord> frames;
        for (const auto& [channel, frame] : adapter.Bus().Transmitted()) {
            if (frame.RemoteFlag == 0) {
                frames.push_back(frame);
            }
        }
        return frames;
    }

    ScriptedAdapterScope adapter;
    FakeSystem system;
    ScriptedHost host;
    UpgradeTestWindow window{host, system.services};
};

}  // namespace quillon::test
