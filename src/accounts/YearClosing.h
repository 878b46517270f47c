#pragma once
// "Chiudi esercizio" and "Riapri esercizio". Closing a year writes into the condominium's next
// year each unit's conguaglio as a quota "Conguaglio <year>" and the year's closing cash and bank
// balances as that year's opening amounts, all in one transaction across both databases.
//
// Where a conguaglio goes: one quota per unit whose conguaglio is not zero (negative when it is a
// credit), of type "Spese ordinarie" (the conguaglio settles the year's accounts that the
// ordinary meeting approves; it is not a new extraordinary charge), nothing paid, due on the date
// chosen, with its web copy where the allocation writes one (allocation/QuotaPublishing.h). The
// balances go in as "Importo iniziale" rows, cash and bank apart, on the next year's first day.
//
// The closed year is recorded in a table of its own (ChiusureEsercizio, with ChiusureRighe: every
// row written), not in the year's "Bilanci approvati" flag: that flag is the administrator's to
// tick and untick in the year's dialog, and only a record of the rows written lets reopening remove
// exactly them. A year is closed once: a second closing is refused until it is reopened.
#include "accounts/AccountingYear.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <optional>

namespace velcaris::accounts {

inline const QString kConguaglioQuotaType = QStringLiteral("Spese ordinarie");

struct YearChoice {
    QString condominium;
    QString year; // its name
};

struct ClosingInput {
    QString condominium;
    QString year;
    QDate due; // of the conguaglio quotas
};

struct ClosingRecord {
    qint64 id = 0;
    qint64 nextYearId = 0;
    QDate day;
    QDate due;
};

// The closing of the year, when it is closed.
std::optional<ClosingRecord> closingOf(store::Database& db, const AccountingYear& year);

// Refused, with nothing written, when the year is unknown, already closed, has no next year (the
// message asks to create it first), its next year is closed already, the due date is missing,
// the next year already has this year's conguaglio quotas or an opening amount, or some of the
// year's expenses cannot be shared (the riparto's notes say which). The outcome's key is the
// closing's record; its message tells what was written.
app::Outcome closeYear(app::Workspace& ws, const ClosingInput& input);

// Removes every row the closing wrote and its record, in one transaction. Refused when the year
// is not closed, when the next year has been closed since (reopen that first), or when a
// conguaglio quota has received a payment.
app::Outcome reopenYear(app::Workspace& ws, const YearChoice& input);

} // namespace velcaris::accounts
