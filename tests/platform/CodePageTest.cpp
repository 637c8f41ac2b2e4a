#include <gtest/gtest.h>

#include "platform/system/CodePage.hpp"

namespace quillon::sys {
namespace {

TEST(CodePageTest, GbkBytesOfKnownCharacters) {
    const CodePage gbk;
    EXPECT_EQ(gbk.FromUtf8("中文"), std::string("\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(gbk.ToUtf8("\xD6\xD0\xCE\xC4"), "中文");
    EXPECT_EQ(gbk.FromUtf8("abc"), "abc");
}

TEST(CodePageTest, UnmappableAndInvalidInputIsReplacedNotDropped) {
    const CodePage gbk;
    EXPECT_EQ(gbk.FromUtf8("a😀b"), "a?b");
    EXPECT_EQ(gbk.ToUtf8(std::string("a\xFF"
                                     "b")),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(CodePageTest, UnknownCharsetIsReportedByName) {
    const CodePage bogus("NO-SUCH-CHARSET");
    try {
        bogus.FromUtf8("x");
        FAIL() << "expected an exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("NO-SUCH-CHARSET"), std::string::npos);
    }
}

}  // namespace
}  // namespace quillon::sys
