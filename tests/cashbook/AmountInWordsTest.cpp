#include "cashbook/AmountInWords.h"

#include <gtest/gtest.h>
#include <stdexcept>

using velcaris::cashbook::ImportoInLettere;
using velcaris::cashbook::receiptTotalInWords;

TEST(ImportoInLettere, EveryRangeAndItsBoundaries)
{
    struct Case {
        qint64 units;
        const char* words;
    } cases[] = {
        {0, ""}, {1, "uno"}, {8, "otto"}, {17, "diciassette"}, {20, "venti"},
        {21, "ventuno"}, {28, "ventotto"}, {30, "trenta"}, {33, "trentatre"}, {81, "ottantuno"},
        {88, "ottantotto"}, {99, "novantanove"},
        {100, "cento"}, {101, "centouno"}, {108, "centootto"}, {181, "centoottantuno"},
        {999, "novecentonovantanove"},
        {1000, "mille"}, {1001, "milleuno"}, {1235, "milleduecentotrentacinque"},
        {1999, "millenovecentonovantanove"},
        {2000, "duemila"}, {21000, "ventunomila"}, {101000, "centounomila"},
        {999999, "novecentonovantanovemilanovecentonovantanove"},
        {1000000, "unmilione"}, {1999999, "unmilionenovecentonovantanovemilanovecentonovantanove"},
        {2000000, "duemilioni"}, {2500000, "duemilionicinquecentomila"},
        {999999999, "novecentonovantanovemilioninovecentonovantanovemilanovecentonovantanove"},
        {1000000000, "unmiliardo"}, {1999999999, "unmiliardonovecentonovantanovemilioninovecentonovantanovemilanovecentonovantanove"},
        {2000000000, "duemiliardi"}, {2099999999, "duemiliardinovantanovemilioninovecentonovantanovemilanovecentonovantanove"},
        {2100000000, ""}, {5000000000LL, ""}, {-1, ""}, {-1235, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportoInLettere(c.units * 10000), QString::fromLatin1(c.words)) << c.units;
}

TEST(ImportoInLettere, OnlyTheWholePartIsSpelled)
{
    EXPECT_EQ(ImportoInLettere(12354500), QStringLiteral("milleduecentotrentacinque")); // 1235.45
    EXPECT_EQ(ImportoInLettere(9999), QString());                                      // 0.9999
    EXPECT_EQ(ImportoInLettere(-9999), QString());                                     // truncated to 0
    EXPECT_EQ(ImportoInLettere(20999999999999LL), QStringLiteral("duemiliardinovantanovemilioninovecentonovantanovemilanovecentonovantanove"));
}

TEST(ReceiptTotalInWords, WordsSlashAndCents)
{
    struct Case {
        const char* total;
        const char* lettere;
    } cases[] = {
        {"1235.45", "milleduecentotrentacinque/45"},
        {"0.00", "/00"},
        {"0.99", "/99"},
        {"21.10", "ventuno/10"},
        {"1000", "mille/00"},
        {"2100000000.00", "/00"},
        {"0.995", "/95"}, // the last two characters, as the text holds them
    };
    for (const Case& c : cases)
        EXPECT_EQ(receiptTotalInWords(QString::fromLatin1(c.total)), QString::fromLatin1(c.lettere)) << c.total;
    EXPECT_THROW(receiptTotalInWords(QStringLiteral("12,50")), std::invalid_argument);
    EXPECT_THROW(receiptTotalInWords(QString()), std::invalid_argument);
}
