#pragma once
// Creating an administrative year of the current condominium, which then becomes its current
// year (optionally with a copy of the budget of the year current until then), and changing the
// current year. Other tables refer to a year by its name, so a change of name is carried to
// them in one transaction.
#include "foundation/Workspace.h"
#include "foundation/Outcome.h"
#include "store/RowStamp.h"

#include <QDate>
#include <QString>
#include <optional>

namespace velcaris::registry {

inline const QString kYearNameRequired = QStringLiteral("Inserire il nome dell'anno amministrativo");

// "Esiste già un anno amministrativo di nome "<name>" per questo condominio".
QString duplicateYearMessage(const QString& name);

// What the year dialog's controls hold.
struct YearInput {
    QString name;             // as typed: it is stored without trimming
    QDate start;
    QDate end;
    bool approved = false;
    bool importBudget = false; // "Importa preventivo da A.A. precedente" (add mode only)
    // The current year's AnnoAmministrativo row as the dialog read it: a modification is refused,
    // nothing written, when another desk has changed the row since, or made another year current
    // (unset: no check).
    store::RowStamp asRead;
};

struct YearRecord {
    qint64 id = 0;
    YearInput data;
};

// The current year of the current condominium, when it has one.
std::optional<YearRecord> currentYear(app::Workspace& ws);

// Add mode: the new year becomes current; with importBudget, every budget item of the year that
// was current is copied into it. Returns how many items were copied in `copied` when asked.
app::Outcome addYear(app::Workspace& ws, const YearInput& input, int* copied = nullptr);

// Modify mode: the current year's name, dates and approval; a new name reaches quotas, movements,
// budget items, interventions and the web rows of the condominium's year. One transaction. A
// year changed by another desk since `input.asRead`, or no longer the current one, is a stale
// refusal (Outcome::stale) and nothing is written.
app::Outcome modifyYear(app::Workspace& ws, const YearInput& input);

} // namespace velcaris::registry
