#pragma once
// Deleting an income movement: an opening amount alone, a transfer with its other half, a quota
// payment taking its amount back from the quotas it paid (and their web copies) and marking its
// receipt as cancelled. One transaction; the receipt file is renamed after the commit.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QString>

namespace velcaris::cashbook {

inline const QString kTransferPartnerMissing = QStringLiteral(
    "Il movimento non è stato cancellato: la riga accanto non è l'altra metà dello stesso passaggio "
    "tra cassa e conto corrente. Controllare i movimenti.");

// "ATTENZIONE: La quota che si sta andando a cancellare fa parte di un pagamento multiplo. ..."
QString multiplePaymentMessage(const QString& receipt, const QString& year);

app::Outcome deleteIncome(app::Workspace& ws, qint64 rowId);

} // namespace velcaris::cashbook
