#pragma once
// One invoice charged to several budget items by percentages: the items the split offers, the
// check of the percentages, and the shares of an amount that add up to it to the cent.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/Money.h"

#include <QString>
#include <QVector>

namespace velcaris::cashbook {

// One line of the split: the budget item and the percentage typed beside it (empty: the item is
// not concerned).
struct SplitLine {
    QString descrizione; // DescrizioneVoceSpesa
    QString tabella;
    QString percentuale;
};

inline const QString kSplitSumMessage = QStringLiteral("La somma delle percentuali deve essere pari a 100");

// The budget items of the condominium's current year, by table and then by key, percentages empty.
QVector<SplitLine> splitLines(app::Workspace& ws, const QString& condominium);

// Accepted when every non-empty percentage is a number and they add up to exactly 100 (read to
// the millionth, so that 33.33 + 33.33 + 33.34 is 100 and 50 + 49.99 is not). Negative
// percentages and percentages above 100 are accepted.
app::Outcome checkSplit(const QVector<SplitLine>& lines);

// The lines with a percentage, in order.
QVector<SplitLine> concernedLines(const QVector<SplitLine>& lines);

// `whole` divided by `percentages` (each rounded to the cent, half away from zero), the last
// share whose percentage is not 0 taking what is left, so that the shares always add up to `whole`.
QVector<store::Money> splitShares(store::Money whole, const QVector<double>& percentages);

} // namespace velcaris::cashbook
