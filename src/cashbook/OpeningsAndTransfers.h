#pragma once
// Income that no owner pays: the opening amount of the year and the transfers between the cash
// box and the bank account, each transfer a pair of rows of opposite sign with consecutive keys;
// and the change of any income row of the register (a payment keeps its amount and quotas).
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/RowStamp.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace velcaris::cashbook {

inline const QString kOpeningAmount = QStringLiteral("Importo iniziale");
inline const QString kTransferToBank = QStringLiteral("Passaggio su C.C.");
inline const QString kTransferToCash = QStringLiteral("Passaggio su Cassa");
inline const QString kEnterValidAmount = QStringLiteral("Inserire un importo valido");
inline const QString kBrokenTransferMessage = QStringLiteral(
    "L'altra metà di questo passaggio tra cassa e conto corrente non è stata trovata: il movimento non è stato "
    "modificato");

// Whether a TipoMovimento is an opening amount or one of the two transfers between cash and bank.
bool isOpeningOrTransfer(const QString& tipoMovimento);
bool isTransfer(const QString& tipoMovimento);
// The other half of a transfer: the row at the neighbouring key when it really is (same
// condominium, year and type, the other place, the opposite amount); 0 otherwise.
qint64 transferPartner(store::Database& db, qint64 id);

// The quota types an opening amount may have: table Tipologia without "Spese personali".
QStringList openingTypes(app::Workspace& ws);

// The dialog's controls.
struct MovementInput {
    QString tipoMovimento;
    QString importo;
    QDate data;
    QString metodoPagamento; // an opening amount's place; transfers ignore it
    QString tipologia;       // an opening amount's type
    QString nota;
    // The income row as the dialog read it: a modification is refused, nothing written, when
    // another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

// Writes an opening amount or a transfer of `condominium`'s current year; a transfer is the cash
// row and then the bank row, in one transaction.
app::Outcome addOpeningOrTransfer(app::Workspace& ws, const QString& condominium, const MovementInput& input);

// Changes the income row `id`: an opening amount its amount, date, place, type and note; a
// transfer both of its rows (amount, date, note; each keeps its place and sign), refused when the
// row beside it is not the other half; any other row (a payment) only its date, place and note.
// A row another desk changed or deleted since `input.asRead` is a stale refusal (Outcome::stale).
// One transaction.
app::Outcome modifyIncomeRow(app::Workspace& ws, qint64 id, const MovementInput& input);

// An income row as the dialog shows it in modify mode: a transfer's amount without its sign.
struct IncomeRow {
    QString condominio;
    MovementInput input;
};
std::optional<IncomeRow> readIncomeRow(app::Workspace& ws, qint64 id);

} // namespace velcaris::cashbook
