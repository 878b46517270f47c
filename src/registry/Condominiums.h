#pragma once
// Creating and changing a condominium. Its full name ("Nome - Indirizzo") is the key every other
// table and the web database use, and it names the condominium's output folder, so a change of
// name is carried everywhere in one transaction, and the folder follows once it has committed.
#include "foundation/Workspace.h"
#include "foundation/Outcome.h"
#include "store/RowStamp.h"

#include <QDate>
#include <QString>

namespace velcaris::registry {

inline const QString kNameAndAddressRequired =
    QStringLiteral("I campi \"Nome\" e \"Indirizzo\" sono obbligatori");
inline const QString kChooseCondominiumFirst = QStringLiteral("Selezionare prima un condominio");

// "Esiste già un condominio di nome "<full name>"".
QString duplicateCondominiumMessage(const QString& fullName);
// The folder of the new name is there already, so the old one cannot take its name.
QString folderInTheWayMessage(const QString& folder);
// "<folder> (archivio 2026-12-09)", numbered when taken: where a folder left by an earlier
// condominium of the same name goes.
QString archivedFolderName(const QString& folder, const QDate& day);
QString folderNotRenamedMessage(const QString& from, const QString& to);
QString folderNotCreatedMessage(const QString& folder);
// The rows carry the new name but the folder kept the old one (the next start tries again).
QString folderLeftBehindMessage(const QString& from, const QString& to);

// What the fourteen boxes of the condominium dialog hold.
struct CondominiumInput {
    QString nome;
    QString indirizzo;
    QString comune;
    QString codiceFiscale;
    QString contoCorrente;
    QString intestatario;
    QString banca;
    QString ascensore;
    QString sezioneUrbana;
    QString foglio;
    QString particella;
    QString sub;
    QString microzona;
    QString zonaCensuaria;
    // The Condomini row as the dialog read it: a modification is refused, nothing written, when
    // another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

// Blanks and control characters removed at both ends.
QString trimmedName(const QString& text);
// Trimmed name, " - ", trimmed address.
QString fullCondominiumName(const QString& nome, const QString& indirizzo);

// Output/<full name> and Output/<full name>/Ricevute.
QString condominiumFolder(const app::Workspace& ws, const QString& fullName);
QString receiptsFolder(const app::Workspace& ws, const QString& fullName);

// The stored row of `fullName` as the dialog shows it in modify mode (name and address split at the
// first "-"); false when there is no such condominium.
bool loadCondominium(app::Workspace& ws, const QString& fullName, CondominiumInput& out);

// Add mode: the Condomini row, the condominium's own person row and the output folders. The new
// condominium becomes the current one.
app::Outcome addCondominium(app::Workspace& ws, const CondominiumInput& input);

// Modify mode on the current condominium: its row, its person row and its web record; under a new
// name also every row that refers to the old one and the output folder, all or nothing. The
// condominium stays the current one under its (new) name. A row another desk changed since
// `input.asRead` is a stale refusal (Outcome::stale) and nothing is written.
app::Outcome modifyCondominium(app::Workspace& ws, const CondominiumInput& input);

} // namespace velcaris::registry
