#include "foundation/ColourText.h"

#include <gtest/gtest.h>

using namespace velcaris::app;

TEST(ColourText, ReadsNamesHexAndNumbersAndWritesNamesFirst)
{
    EXPECT_EQ(colourFromText("clAqua"), (Rgb{0, 255, 255}));
    EXPECT_EQ(colourFromText("clred"), (Rgb{255, 0, 0}));
    EXPECT_EQ(colourFromText("clMoneyGreen"), (Rgb{192, 220, 192}));
    EXPECT_EQ(colourFromText("$00FF8040"), (Rgb{0x40, 0x80, 0xFF}));
    EXPECT_EQ(colourFromText("255"), (Rgb{255, 0, 0}));
    EXPECT_FALSE(colourFromText("").has_value());
    EXPECT_FALSE(colourFromText("clNonEsiste").has_value());
    EXPECT_FALSE(colourFromText("$FF000000").has_value());

    EXPECT_EQ(colourToText({0, 255, 255}), "clAqua");
    EXPECT_EQ(colourToText({0x40, 0x80, 0xFF}), "$00FF8040");
    for (const char* text : {"clBlack", "clCream", "clSkyBlue", "$00123456"})
        EXPECT_EQ(colourToText(*colourFromText(text)), text);
}
