// quillon-cli adapters on a scripted discovery, and on this build's own.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/cli/AdaptersCommand.hpp"
#include "frontends/cli/ExitCode.hpp"

namespace quillon::cli {
namespace {

AdapterDiscovery Scripted() {
    AdapterDiscovery discovery;
    discovery.backends = [] {
        return std::vector<std::string>{"brindle", "qcanbus", "sim", "socketcan"};
    };
    discovery.listers["qcanbus"] = [] {
        return std::vector<kelvix::InterfaceListing>{
            {"qcanbus", "", "Qt SerialBus plugin peakcan", "Cannot load library pcanbasic"},
            {"qcanbus", "qcanbus:virtualcan:can0", "Qt Virtual CAN bus", ""}};
    };
    discovery.listers["sim"] = [] {
        return std::vector<kelvix::InterfaceListing>{
            {"sim", "sim", "simulated device in this process", ""}};
    };
    discovery.listers["socketcan"] = [] {
        return std::vector<kelvix::InterfaceListing>{
            {"socketcan", "", "raw CAN sockets", "this system has no raw CAN sockets"}};
    };
    return discovery;
}

TEST(AdaptersCommandTest, OneLinePerInterfaceWithTheReasonWhereThereIsNone) {
    std::ostringstream out;
    EXPECT_EQ(RunAdapters(Scripted(), false, out), EXIT_OK);
    EXPECT_EQ(out.str(),
              "brindle    brindle                        this backend lists no interfaces\n"
              "qcanbus    unavailable                    Qt SerialBus plugin peakcan: Cannot load "
              "library pcanbasic\n"
              "qcanbus    qcanbus:virtualcan:can0        Qt Virtual CAN bus\n"
              "sim        sim                            simulated device in this process\n"
              "socketcan  unavailable                    raw CAN sockets: this system has no raw "
              "CAN sockets\n");
}

TEST(AdaptersCommandTest, JsonKeepsEveryFieldForScripts) {
    std::ostringstream out;
    EXPECT_EQ(RunAdapters(Scripted(), true, out), EXIT_OK);
    const auto json = nlohmann::json::parse(out.str());
    ASSERT_EQ(json.size(), 5u);
    EXPECT_EQ(json[1]["backend"], "qcanbus");
    EXPECT_EQ(json[1]["available"], false);
    EXPECT_EQ(json[1]["reason"], "Cannot load library pcanbasic");
    EXPECT_EQ(json[2]["spec"], "qcanbus:virtualcan:can0");
    EXPECT_EQ(json[2]["available"], true);
    EXPECT_EQ(json[2]["reason"], "");
}

// What the programs do at start: every optional backend of the build is listed.
TEST(AdaptersCommandTest, ThisBuildListsItsBuiltInBackends) {
    adapters::RegisterBuildBackends();
    const auto listings = CollectListings(DefaultAdapterDiscovery());
    auto has = [&](const std::string& backend) {
        return std::any_of(listings.begin(), listings.end(),
                           [&](const auto& listing) { return listing.backend == backend; });
    };
    EXPECT_TRUE(has("sim"));
    EXPECT_TRUE(has("socketcan"));
    std::vector<std::string> carried;
    for (const auto& optional : adapters::OptionalBackends()) {
        carried.push_back(optional.name);
        EXPECT_TRUE(has(optional.name)) << optional.name;
    }
    std::string expected = QUILLON_OPTIONAL_BACKENDS;  // what CMake put into this build
    std::vector<std::string> names;
    for (std::size_t start = 0; start < expected.size();) {
        const std::size_t comma = std::min(expected.find(',', start), expected.size());
        names.push_back(expected.substr(start, comma - start));
        start = comma + 1;
    }
    EXPECT_EQ(carried, names);
    for (const auto& listing : listings) {
        EXPECT_NE(listing.Available(), listing.spec.empty())
            << listing.backend << ": a usable interface has a spec, an unusable one a reason";
    }
}

}  // namespace
}  // namespace quillon::cli
