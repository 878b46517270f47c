#pragma once
// The suppliers register (Fornitori), stored once for all condominiums, and its association with
// condominiums (fornitori_associazione): what TFormFornitore and TFormAssociafornitore write.
#include "app/Workspace.h"

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
};

struct SupplierOutcome {
    bool done = false;
    QStringList messages;
    qint64 id = -1;
};

struct AssociationOutcome {
    bool done = false;
    int written = 0;
    QStringList messages;  // one per supplier already associated, or the engine's text
};

// The stored supplier; nullopt when there is no such row.
std::optional<SupplierInput> readSupplier(app::Workspace& ws, qint64 id);

// "Conferma": without `id` a new supplier (associated with no condominium), with it that
// supplier changed. The supplier registers and the expenses are re-read.
SupplierOutcome saveSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input);

// The display name of a supplier as the grids show it (Fornitore).
QString supplierDisplayName(app::Workspace& ws, qint64 id);

// The condominiums the association dialog lists, by name ascending.
QStringList associationCondominiums(app::Workspace& ws);

// ATTENZIONE: Il fornitore "<supplier>" e' già associato al condominio <condominium>
QString alreadyAssociatedMessage(const QString& supplier, const QString& condominium);

// Associates every supplier of `supplierIds` (in that order) with `condominium`; those already
// associated are skipped with one message each. All rows are written in one transaction.
AssociationOutcome associateSuppliers(app::Workspace& ws, const QVector<qint64>& supplierIds,
                                      const QString& condominium);

} // namespace velcaris::registry
