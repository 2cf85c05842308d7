// The window carries the program's installed icon, built in from packaging/zembrel.svg.

#include "gui/app/ButtonIcons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(ProgramIcon, HoldsEveryInstalledSizeFromTheSmallestToTheLargest) {
    std::vector<int> sides;
    for (const QSize size : ProgramIcon().availableSizes()) {
        EXPECT_EQ(size.width(), size.height());
        sides.push_back(size.width());
    }
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, (std::vector<int>{16, 22, 24, 32, 48, 64, 128, 256}));
}
