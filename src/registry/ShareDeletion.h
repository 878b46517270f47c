#pragma once
// Deleting what the allocation stands on: a unit, a millesimal table, a quota name of the year.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QString>

namespace velcaris::registry {

inline const QString kUnitHasPayments = QStringLiteral(
    "Il locale non può essere eliminato perchè ha quote già pagate: annullare prima i pagamenti");

// "La quota "<name>" non può essere cancellata ..." (some of it is paid).
QString quotaNamePaidMessage(const QString& name);

// "Vuoi cancellare la quota "<name>"" and "L'eliminazione della tabella <name> comporterà ...".
QString deleteQuotaQuestion(const QString& name);
QString deleteTableQuestion(const QString& tableName);

// The unit, its thousandths and its quotas (with their web copies); refused when one of its
// quotas carries a payment.
app::Outcome deleteUnit(app::Workspace& ws, qint64 unitId);

// Every quota of that name in the current condominium's current year, and its web copies; refused
// when one of them carries a payment.
app::Outcome deleteQuotaName(app::Workspace& ws, const QString& name);

// The table of the current condominium, its thousandths and the expenses charged to it. The
// budget items charged to it stay (the question does not announce them).
app::Outcome deleteMillesimalTable(app::Workspace& ws, qint64 tableId);

} // namespace velcaris::registry
