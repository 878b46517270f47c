#pragma once
// Documents published for the owners' web site: rows of the web database's Files table, one per
// document, tied to an administrative year or not. Only the file's name is recorded; the file
// itself is neither copied nor moved.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace velcaris::publishing {

inline const QString kChooseCondominium = QStringLiteral("Selezionare un condominio");
inline const QString kChooseDocument = QStringLiteral("Selezionare un documento");

// The years a document can be tied to: the condominium's years, newest first, with the current
// one shown; none at all when the condominium has no current year.
struct YearChoice {
    QStringList names;
    int current = -1; // index in names
};
YearChoice yearChoices(app::Workspace& ws, const QString& condominium);

struct PublishInput {
    QString document;     // the file's name, without its folder
    bool withYear = true; // "Anno amministrativo" checked
    QString year;         // the year shown in the list (may be empty)
    QDate date;
};

// The name recorded for a chosen file: its name without the folder.
QString documentName(const QString& chosenPath);

// Adds the current condominium's Files row. Refused without a condominium or a document.
app::Outcome publishDocument(app::Workspace& ws, const PublishInput& input);
// The year of a published document (the Files row of key `id`).
app::Outcome setDocumentYear(app::Workspace& ws, qint64 id, const QString& year);
// Removes the Files row of key `id`; the file is not touched.
app::Outcome withdrawDocument(app::Workspace& ws, qint64 id);

} // namespace velcaris::publishing
