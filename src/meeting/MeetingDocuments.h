#pragma once
// The attendance sheet (with a column for signatures) and the voting record of a meeting, for
// the minutes: merged from the templates "Foglio presenze.rtf" and "Verbale votazioni.rtf" of the
// Output folder into the current condominium's folder.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "documents/RtfReport.h"
#include "meeting/Attendance.h"

#include <QString>

namespace velcaris::meeting {

inline const QString kFoglioPresenze = QStringLiteral("Foglio presenze");
inline const QString kVerbaleVotazioni = QStringLiteral("Verbale votazioni");

struct MeetingDocument {
    app::Outcome outcome;
    QString written; // the document, when one was written
};

// The variables of both documents (beside the common ones): assemblea, convocazione,
// data_assemblea, ora_assemblea, luogo, tabella, partecipanti, millesimi_totali, presenti,
// millesimi_presenti, quorum. The sheet scans A: Partecipante, Millesimi, Presenza, Delegato,
// Arrivo, Uscita. The record scans A, the resolutions: Numero, Oggetto, Maggioranza (short name),
// Regola (the rule in full), Risultato ("Approvata", "Non approvata"), Esito (the whole result
// line with the margin), Favorevoli, MillesimiFavorevoli, Contrari, MillesimiContrari, Astenuti, MillesimiAstenuti; and
// B, the votes: Delibera, Partecipante, Millesimi, Voto.
MeetingDocument produceAttendanceSheet(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                                       const QDate& today);
MeetingDocument produceVotingRecord(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                                    const QDate& today);

// "<Output>/<condominium>/<kind> - <meeting date stamp>.rtf"
QString meetingDocumentPath(const app::Workspace& ws, const QString& kind, const MeetingState& state);

} // namespace velcaris::meeting
