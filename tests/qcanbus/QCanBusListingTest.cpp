// The qcanbus lines of the adapter list, from a scripted probe: a device is
// offered only when its plugin could create it, and every other line says why.
#include "platform/kelvix/qcanbus/QCanBusListing.hpp"

#include <gtest/gtest.h>

#include <map>

namespace kelvix {
namespace {

struct Expected {
    std::string spec;
    std::string description;
    std::string reason;
};

TEST(QCanBusListingTest, OnlyDevicesThePluginCouldCreateAreAvailable) {
    struct Row {
        const char* name;
        PluginDevices seen;
        std::map<std::string, PluginAnswer> created;  ///< by device name; missing: created
        std::vector<Expected> expected;
    };
    const std::vector<Row> rows = {
        {"created",
         {{{"can0", "Qt Virtual CAN bus"}}, {}},
         {},
         {{"qcanbus:p:can0", "Qt Virtual CAN bus", ""}}},
        {"listed but its library is missing",
         {{{"can0.0", ""}}, {}},
         {{"can0.0", {"Cannot load library mhstcan", ""}}},
         {{"", "Qt SerialBus plugin p can0.0", "Cannot load library mhstcan"}}},
        {"no device made, only a warning logged",
         {{{"usb0", "USB"}}, {}},
         {{"usb0", {"", "driver not loaded"}}},
         {{"", "USB", "driver not loaded"}}},
        {"one of two created",
         {{{"a", ""}, {"b", ""}}, {}},
         {{"a", {"busy", ""}}},
         {{"", "Qt SerialBus plugin p a", "busy"}, {"qcanbus:p:b", "Qt SerialBus plugin p b", ""}}},
        {"cannot list",
         {{}, {"Cannot load library pcanbasic", "ignored"}},
         {},
         {{"", "Qt SerialBus plugin p", "Cannot load library pcanbasic"}}},
        {"lists nothing but logs why",
         {{}, {"", "no driver"}},
         {},
         {{"", "Qt SerialBus plugin p", "no driver"}}},
        {"lists nothing",
         {{}, {}},
         {},
         {{"", "Qt SerialBus plugin p", "the plugin sees no device"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> tried;
        const PluginProbe probe{[] { return std::vector<std::string>{"p"}; },
                                [&row](const std::string& plugin) {
                                    EXPECT_EQ(plugin, "p");
                                    return row.seen;
                                },
                                [&](const std::string& plugin, const std::string& device) {
                                    EXPECT_EQ(plugin, "p");
                                    tried.push_back(device);
                                    const auto answer = row.created.find(device);
                                    return answer == row.created.end() ? PluginAnswer{}
                                                                       : answer->second;
                                }};

        const auto listings = ListPluginInterfaces(probe);

        ASSERT_EQ(listings.size(), row.expected.size());
        for (std::size_t i = 0; i < listings.size(); ++i) {
            EXPECT_EQ(listings[i].backend, "qcanbus");
            EXPECT_EQ(listings[i].spec, row.expected[i].spec);
            EXPECT_EQ(listings[i].description, row.expected[i].description);
            EXPECT_EQ(listings[i].unavailableReason, row.expected[i].reason);
            EXPECT_FALSE(listings[i].untested) << "every line was tried";
        }
        EXPECT_EQ(tried.size(), row.seen.answer.error.empty() ? row.seen.devices.size() : 0u)
            << "each listed device is tried once";
    }
}

}  // namespace
}  // namespace kelvix
