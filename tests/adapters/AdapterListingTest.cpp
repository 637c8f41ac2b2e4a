// What the adapter list offers as available really opens, and the lines of
// the backends this build adds say why when they do not.
#include <gtest/gtest.h>

#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"

#ifdef QUILLON_TEST_BRINDLE_LISTING
#include "driver/backend/BrindleBackend.hpp"
#endif

namespace quillon::adapters {
namespace {

// The virtualcan plugin's interfaces are left out: opening one joins the
// bus server on its fixed loopback port, which other programs share.
bool SharedWithOtherPrograms(const kelvix::InterfaceListing& listing) {
    return listing.spec.starts_with("qcanbus:virtualcan:");
}

TEST(AdapterListingTest, EveryAvailableAdapterOfThisMachineOpens) {
    RegisterBuildBackends();
    int tried = 0;
    for (const auto& listing : CollectListings(DefaultAdapterDiscovery())) {
        if (!listing.Available() || SharedWithOtherPrograms(listing)) {
            continue;
        }
        SCOPED_TRACE(listing.spec);
        kelvix::SetAdapterSpecOverride(listing.spec + (listing.spec == "sim" ? ":nodevice" : ""));
        EXPECT_EQ(VCI_OpenDevice(KELVIX_DEVICE_TYPE, 0, 0), 1u) << kelvix::LastOpenError();
        VCI_CloseDevice(KELVIX_DEVICE_TYPE, 0);
        ++tried;
    }
    kelvix::CloseAllAdapters();
    EXPECT_GE(tried, 1) << "sim at least is always available";
}

// Qt SerialBus plugins warn through Qt's logging when their vendor library
// is missing; the list says so in its reasons instead.
TEST(AdapterListingTest, ListingLeavesNoPluginMessageOnTheTerminal) {
    RegisterBuildBackends();
    testing::internal::CaptureStderr();
    const auto listings = CollectListings(DefaultAdapterDiscovery());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.find("qt.canbus"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Cannot load"), std::string::npos) << printed;
    EXPECT_FALSE(listings.empty());
}

#ifdef QUILLON_TEST_BRINDLE_LISTING
TEST(AdapterListingTest, BrindleIsAvailableOnlyWhenAnAdapterOpened) {
    const struct {
        const char* name;
        std::string problem;  ///< what the trial open answers
        kelvix::InterfaceListing expected;
    } rows[] = {
        {"opened", "", {"brindle", "brindle", "Brindle driver with a simulated USB adapter", ""}},
        {"refused",
         "brindle: the adapter's USB device did not start: STATUS_UNSUCCESSFUL",
         {"brindle", "", "Brindle driver with a simulated USB adapter",
          "brindle: the adapter's USB device did not start: STATUS_UNSUCCESSFUL"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int trials = 0;
        const auto listings = brindle::ListBrindleInterfaces([&] {
            ++trials;
            return row.problem;
        });
        EXPECT_EQ(trials, 1);
        ASSERT_EQ(listings.size(), 1u);
        EXPECT_EQ(listings[0].backend, row.expected.backend);
        EXPECT_EQ(listings[0].spec, row.expected.spec);
        EXPECT_EQ(listings[0].description, row.expected.description);
        EXPECT_EQ(listings[0].unavailableReason, row.expected.unavailableReason);
        EXPECT_FALSE(listings[0].untested);
    }
    const auto here = brindle::ListBrindleInterfaces();
    ASSERT_EQ(here.size(), 1u);
    EXPECT_TRUE(here[0].Available()) << here[0].unavailableReason;
}
#endif

}  // namespace
}  // namespace quillon::adapters
