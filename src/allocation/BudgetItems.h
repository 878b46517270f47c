#pragma once
// The budget items of a condominium's current year (Preventivi): what TFormPreventivo shows and
// what its "Conferma" writes. A changed description is carried to the expenses recorded under it.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/RowStamp.h"

#include <QString>
#include <optional>

namespace velcaris::allocation {

// The contents of the dialog's controls. `spesa` is the amount as typed: "." is the decimal
// separator; empty is no amount.
struct BudgetInput {
    std::optional<qint64> tableId; // the chosen millesimal table (add mode only)
    QString descrizione;
    QString spesa;
    // The item's Preventivi row as the dialog read it: a modification is refused, nothing
    // written, when another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

struct BudgetItemRecord {
    qint64 id = -1;
    QString condominium;
    QString year;
    QString tabella; // the table's name
    QString descrizione;
    QString spesa; // "12.50", or empty when there is no amount
};

std::optional<BudgetItemRecord> readBudgetItem(app::Workspace& ws, qint64 id);

// "Conferma" in add mode: an item of the current condominium's current year, charged to the
// chosen table of that condominium. Refused without a current year, without a table, or with an
// amount that is not a number. No expense changes.
app::Outcome addBudgetItem(app::Workspace& ws, const BudgetInput& input);

// "Conferma" in modify mode: the item keeps its table and year and takes the description and the
// amount; the expenses of the same condominium, table and year recorded under the old
// description take the new one. One transaction. An item changed or deleted by another desk since
// `input.asRead` is a stale refusal (Outcome::stale) and nothing is written.
app::Outcome modifyBudgetItem(app::Workspace& ws, qint64 id, const BudgetInput& input);

} // namespace velcaris::allocation
