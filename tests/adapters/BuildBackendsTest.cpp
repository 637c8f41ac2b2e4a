// The one registration of a build's optional backends, and the lists of
// backends a user reads that come from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontends/adapters/AdapterDiscovery.hpp"
#include "frontends/adapters/BuildBackends.hpp"

namespace quillon::adapters {
namespace {

// The shared adapter library registers its backends while their sources are
// still starting: one that enters late must be registered all the same, and
// none twice.
TEST(BuildBackendsTest, EachBackendIsRegisteredOnceWhicheverStartsFirst) {
    std::vector<std::string> registered;
    auto backend = [&](const std::string& name) {
        return OptionalBackend{name, [&registered, name] { registered.push_back(name); }, {}};
    };
    OptionalBackendSet set;
    set.Add(backend("brindle"));
    EXPECT_TRUE(registered.empty()) << "registered before the program asked";

    set.RegisterAll();
    EXPECT_EQ(registered, std::vector<std::string>{"brindle"});

    set.Add(backend("qcanbus"));
    EXPECT_EQ(registered, (std::vector<std::string>{"brindle", "qcanbus"}));

    set.RegisterAll();
    EXPECT_EQ(registered, (std::vector<std::string>{"brindle", "qcanbus"}));
    ASSERT_EQ(set.Backends().size(), 2u);
    EXPECT_EQ(set.Backends()[1].name, "qcanbus");
}

TEST(BuildBackendsTest, OtherBackendsNamesWhatTheBuildHas) {
    struct Row {
        const char* name;
        std::vector<std::string> backends;
        std::string expected;
    };
    const Row rows[] = {
        {"every backend",
         {"brindle", "dll", "qcanbus", "sim", "socketcan"},
         "brindle, qcanbus, sim or socketcan"},
        {"no optional backend", {"dll", "sim", "socketcan"}, "sim or socketcan"},
        {"windows without options", {"dll", "sim"}, "sim"},
        {"refused one absent", {"sim", "socketcan"}, "sim or socketcan"},
        {"nothing else", {"dll"}, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(OtherBackends(row.backends, "dll"), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace quillon::adapters
