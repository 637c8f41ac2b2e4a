// The model's file filter as the open-file dialog takes it.
#include <gtest/gtest.h>

#include "frontends/win32/Win32Host.hpp"

namespace quillon::win32 {
namespace {

TEST(NativeFileFilterTest, SeparatorsBecomeZerosAndTheListEndsInTwo) {
    using namespace std::string_literals;
    EXPECT_EQ(NativeFileFilter("固件文件|*.bin;*.hex||"), L"固件文件\0*.bin;*.hex\0\0"s);
    EXPECT_EQ(NativeFileFilter("A|*.a|B|*.b"), L"A\0*.a\0B\0*.b\0\0"s);
}

}  // namespace
}  // namespace quillon::win32
