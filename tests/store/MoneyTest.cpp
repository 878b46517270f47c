#include "store/Money.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace velcaris::store;

TEST(Money, FromDoubleRoundsTheDecimalTextHalfAwayFromZero)
{
    const struct {
        double value;
        std::int64_t cents;
    } cases[] = {
        {0.0, 0},       {2.675, 268},    {1.005, 101},     {0.285, 29},      {0.125, 13},
        {0.124, 12},    {0.115, 12},     {-0.285, -29},    {-1.005, -101},   {-0.004, 0},
        {-0.005, -1},   {10.0 / 3, 333}, {20.0 / 3, 667},  {0.1 + 0.2, 30},  {1234567.895, 123456790},
        {99.995, 10000}, {1e-9, 0},      {1.0 / 0.0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Money::fromDouble(c.value).cents(), c.cents) << "value " << c.value;
}

TEST(Money, ParseAcceptsPlainDecimalsOnly)
{
    const struct {
        const char* text;
        std::optional<std::int64_t> cents;
    } cases[] = {
        {"12", 1200},       {"12.5", 1250},     {"-3.40", -340},   {"1234.567", 123457},
        {"1234.565", 123457}, {"-1234.565", -123457}, {"0.004", 0}, {".5", 50},
        {"7.", 700},        {"+7", 700},        {" 8.10 ", 810},   {"007.05", 705},
        {"0.999", 100},     {"", std::nullopt}, {".", std::nullopt}, {"-", std::nullopt},
        {"12,5", std::nullopt}, {"1.234,50", std::nullopt}, {"1,234.50", std::nullopt},
        {"abc", std::nullopt}, {"12a", std::nullopt}, {"1e3", std::nullopt},
        {"1.2.3", std::nullopt}, {"- 5", std::nullopt}, {"1234567890123456", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<Money> m = Money::parse(QString::fromLatin1(c.text));
        ASSERT_EQ(m.has_value(), c.cents.has_value()) << "text '" << c.text << "'";
        if (m)
            EXPECT_EQ(m->cents(), *c.cents) << "text '" << c.text << "'";
    }
}

TEST(Money, TextArithmeticAndComparison)
{
    EXPECT_EQ(Money().toString(), "0.00");
    EXPECT_EQ(Money::fromCents(5).toString(), "0.05");
    EXPECT_EQ(Money::fromCents(-5).toString(), "-0.05");
    EXPECT_EQ(Money::fromCents(-340).toString(), "-3.40");
    EXPECT_EQ(Money::fromCents(123456789).toString(), "1234567.89");

    const Money a = *Money::parse("10.10");
    const Money b = *Money::parse("0.20");
    EXPECT_EQ((a + b).toString(), "10.30");
    EXPECT_EQ((b - a).toString(), "-9.90");
    EXPECT_EQ((-a).cents(), -1010);
    EXPECT_LT(b, a);
    EXPECT_GT(a, b - a);
    EXPECT_EQ(a + b - b, a);
    EXPECT_NE(a, b);
    EXPECT_DOUBLE_EQ((a + b).toDouble(), 10.3);
    // Summing many cents stays exact where summing doubles drifts.
    Money total;
    for (int i = 0; i < 1000; ++i)
        total += Money::fromDouble(0.1);
    EXPECT_EQ(total.toString(), "100.00");
}

TEST(Money, FormatAmountAndThousandths)
{
    EXPECT_EQ(formatAmount(0), "0.00");
    EXPECT_EQ(formatAmount(1234.5), "1234.50");
    EXPECT_EQ(formatAmount(2.675), "2.68");
    EXPECT_EQ(formatAmount(-2.675), "-2.68");
    EXPECT_EQ(formatAmount(-0.001), "0.00");
    EXPECT_EQ(formatAmount(1000000), "1000000.00");
    EXPECT_EQ(formatThousandths(1000.0 / 3), "333.333");
    EXPECT_EQ(formatThousandths(2000.0 / 3), "666.667");
    EXPECT_EQ(formatThousandths(0.0005), "0.001");
    EXPECT_EQ(formatThousandths(-12.3456), "-12.346");
    EXPECT_EQ(formatThousandths(1000), "1000.000");
}

TEST(Money, ParseNumberUsesOnlyTheFullStop)
{
    EXPECT_EQ(parseNumber("2.5"), 2.5);
    EXPECT_EQ(parseNumber("-0.125"), -0.125);
    EXPECT_EQ(parseNumber(" 3 "), 3.0);
    EXPECT_EQ(parseNumber("1e2"), 100.0);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_FALSE(parseNumber("2,5"));
    EXPECT_FALSE(parseNumber("1,000"));
    EXPECT_FALSE(parseNumber("1.000,5"));
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("inf"));
    EXPECT_FALSE(parseNumber("nan"));
    EXPECT_FALSE(parseNumber("0x10"));
    EXPECT_FALSE(parseNumber("1e999"));
}

TEST(Money, ItalianDefaultLocaleDoesNotChangeTheTexts)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    EXPECT_EQ(formatAmount(1234.5), "1234.50");
    EXPECT_EQ(formatThousandths(1.5), "1.500");
    EXPECT_EQ(Money::fromDouble(-3.4).toString(), "-3.40");
    EXPECT_EQ(parseNumber("1.5"), 1.5);
    EXPECT_FALSE(parseNumber("1,5"));
    EXPECT_EQ(Money::parse("1.5")->cents(), 150);

    useDotDecimalSeparator();
    EXPECT_EQ(QLocale().decimalPoint(), ".");
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), "1234.50");
    bool ok = false;
    EXPECT_EQ(QLocale().toDouble(QStringLiteral("2.25"), &ok), 2.25);
    EXPECT_TRUE(ok);
    QLocale().toDouble(QStringLiteral("1,234"), &ok);
    EXPECT_FALSE(ok);
    QLocale::setDefault(saved);
}
