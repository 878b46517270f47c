#pragma once
// "Come è calcolata la tua quota": for an owner, every unit and instalment of the current year
// with the reasons of its amount, as a one-page document from the shipped template, for one owner
// or for every owner of the condominium.
#include "allocation/QuotaBreakdown.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "documents/RtfReport.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::allocation {

inline const QString kExplanationTemplate = QStringLiteral("Come è calcolata la tua quota");

// The quotas of one unit that share one computation ("Int. 1" - "Rata 1, Rata 2"), and its reasons.
struct ExplanationSection {
    QString unit;
    QStringList quotas;
    QStringList lines;
};

// The sections of an owner's quotas in the condominium's year, unit by unit.
QVector<ExplanationSection> ownerExplanation(store::Database& db, const QString& condominium, const QString& year,
                                             qint64 ownerId, NumberStyle style = NumberStyle::Program);

struct ExplanationRun {
    app::Outcome outcome;
    QStringList written; // the documents written, in order (they stay also after a failure)
};

// One document per owner of `owners` (all the condominium's owners when empty), for the current
// condominium's current year. The first failure ends the run, naming the owner and the template.
ExplanationRun produceExplanations(app::Workspace& ws, documents::TRtfReport& report, const QVector<qint64>& owners,
                                   const QDate& today);

// "<Output>/<condominium>/Come è calcolata la tua quota - <owner> - A.A.<year>.rtf"
QString explanationPath(const app::Workspace& ws, const QString& owner, const QString& year);

} // namespace velcaris::allocation
