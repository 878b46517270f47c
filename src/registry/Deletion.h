#pragma once
// "Elimina" on each tab of the main window, and "-" of the millesimal tables: what is asked, what
// refuses, and the deletion itself, whole or not at all.
#include "foundation/Outcome.h"
#include "foundation/Tab.h"
#include "foundation/Workspace.h"

#include <QString>
#include <QVector>

namespace velcaris::registry {

inline const QString kNothingToDelete = QStringLiteral("Non ci sono dati da cancellare");
inline const QString kSelectCondominium = QStringLiteral("Selezionare un condominio");
inline const QString kDeleteSelectedQuestion = QStringLiteral("Vuoi cancellare le voci selezionate?");
inline const QString kDeleteUnitQuestion = QStringLiteral("Vuoi cancellare il locale selezionato?");
inline const QString kDeleteDeadlineQuestion = QStringLiteral("Vuoi cancellare la voce selezionata?");
inline const QString kRemoveSupplierQuestion =
    QStringLiteral("Vuoi cancellare il fornitore dall'elenco dei fornitori del condominio?");
inline const QString kDeleteSupplierQuestion = QStringLiteral("Vuoi cancellare il fornitore selezionato?");
// The stored text ends with a double quote.
inline const QString kDeleteCondominiumQuestion = QStringLiteral(
    "ATTENZIONE: l'eliminazione del Condominio comporterà la cancellazione definitiva di tutti i dati "
    "ad esso relativi. Sicuro di voler continuare?\"");

// What the window knows when the button is pressed.
struct DeletionRequest {
    app::Tab tab = app::Tab::Agenda;
    bool millesimalTable = false; // "-" of the tables on the Condomini tab rather than "Elimina"
    QVector<qint64> keys;         // keys of the selected rows of the tab's grid, current row first
    QString quotaName;            // Quote tab: the title of the selected column of the grouped grid
    qint64 tableId = 0;           // "-": the current millesimal table
};

// The question to ask, or the refusal that stops before any question (nothing to delete, no
// condominium chosen). Both empty: the tab deletes nothing (Memo, Stampe).
struct DeletionQuestion {
    QString question;
    app::Outcome refusal;
    bool refused() const { return !refusal.messages.isEmpty(); }
};

DeletionQuestion deletionQuestion(app::Workspace& ws, const DeletionRequest& request);

// The work after "Si" on every tab but Entrate, whose rows the cash book deletes (a payment is
// reversed: cashbook::deleteIncome). Refusals (a person who owns a unit, a supplier with expenses, a unit with
// payments) leave everything as it was.
app::Outcome deleteSelected(app::Workspace& ws, const DeletionRequest& request);

// The single registers, also used by the dispatch above.
app::Outcome deleteRowsByKey(app::Workspace& ws, const QString& table, const QString& keyColumn,
                             const QVector<qint64>& keys);

} // namespace velcaris::registry
