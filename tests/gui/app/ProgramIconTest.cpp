// The window carries the program's installed icon, built in from packaging/zembrel.svg.

#include "gui/app/ButtonIcons.h"

#include <gtest/gtest.h>

TEST(ProgramIcon, HoldsEveryInstalledSizeFromTheSmallestToTheLargest) {
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    for (int side : {16, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    }
}
