#pragma once
// The templates shipped with the program, one per letter and notice kind, so that every document
// can be produced on a fresh install. They are embedded in the program and copied into the
// Output folder when missing; a template the user keeps there is never replaced.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velcaris::documents {

// The kinds that have a shipped template (the template is "<kind>.rtf").
QStringList defaultTemplateKinds();
// The shipped template of `kind`; empty when there is none.
QByteArray defaultTemplate(const QString& kind);

struct TemplateInstall {
    QStringList installed; // kinds copied now
    QStringList failures;  // Italian, one per template that could not be written
};

// Copies each shipped template into `outputFolder` unless a file of that name is there.
TemplateInstall installDefaultTemplates(const QString& outputFolder);

struct UpdatedTemplates {
    QStringList written;   // file names written, "Sollecito (nuovo).rtf" or "Ricevuta.rtf" when it was missing
    QStringList unchanged; // kinds whose template is already the shipped one
    QStringList failures;  // Italian, one per template that could not be written
};

// "Installa modelli aggiornati": puts the shipped version of every template beside the user's,
// never over it. A kind whose template is missing gets it under its own name; one whose template
// differs from the shipped one gets "<kind> (nuovo).rtf" ("(nuovo 2)", ... when that name holds
// something else), for the user to compare and rename; a shipped copy already there is not
// written again.
UpdatedTemplates installUpdatedTemplates(const QString& outputFolder);

} // namespace velcaris::documents
