#pragma once
// Deleting persons and suppliers, and removing a supplier from a condominium. Anyone still bound
// to a unit, an association or an expense stays.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QVector>

namespace velcaris::registry {

inline const QString kSupplierHasExpenses =
    QStringLiteral("Non è possibile cancellare il fornitore perchè è presente nella lista delle uscite");
inline const QString kSupplierAssociated =
    QStringLiteral("Non è possibile cancellare il fornitore perchè è associato al condominio");

// "La persona "<Cognome> <Nome>" non può essere eliminata poichè ha un'associazione con uno o più locali"
QString personBoundToUnitMessage(const QString& surname, const QString& firstName);

// Deletes the persons (Anagrafe Id) and their web logins; refused, nothing deleted, when one of
// them owns or rents a unit.
app::Outcome deletePersons(app::Workspace& ws, const QVector<qint64>& ids);

// Removes the association of the supplier with the current condominium; refused when the
// condominium's current year has expenses of that supplier.
app::Outcome removeSupplierFromCondominium(app::Workspace& ws, qint64 supplierId);

// Deletes the suppliers; refused, nothing deleted, when one is associated with a condominium or
// has any expense.
app::Outcome deleteSuppliers(app::Workspace& ws, const QVector<qint64>& ids);

} // namespace velcaris::registry
