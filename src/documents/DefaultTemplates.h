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

} // namespace velcaris::documents
