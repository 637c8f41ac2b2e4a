// A read error part-way through the image, made by swapping the image's
// descriptor for a directory's: /proc/self/fd and dup2 are POSIX's.
#include <fcntl.h>
#include <unistd.h>

#include "FirmwareUpgradeFixture.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::test {
namespace {

using namespace quillon::upgrade;

// A read error after the first block must not pass for the end of the image.
TEST_F(FirmwareUpgradeTest, ReadErrorPartWayEndsAsAFailure) {
    const auto path = Image(20000);
    system.sleeper.SetHook([&](std::uint32_t durationMs) {
        if (durationMs != 1) {
            return;
        }
        // Swap the image's descriptor for a directory's: the next read fails.
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(entry.path(), error) == path) {
                const int directory = ::open(system.directory.Path().string().c_str(), O_RDONLY);
                ::dup2(directory, std::stoi(entry.path().filename().string()));
                ::close(directory);
            }
        }
    });
    Upgrade(path);

    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{READ_IMAGE_FAILED});
    EXPECT_EQ(DataFrames().size(), 2000u);
    EXPECT_EQ(window.GetPos(IDC_PROGRESS), 80);
    EXPECT_EQ(window.GetDlgItemText(IDC_STATUS), STATUS_WRITING);
    EXPECT_EQ(window.Events().back().phase, UpgradePhase::Failed);
}

}  // namespace
}  // namespace quillon::test
