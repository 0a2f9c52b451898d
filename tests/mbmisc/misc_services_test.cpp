#include "mbmisc/misc_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(MiscTtof, ReadsNumbersLikeTheCLibrary) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"12.5", 12.5}, {"  -3", -3.0}, {"+7e2", 700.0},    {"1,5", 1.0},
                          {"abc", 0.0},   {"", 0.0},      {".25", 0.25},      {"42abc", 42.0},
                          {"\t\n8", 8.0}, {"1e", 1.0},    {"-0.5e-1", -0.05}, {"１２", 0.0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(MbMisc::ttof(c.text), c.value) << c.text;
    EXPECT_EQ(MbMisc::ttof(nullptr), 0.0);
    EXPECT_TRUE(std::isinf(MbMisc::ttof("1e999")));
    EXPECT_LT(MbMisc::ttof("-1e999"), 0.0);
    EXPECT_EQ(MbMisc::ttof("1e-999"), 0.0);
}

TEST(MiscChecks, MachineChecksPass) {
    EXPECT_NE(MbMisc::CheckMMX(), 0);
    EXPECT_EQ(MbMisc::CheckOS(), MbMisc::CheckOS());
}

TEST(MiscSmallNumber, ColoursAreKeptAndCopied) {
    MbMisc::CDrawSmallNumber n;
    EXPECT_EQ(n.GetDigitColor(), 0u);
    n.SetColor(0xFFFFFF, 0x000000);
    EXPECT_EQ(n.GetDigitColor(), 0xFFFFFFu);
    EXPECT_EQ(n.GetSecondColor(), 0u);
    MbMisc::CDrawSmallNumber copy = n;
    n.SetColor(1, 2);
    EXPECT_EQ(copy.GetDigitColor(), 0xFFFFFFu);
    copy = n;
    EXPECT_EQ(copy.GetSecondColor(), 2u);
}

TEST(MiscSmallNumber, WidthCountsNarrowOnes) {
    struct Case {
        int number, width;
    };
    const Case cases[] = {{0, 6}, {1, 5}, {11, 9}, {10, 10}, {1234, 20}, {-1, 10}, {100, 15}};
    for (const Case& c : cases)
        EXPECT_EQ(MbMisc::CDrawSmallNumber::NumberWidth(c.number), c.width) << c.number;
}

}  // namespace
