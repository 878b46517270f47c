#pragma once
// Amounts of money in whole cents, and the program's number texts: "." as the decimal separator,
// no thousands separator, rounding half away from zero.
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace velcaris::store {

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromCents(std::int64_t cents) { return Money(cents); }
    // Rounds the value as its decimal text reads (15 significant digits), half away from zero:
    // 2.675 -> 2.68, 1.005 -> 1.01, -0.285 -> -0.29. Not-a-number and infinities give zero.
    static Money fromDouble(double value);
    // "12", "12.5", "-3.40", "+7", ".5", "1234.567" (rounded to cents); blanks around are allowed.
    // Commas, exponents, thousands separators and anything else are refused.
    static std::optional<Money> parse(const QString& text);

    constexpr std::int64_t cents() const { return cents_; }
    double toDouble() const { return static_cast<double>(cents_) / 100.0; }
    QString toString() const; // "-3.40", "0.00", "1234.57"
    constexpr bool isZero() const { return cents_ == 0; }

    constexpr Money operator-() const { return Money(-cents_); }
    constexpr Money& operator+=(Money o) { cents_ += o.cents_; return *this; }
    constexpr Money& operator-=(Money o) { cents_ -= o.cents_; return *this; }
    friend constexpr Money operator+(Money a, Money b) { return a += b; }
    friend constexpr Money operator-(Money a, Money b) { return a -= b; }
    friend constexpr auto operator<=>(Money, Money) = default;
    friend constexpr bool operator==(Money, Money) = default;

private:
    constexpr explicit Money(std::int64_t cents) : cents_(cents) {}
    std::int64_t cents_ = 0;
};

// The value rounded half away from zero to `places` decimals and scaled by 10^places
// (roundScaled(2.675, 2) == 268), reading the double as its 15-significant-digit text.
std::int64_t roundScaled(double value, int places);

QString formatAmount(double value);      // "1234.50": two decimals, half away from zero
QString formatThousandths(double value); // "333.333": three decimals, half away from zero
// A number written as the program writes it ("-1234.50", "1000.000") in the Italian form a
// reader expects in a letter: "." between the thousands and "," before the decimals
// ("-1.234,50", "1.000,000"). Text that is not such a number comes back as it is.
QString italianForm(const QString& plain);
// Every number with decimals written the program's way inside a sentence ("1000.000 millesimi",
// "margine +12.50") in the Italian form; whole numbers, dates ("15.06.2024") and the rest of
// the text stay as they are.
QString italianNumbersIn(const QString& text);

// A number written with "." as the only decimal separator, whatever the locale: optional sign,
// digits with an optional fraction, optional exponent; blanks around are allowed.
std::optional<double> parseNumber(const QString& text);

// Makes "." the decimal separator of every locale-aware conversion of the run. Dates are always
// written with explicit dd/MM/yyyy formats, so they are not affected.
void useDotDecimalSeparator();

} // namespace velcaris::store
