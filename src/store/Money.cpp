#include "store/Money.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace velcaris::store {

namespace {

constexpr std::int64_t kPow10[] = {1LL,
                                   10LL,
                                   100LL,
                                   1000LL,
                                   10000LL,
                                   100000LL,
                                   1000000LL,
                                   10000000LL,
                                   100000000LL,
                                   1000000000LL,
                                   10000000000LL,
                                   100000000000LL,
                                   1000000000000LL,
                                   10000000000000LL,
                                   100000000000000LL,
                                   1000000000000000LL,
                                   10000000000000000LL,
                                   100000000000000000LL,
                                   1000000000000000000LL};
constexpr int kMaxPow = 18;

// Half away from zero on a non-negative quotient.
std::int64_t divideRounded(std::int64_t n, std::int64_t divisor)
{
    const std::int64_t q = n / divisor;
    const std::int64_t r = n % divisor;
    return r >= divisor - r ? q + 1 : q;
}

QString formatScaled(std::int64_t scaled, int places)
{
    const bool negative = scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled)
                                             : static_cast<std::uint64_t>(scaled);
    const std::uint64_t unit = static_cast<std::uint64_t>(kPow10[places]);
    QString text = QString::number(magnitude / unit);
    if (places > 0)
        text += QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % unit, places, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace

std::int64_t roundScaled(double value, int places)
{
    if (!std::isfinite(value) || value == 0.0)
        return 0;
    // d.dddddddddddddde±x: 15 significant digits, the precision a double's decimal text holds.
    const QString text = QLocale::c().toString(std::fabs(value), 'e', 14);
    const int e = text.indexOf(QLatin1Char('e'));
    QString digits = text.left(e);
    digits.remove(QLatin1Char('.'));
    const std::int64_t mantissa = digits.toLongLong();
    const int exponent = text.mid(e + 1).toInt();
    // |value| = mantissa * 10^(exponent - 14); scaled = that * 10^places.
    const int shift = exponent - 14 + places;
    std::int64_t scaled;
    if (shift >= 0) {
        if (shift > 3) // beyond 10^18: no amount of the program comes near
            return value < 0 ? INT64_MIN : INT64_MAX;
        scaled = mantissa * kPow10[shift];
    } else if (-shift > kMaxPow) {
        scaled = 0;
    } else {
        scaled = divideRounded(mantissa, kPow10[-shift]);
    }
    return value < 0 ? -scaled : scaled;
}

Money Money::fromDouble(double value)
{
    return Money(roundScaled(value, 2));
}

std::optional<Money> Money::parse(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.size() > 15)
        return std::nullopt;
    std::int64_t cents = whole.toLongLong() * 100;
    const QString two = (fraction + QStringLiteral("00")).left(2);
    cents += two.toLongLong();
    if (fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5'))
        ++cents;
    return Money(m.captured(1) == QLatin1String("-") ? -cents : cents);
}

QString Money::toString() const
{
    return formatScaled(cents_, 2);
}

QString formatAmount(double value)
{
    return formatScaled(roundScaled(value, 2), 2);
}

QString formatThousandths(double value)
{
    return formatScaled(roundScaled(value, 3), 3);
}

QString italianForm(const QString& plain)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?)(\\d+)(?:\\.(\\d+))?$"));
    const QRegularExpressionMatch m = pattern.match(plain.trimmed());
    if (!m.hasMatch())
        return plain;
    QString whole = m.captured(2);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    const QString decimals = m.captured(3);
    return m.captured(1) + whole + (decimals.isEmpty() ? QString() : QLatin1Char(',') + decimals);
}

QString italianNumbersIn(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("(?<![\\d,])(?<!\\d\\.)\\d+\\.\\d+(?!\\d|\\.\\d)"));
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(from, m.capturedStart() - from);
        out += italianForm(m.captured());
        from = m.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out;
}

std::optional<double> parseNumber(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?$"));
    const QString t = text.trimmed();
    if (!pattern.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void useDotDecimalSeparator()
{
    QLocale dot(QLocale::C);
    dot.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    QLocale::setDefault(dot);
}

} // namespace velcaris::store
