#include <gtest/gtest.h>

#include "frontends/qt/FileFilter.hpp"

namespace quillon::gui {
namespace {

TEST(FileFilterTest, ModelFiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("Files (*.bin,*.dat)|*.bin;*.dat||"),
              QStringList{"Files (*.bin,*.dat) (*.bin *.dat)"});
    EXPECT_EQ(QtNameFilters("固件|*.bin|全部文件|*.*||"),
              (QStringList{"固件 (*.bin)", "全部文件 (*.*)"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
    EXPECT_TRUE(QtNameFilters("Unpaired").isEmpty());
}

}  // namespace
}  // namespace quillon::gui
