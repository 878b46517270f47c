#pragma once
// The late interest of a reminder: on the amount still due of each instalment, from the day after
// its due date to the day of the letter, at the yearly rate the settings give (the legal rate of
// each year by default).
#include "foundation/Settings.h"
#include "documents/RecordSource.h"

#include <QDate>

namespace velcaris::documents {

// The tasso di interesse legale (art. 1284 c.c.) in force in `year`, in percent a year. The
// rate of 2026 is 1,60% (decreto MEF 10 dicembre 2025, G.U. n. 289 del 13 dicembre 2025;
// 2025 was 2%). Years after the last known decree keep its rate; add a line when a new decree
// is published.
double legalInterestPercent(int year);

// The days from `due` to `today` (0 when not late).
int daysLate(const QDate& due, const QDate& today);

// The interest on `amount` for the delay, rounded to the cent; 0 when not late, for no amount or
// when the rule computes none. The legal rate changes with the calendar year; each day counts a
// 365th (a 366th in a leap year) of its year's rate.
double lateInterest(double amount, const QDate& due, const QDate& today, const app::LateInterest& rule);

// The rows of a reminder with two computed fields beside their own: Giorni (the days late) and
// Interessi (the interest on ImportoDaPagare from DataScadenza to `today`).
class LateInterestSource : public RecordSource {
public:
    LateInterestSource(RecordSource& rows, const QDate& today, const app::LateInterest& rule)
        : rows_(rows), today_(today), rule_(rule)
    {
    }

    void first() override { rows_.first(); }
    void next() override { rows_.next(); }
    void prior() override { rows_.prior(); }
    void last() override { rows_.last(); }
    bool eof() const override { return rows_.eof(); }
    bool bof() const override { return rows_.bof(); }
    int recordCount() const override { return rows_.recordCount(); }
    bool hasField(const QString& name) const override;
    QVariant value(const QString& name) const override;
    int position() const override { return rows_.position(); }
    void moveTo(int row) override { rows_.moveTo(row); }

private:
    RecordSource& rows_;
    QDate today_;
    app::LateInterest rule_;
};

} // namespace velcaris::documents
