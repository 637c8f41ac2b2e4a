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
        return std::vector<std::string>{"brindle", "dll", "qcanbus", "sim", "socketcan"};
    };
    discovery.listers["dll"] = [] {
        return std::vector<kelvix::InterfaceListing>{
            {"dll", "dll:PATH", "any adapter library", "needs the library's path", true}};
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

TEST(AdaptersCommandTest, OnlyWhatOpensShowsItsSpecTheRestSayWhyNot) {
    std::ostringstream out;
    EXPECT_EQ(RunAdapters(Scripted(), false, out), EXIT_OK);
    EXPECT_EQ(out.str(),
              "brindle    untested                       this backend lists no interfaces "
              "(brindle): not tried\n"
              "dll        untested                       any adapter library (dll:PATH): needs the "
              "library's path\n"
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
    ASSERT_EQ(json.size(), 6u);
    const struct {
        const char* name;
        std::size_t index;
        const char* spec;
        bool available;
        const char* status;
        const char* reason;
    } rows[] = {
        {"not listed", 0, "brindle", false, "untested", "not tried"},
        {"not tried", 1, "dll:PATH", false, "untested", "needs the library's path"},
        {"tried and failed", 2, "", false, "unavailable", "Cannot load library pcanbasic"},
        {"tried and opens", 3, "qcanbus:virtualcan:can0", true, "available", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(json[row.index]["spec"], row.spec);
        EXPECT_EQ(json[row.index]["available"], row.available);
        EXPECT_EQ(json[row.index]["status"], row.status);
        EXPECT_EQ(json[row.index]["reason"], row.reason);
    }
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
        SCOPED_TRACE(listing.backend + " " + listing.description);
        EXPECT_EQ(listing.Available(), listing.unavailableReason.empty())
            << "what is not listed as available says why";
        if (listing.Available()) {
            EXPECT_FALSE(listing.spec.empty()) << "what opens has the adapter text that opens it";
        } else if (!listing.untested) {
            EXPECT_TRUE(listing.spec.empty()) << "what was tried and failed offers no adapter text";
        }
    }
}

}  // namespace
}  // namespace quillon::cli
