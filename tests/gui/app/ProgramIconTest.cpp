// The window carries the program's installed icon, built in from packaging/zembrel.svg.

#include "gui/app/ButtonIcons.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ProgramIcon, HoldsEveryInstalledSizeFromTheSmallestToTheLargest) {
    QList<QSize> sizes = ProgramIcon().availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    QList<QSize> installed;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        installed.append(QSize(side, side));
    }
    EXPECT_EQ(sizes, installed);
}
