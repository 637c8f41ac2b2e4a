#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "driver/PipeName.hpp"

namespace brindle {
namespace {

std::optional<kmdf::UCHAR> IndexOf(std::u16string name) {
    kmdf::UNICODE_STRING text;
    text.Length = static_cast<kmdf::USHORT>(name.size() * 2);
    text.MaximumLength = text.Length;
    text.Buffer = name.data();
    return PipeIndexFromName(text);
}

struct NameCase {
    const char* label;
    std::u16string name;
    std::optional<kmdf::UCHAR> index;
};

TEST(PipeNameTest, LastRunOfDigitsSelectsThePipeModulo256) {
    const NameCase cases[] = {
        {"two zeros", u"\\PIPE00", 0},
        {"one digit", u"\\PIPE1", 1},
        {"leading zero", u"\\X01", 1},
        {"no digit", u"\\PIPE", std::nullopt},
        {"trailing letters skipped", u"\\P1X", 1},
        {"wraps at 256", u"\\PIPE257", 1},
        {"only the last run counts", u"\\12PIPE3", 3},
        {"twenty digits do not overflow", u"\\PIPE99999999999999999999", 255},
        {"bare backslash", u"\\", std::nullopt},
        {"empty", u"", std::nullopt},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(IndexOf(c.name), c.index) << c.label;
    }
}

}  // namespace
}  // namespace brindle
