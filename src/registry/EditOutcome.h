#pragma once
// What a registry action tells its dialog: done (the dialog closes), or refused with the
// message(s) to show while the dialog stays open with its input. A done action may still carry
// warnings: something beside the rows (a folder) that the user should know about.
#include <QString>
#include <QStringList>

namespace velcaris::registry {

struct EditOutcome {
    bool done = false;
    QStringList messages; // refused: why; done: warnings

    static EditOutcome refused(const QString& message) { return {false, {message}}; }
    static EditOutcome accepted(const QStringList& warnings = {}) { return {true, warnings}; }
};

} // namespace velcaris::registry
