#pragma once
// The register of meetings of the current condominium's current administrative year: date, time
// and place, ordinary or extraordinary, first or second call, and the millesimal table whose
// thousandths are the building's value.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "meeting/Quorum.h"
#include "store/RowStamp.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::meeting {

inline const QString kNoCondominium = QStringLiteral("Selezionare prima un condominio");
inline const QString kTableRequired = QStringLiteral("Scegliere la tabella millesimale che misura il valore dell'edificio");
inline const QString kDateRequired = QStringLiteral("Inserire la data dell'assemblea");

struct MeetingInput {
    QDate data;
    QString ora;   // "HH:MM" as typed
    QString luogo;
    bool straordinaria = false;
    Call call = Call::First;
    qint64 tableId = 0;
    // The meeting's Assemblee row as the window read it: a modification is refused, nothing
    // written, when another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

struct MeetingRecord {
    qint64 id = 0;
    QString condominium;
    QString year;
    MeetingInput data;
};

// The table preselected for a new meeting of `condominium`: the one named "Generale" or
// "Proprietà" (without regard to case), else the first in the unit view's order; 0 when none.
qint64 preferredTable(app::Workspace& ws, const QString& condominium);

std::optional<MeetingRecord> readMeeting(app::Workspace& ws, qint64 id);
// The current condominium's meetings of its current year, by date and time, then in creation order.
QVector<MeetingRecord> currentMeetings(app::Workspace& ws);

// A meeting of the current condominium in its current year; the key is the meeting's Id.
app::Outcome addMeeting(app::Workspace& ws, const MeetingInput& input);
// A meeting changed or deleted by another desk since `input.asRead` is a stale refusal
// (Outcome::stale) and nothing is written.
app::Outcome modifyMeeting(app::Workspace& ws, qint64 id, const MeetingInput& input);
// The meeting with its attendance, resolutions and votes, in one transaction.
app::Outcome deleteMeeting(app::Workspace& ws, qint64 id);

} // namespace velcaris::meeting
