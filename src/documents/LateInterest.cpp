#include "documents/LateInterest.h"

#include <cmath>

namespace velcaris::documents {

namespace {

// The decrees of the Ministry of Economy and Finance, each in force from 1 January.
struct LegalRate {
    int year;
    double percent;
};
constexpr LegalRate kLegalRates[] = {
    {2019, 0.8}, {2020, 0.05}, {2021, 0.01}, {2022, 1.25}, {2023, 5.0}, {2024, 2.5}, {2025, 2.0}, {2026, 1.6},
};

double cents(double x)
{
    return std::round(x * 100.0) / 100.0;
}

QDate dateOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString t = v.toString().left(10);
    const QDate iso = QDate::fromString(t, Qt::ISODate);
    return iso.isValid() ? iso : QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
}

} // namespace

double legalInterestPercent(int year)
{
    double percent = kLegalRates[0].percent;
    for (const LegalRate& r : kLegalRates)
        if (r.year <= year)
            percent = r.percent;
    return percent;
}

int daysLate(const QDate& due, const QDate& today)
{
    if (!due.isValid() || !today.isValid())
        return 0;
    return int(std::max<qint64>(0, due.daysTo(today)));
}

double lateInterest(double amount, const QDate& due, const QDate& today, const app::LateInterest& rule)
{
    if (!rule.enabled || amount <= 0 || daysLate(due, today) == 0)
        return 0;
    double interest = 0;
    // Year by year, so that each part of the delay takes its own year's rate and length.
    QDate from = due; // interest runs from the day after `from`
    while (from < today) {
        // The days after `from` up to the end of the year they fall in.
        QDate yearEnd(from.year(), 12, 31);
        if (from == yearEnd)
            yearEnd = QDate(from.year() + 1, 12, 31);
        const QDate to = std::min(today, yearEnd);
        const double days = double(from.daysTo(to));
        const double percent = rule.legal ? legalInterestPercent(to.year()) : rule.ratePercent;
        interest += amount * percent / 100.0 * days / double(to.daysInYear());
        from = to;
    }
    return cents(interest);
}

bool LateInterestSource::hasField(const QString& name) const
{
    return name.compare(QLatin1String("Giorni"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("Interessi"), Qt::CaseInsensitive) == 0 || rows_.hasField(name);
}

QVariant LateInterestSource::value(const QString& name) const
{
    const bool days = name.compare(QLatin1String("Giorni"), Qt::CaseInsensitive) == 0;
    const bool interest = name.compare(QLatin1String("Interessi"), Qt::CaseInsensitive) == 0;
    if (!days && !interest)
        return rows_.value(name);
    if (rows_.eof() || rows_.bof())
        return {};
    const QDate due = dateOf(rows_.value(QStringLiteral("DataScadenza")));
    if (days)
        return daysLate(due, today_);
    return lateInterest(rows_.value(QStringLiteral("ImportoDaPagare")).toDouble(), due, today_, rule_);
}

} // namespace velcaris::documents
