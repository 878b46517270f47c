#pragma once
// Deleting an income movement: an opening amount alone, a transfer with its other half, a quota
// payment taking its amount back from the quotas it paid (and their web copies) and marking its
// receipt as cancelled. One transaction; the receipt file is renamed after the commit.
#include "app/Outcome.h"
#include "app/Workspace.h"

#include <QString>

namespace velcaris::cashbook {

inline const QString kTransferPartnerMissing = QStringLiteral(
    "Il movimento non è stato cancellato: la riga accanto non è l'altra metà dello stesso passaggio "
    "tra cassa e conto corrente. Controllare i movimenti.");

// "ATTENZIONE: La quota che si sta andando a cancellare fa parte di un pagamento multiplo. ..."
QString multiplePaymentMessage(const QString& receipt, const QString& year);

// The receipt file of a receipt number and year of a condominium.
QString receiptFile(const app::Workspace& ws, const QString& condominium, const QString& receipt,
                    const QString& year);

// The other half of a transfer: the row at the neighbouring key when it really is (same
// condominium, same transfer type, opposite amount, the other method); 0 otherwise.
qint64 transferPartner(store::Database& db, qint64 rowId);

app::Outcome deleteIncome(app::Workspace& ws, qint64 rowId);

} // namespace velcaris::cashbook
