#pragma once
// A payment of quotas: one income row per paid quota, all under one receipt number, each amount
// spread over the payer's units that carry a quota of that name in the current year, and the
// owners' web copy of those quotas kept in step, the receipt number recorded as given. Everything
// in one transaction.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::cashbook {

// One line of the payment grid.
struct PaymentRow {
    QString quotaName; // column "Quota"
    QString amount;    // column "Importo", as typed
    QString type;      // column "Tipologia"
    QString note;      // column "Nota"
};

struct PaymentInput {
    QString condominium;
    int receiptNumber = 1;
    QDate date;
    QString method;         // "Cassa" or "Conto Corrente"
    bool ownerPays = false; // the payer is the units' owner, otherwise their tenant
    qint64 payerId = 0;
    QVector<PaymentRow> rows;
};

// An amount typed in the grid: a number with "." as decimal separator and at most two decimals.
std::optional<store::Money> paymentAmount(const QString& text);

// The total of the grid's amounts; the first row whose amount is refused is told in Italian.
struct PaymentTotal {
    store::Money total;
    QString problem; // empty when every amount is valid
};
PaymentTotal paymentTotal(const QVector<PaymentRow>& rows);

// Refuses, before anything is written, an empty grid and an amount that is not a positive
// number of cents; otherwise writes the income rows and the quotas of both databases in one
// transaction. A failure of the store rolls everything back and is told; the new income rows'
// ids come back in the outcome's newKey (the first one).
// The receipt number is the one proposed, or, when another desk has used it since it was
// proposed, the next free one (the outcome then says so): the number written is put in
// *receiptNumber. Payments of several desks that collide (the same receipt number, the same
// quota) are run again until each lands whole, so no number is given twice nor skipped.
app::Outcome recordPayment(app::Workspace& ws, const PaymentInput& input, int* receiptNumber = nullptr);

// The refusal texts, shared with the dialog.
QString emptyPaymentText();

} // namespace velcaris::cashbook
