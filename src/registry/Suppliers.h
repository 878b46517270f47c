#pragma once
// The suppliers register (Fornitori), stored once for all condominiums, and its association with
// condominiums (fornitori_associazione): what TFormFornitore and TFormAssociafornitore write.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/RowStamp.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::registry {

// The thirteen boxes of the dialog.
struct SupplierInput {
    QString cognome;
    QString nome;
    QString mobile;
    QString telefono;
    QString fax;
    QString indirizzo;
    QString cap;
    QString citta;
    QString email;
    QString codiceFiscale;
    QString partitaIva;
    QString iban;
    QString note;
    // The supplier's row as the dialog read it: a modification is refused, nothing written, when
    // another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

// The stored supplier; nullopt when there is no such row.
std::optional<SupplierInput> readSupplier(app::Workspace& ws, qint64 id);

// "Conferma": without `id` a new supplier (associated with no condominium), with it that
// supplier changed, unless another desk changed or deleted it since `input.asRead` (a stale
// refusal, Outcome::stale). The supplier registers and the expenses are re-read. The outcome's key
// is the supplier's id.
app::Outcome saveSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input);
// The same write without reading the registers again: for a batch that writes many suppliers
// and refreshes the registers once at its end.
app::Outcome writeSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input);

// The display name of a supplier as the grids show it (Fornitore).
QString supplierDisplayName(app::Workspace& ws, qint64 id);

// The condominiums the association dialog lists, by name ascending.
QStringList associationCondominiums(app::Workspace& ws);

// ATTENZIONE: Il fornitore "<supplier>" e' già associato al condominio <condominium>
QString alreadyAssociatedMessage(const QString& supplier, const QString& condominium);

// Associates every supplier of `supplierIds` (in that order) with `condominium`; those already
// associated are skipped with one message each. All rows are written in one transaction; `written`
// (when given) counts them.
app::Outcome associateSuppliers(app::Workspace& ws, const QVector<qint64>& supplierIds, const QString& condominium,
                                int* written = nullptr);

} // namespace velcaris::registry
