#pragma once
// "Estratto conguaglio": for each owner, a letter with the year's figures of their units (share of
// the riparto consuntivo, quotas charged, paid, conguaglio, arrears) and their total conguaglio,
// to pay by the due date the closing set or to be credited; merged from the shipped template
// "Estratto conguaglio.rtf" into the condominium's folder, one document per owner. The tenant's
// side is left out: the conguaglio is settled with the owner. Units without an owner get no letter.
#include "accounts/AccountingYear.h"
#include "accounts/UnitStatement.h"
#include "accounts/YearClosing.h"
#include "documents/DocumentBatch.h"
#include "documents/RecordSource.h"
#include "documents/RtfReport.h"
#include "foundation/Workspace.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::accounts {

inline const QString kConguaglioTemplate = QStringLiteral("Estratto conguaglio");

// The units of one owner, with their sums.
struct OwnerConguaglio {
    qint64 ownerId = 0;
    QString owner;
    QVector<UnitStatementLine> units; // in the statement's order
    store::Money share;
    store::Money charged;
    store::Money carried;
    store::Money paid;
    store::Money conguaglio;
    store::Money arrears;
};

// The owners of the statement's units in the order of their first unit; units without an owner
// are left out.
QVector<OwnerConguaglio> ownerConguagli(const UnitStatement& statement);

// "da versare entro <due>" (the closing's due date; without a closing, "da versare alla scadenza
// fissata con la chiusura dell'esercizio"), "a credito", or "in pari".
QString conguaglioOutcomeText(store::Money conguaglio, const std::optional<ClosingRecord>& closing);

// The variables, beside the common ones (documents/LetterVariables.h): anno, inizio, fine,
// persona, indirizzo, cap, città, quota_riportata, tot_quota, tot_addebitato, tot_riportato,
// tot_versato, tot_conguaglio (signed), importo_conguaglio (without sign), esito_conguaglio
// (conguaglioOutcomeText), tot_morosita.
QStringList conguaglioVariableNames();
void addConguaglioVariables(app::Workspace& ws, documents::TRtfReport& report, const AccountingYear& year,
                            const QString& carriedQuotaName, const OwnerConguaglio& owner,
                            const std::optional<ClosingRecord>& closing, const QDate& today);

// The rows the template scans as A: Locale, Quota, Addebitato, Riportato, Versato, Conguaglio,
// Morosita; at its first row.
void fillConguaglioSource(documents::MemoryRecordSource& source, const OwnerConguaglio& owner);

// "<Output>/<condominium>/Estratto conguaglio <year> - <owner>.rtf" for the current condominium;
// with "<owner> (<ownerId>)" when an id is given (two owners whose names make the same file name).
QString conguaglioDocumentPath(const app::Workspace& ws, const QString& yearName, const QString& owner,
                               qint64 ownerId = 0);

// One document per owner of `owners` (every owner of the statement when empty), in the
// statement's order; an earlier document of the same owner and year is replaced. Refused without
// a current condominium or when none of `owners` has a unit; the first failure ends the run,
// naming the owner and the template, and the documents written before it stay.
documents::DocumentBatch produceConguagli(app::Workspace& ws, documents::TRtfReport& report, const AccountingYear& year,
                                          const UnitStatement& statement, const QVector<qint64>& owners,
                                          const QDate& today);

} // namespace velcaris::accounts
