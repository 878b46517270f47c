#pragma once
// The agenda's deadlines (table Scadenzario, dataset ADOTableScadenzario): what the dialog shows
// for a new or the current deadline, and writing it back.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <optional>

namespace velcaris::agenda {

// What the controls of the deadline dialog hold.
struct DeadlineInput {
    QString condominio; // shown only: a modified deadline keeps its condominium
    QString soggetto;
    QString descrizione;
    QDate scadenza;
    QString importo;    // as typed: "12.5", empty for nothing
    bool esito = false;
    QString note;
};

// "<typed>" non è un importo valido: the message shown when the amount cannot be read.
QString amountNotANumberMessage(const QString& typed);

// The amount as stored: empty is 0, otherwise a number with "." for the decimals, rounded to
// cents; nothing when the text is not a number ("1..2", "-").
std::optional<double> deadlineAmount(const QString& typed);

// Add mode: the current condominium, empty texts, due today, amount "0.00", outcome not set.
DeadlineInput newDeadline(const app::Workspace& ws, const QDate& today);
// Modify mode: the current row of the agenda, its amount with two decimals; nothing when the
// agenda shows no row.
std::optional<DeadlineInput> currentDeadline(app::Workspace& ws);

// Writes a new deadline (add) or the current row (modify). An amount that is not a number is
// refused before anything is written.
app::Outcome saveDeadline(app::Workspace& ws, app::EditMode mode, const DeadlineInput& input);

} // namespace velcaris::agenda
