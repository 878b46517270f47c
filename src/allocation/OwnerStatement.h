#pragma once
// The statement of one person of the condominium: the quotas of the current year on the units
// the person owns (or rents), one row per name, type, due date and payable flag; the flip of the
// payable flag of the quotas behind a row; and what "OK" does with the rows selected.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "foundation/PaymentDraft.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::allocation {

inline const QString kNonPayableMessage =
    QStringLiteral("Una o più quote risultano \"Non pagabili\". Queste quote non saranno incluse nel pagamento.");

struct StatementSubject {
    bool owner = false;  // the owner's statement; the tenant's otherwise
    qint64 personId = 0; // idProprietario or idInquilino of the unit
};

// Someone whose statement can be asked for by name: an owner or a tenant of the condominium's
// units, once per role.
struct StatementPayer {
    StatementSubject subject;
    QString name;      // the display name
    QStringList units; // the units held in that role, in the order of their keys
    // "Rossi Mario (proprietario: Int. 1, Box 1)"
    QString caption() const;
};

// The owners and the tenants of the condominium's units, by name (an owner before the same
// person as a tenant); a tenant of exactly the units he owns only as their owner.
QVector<StatementPayer> statementPayers(app::Workspace& ws, const QString& condominium);

// The subject chosen by the last click on the unit view's person columns: the owner only when
// that was "Proprietario".
bool statementForOwner(const QString& statementSubject);

// The statement's query with the condominium and the person as bound values. Columns:
// IdCondominio, IdProprietario, IdInquilino, NomeQuote, Importo, ImportoPagato, ImportoDaPagare,
// Tipologia, DataScadenza, PagabiliSiNo; ordered by due date.
struct StatementQuery {
    QString sql;
    QVector<QVariant> params;
};
StatementQuery statementQuery(const QString& condominium, const StatementSubject& subject);

// A statement row whose payable flag is flipped: the quotas behind it are those of the name,
// type, due date and flag on the person's units in the current year.
struct PayableFlipInput {
    StatementSubject subject;
    QString quotaName;
    QVariant type;
    QVariant dueDate;
    QVariant payable;
};
// Flips each of those quotas; newKey holds how many were flipped.
app::Outcome flipPayable(app::Workspace& ws, const PayableFlipInput& input);

// "OK" over the rows selected, in selection order: whether the non-payable message is shown
// (once), and whether the payment dialog opens (not when the one row selected is not payable).
struct PaymentStep {
    bool warnNonPayable = false;
    bool openPayment = false;
};
PaymentStep paymentStep(const QVector<app::PaymentLine>& selected);

} // namespace velcaris::allocation
