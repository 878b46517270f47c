// Row colours of the registers, decided from the rows' values.
#include "window/RowColours.h"

#include <gtest/gtest.h>

using namespace velcaris;
using app::Rgb;

TEST(RowColours, SpecialIncomeMovementsStandOutFromPayments)
{
    const Rgb yellow{255, 255, 128}, green{192, 220, 192};
    for (const char* kind : {"Passaggio su C.C.", "Passaggio su Cassa", "Importo iniziale"})
        EXPECT_EQ(app::incomeRowColour(kind), yellow) << kind;
    for (const char* kind : {"Entrata", "", "passaggio su c.c.", "Importo iniziale "})
        EXPECT_EQ(app::incomeRowColour(kind), green) << kind;
    EXPECT_EQ(app::expenseRowColour(), (Rgb{255, 191, 191}));
}

TEST(RowColours, ATableTakesItsColourOnceItHasAName)
{
    EXPECT_EQ(app::tableRowColour("Scale", "clRed"), std::optional<Rgb>(Rgb{255, 0, 0}));
    EXPECT_EQ(app::tableRowColour("Scale", "$0000FF00"), std::optional<Rgb>(Rgb{0, 255, 0}));
    EXPECT_FALSE(app::tableRowColour("", "clRed").has_value());
    EXPECT_FALSE(app::tableRowColour("Scale", "rosso").has_value());
    EXPECT_FALSE(app::tableRowColour("Scale", "").has_value());
}
