#pragma once
// The attendance of a meeting: every owner of the condominium's units is one participant,
// whatever the number of his units, with the sum of their thousandths in the meeting's table;
// each is present, represented by a delegate, or absent, with the times of arrival and departure
// recorded during the meeting.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "meeting/Meetings.h"
#include "meeting/Quorum.h"

#include <QString>
#include <QVector>

namespace velcaris::meeting {

inline const QString kDelegateRequired = QStringLiteral("Indicare il delegato");
inline const QString kSelfDelegate = QStringLiteral("Il delegato non può essere il partecipante stesso");
inline const QString kNotAParticipant = QStringLiteral("La persona non è un partecipante di questa assemblea");
inline const QString kDepartureOfAbsent = QStringLiteral("Il partecipante non è presente: non può uscire");

// What the meeting window works on: the meeting, its participants (by name) with their
// attendance, and the total of its table.
struct MeetingState {
    MeetingRecord meeting;
    QVector<Participant> participants;
    std::int64_t tableMilli = 0;
    QString tableName;

    int indexOf(qint64 personId) const;
};

// Reads the meeting's participants and attendance; votes are left at None.
MeetingState loadMeeting(app::Workspace& ws, qint64 meetingId);

struct AttendanceInput {
    qint64 personId = 0;
    Attendance attendance = Attendance::Absent;
    qint64 delegateId = 0;   // an owner of the condominium holding the proxy; 0: an outside person
    QString delegateName;    // the delegate as shown; required for a proxy
    QString arrival;         // "HH:MM" or empty
    QString departure;       // "HH:MM" or empty; a participant who left no longer counts
};

// Records one participant's attendance and updates `state` to match. A proxy needs a delegate
// who is not the participant; a departure needs a participant present or represented.
app::Outcome setAttendance(app::Workspace& ws, MeetingState& state, const AttendanceInput& input);

// The attendance as its caption: "Presente", "Delega", "Assente".
QString attendanceText(Attendance a);

} // namespace velcaris::meeting
