#include "meeting/Attendance.h"

#include "allocation/MillesimalTables.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QHash>

namespace velcaris::meeting {

using store::Statement;

namespace {

Attendance attendanceFrom(const QString& text)
{
    if (text == QStringLiteral("Presente"))
        return Attendance::Present;
    if (text == QStringLiteral("Delega"))
        return Attendance::Proxy;
    return Attendance::Absent;
}

} // namespace

QString attendanceText(Attendance a)
{
    switch (a) {
    case Attendance::Present: return QStringLiteral("Presente");
    case Attendance::Proxy: return QStringLiteral("Delega");
    case Attendance::Absent: return QStringLiteral("Assente");
    }
    return QString();
}

int MeetingState::indexOf(qint64 personId) const
{
    for (int i = 0; i < participants.size(); ++i)
        if (participants[i].personId == personId)
            return i;
    return -1;
}

MeetingState loadMeeting(app::Workspace& ws, qint64 meetingId)
{
    MeetingState state;
    const auto meeting = readMeeting(ws, meetingId);
    if (!meeting)
        return state;
    state.meeting = *meeting;
    if (const auto table = allocation::readTable(ws, meeting->data.tableId))
        state.tableName = table->data.nome;
    store::Database& db = ws.mainDb();

    // Every unit with its owner and its thousandths in the table; each value is taken at three
    // decimals before it is summed, so the sums are exact.
    Statement units(db, QStringLiteral("SELECT l.idProprietario, %1, m.Millesimi FROM Locali AS l "
                                       "LEFT JOIN Anagrafe AS a ON a.Id = l.idProprietario "
                                       "LEFT JOIN Millesimi AS m ON m.IdLocale = l.Id AND m.IdTabella = ? "
                                       "WHERE l.IdCondominio = ? ORDER BY l.Id")
                            .arg(store::personDisplayNameSql(QStringLiteral("a"))));
    units.bindAll({meeting->data.tableId, meeting->condominium});
    QHash<qint64, int> index;
    while (units.step()) {
        const std::int64_t milli = toMilli(units.value(2).toDouble());
        state.tableMilli += milli;
        const qint64 owner = units.value(0).toLongLong();
        if (owner <= 0)
            continue; // a unit without owner weighs in the value but has nobody to attend
        auto it = index.find(owner);
        if (it == index.end()) {
            Participant p;
            p.personId = owner;
            p.name = units.value(1).toString();
            if (p.name.isEmpty())
                p.name = QStringLiteral("Persona %1").arg(owner);
            it = index.insert(owner, int(state.participants.size()));
            state.participants << p;
        }
        state.participants[*it].milli += milli;
    }

    Statement att(db, QStringLiteral("SELECT IdPersona, Stato, IdDelegato, Delegato, Arrivo, Uscita FROM Presenze "
                                     "WHERE IdAssemblea = ?"));
    att.bind(1, meetingId);
    while (att.step()) {
        const auto it = index.constFind(att.value(0).toLongLong());
        if (it == index.constEnd())
            continue; // no longer an owner here: kept, but not counted
        Participant& p = state.participants[*it];
        p.attendance = attendanceFrom(att.value(1).toString());
        p.delegateId = att.value(2).toLongLong();
        p.delegateName = att.value(3).toString();
        p.arrival = att.value(4).toString();
        p.departure = att.value(5).toString();
        p.departed = !p.departure.isEmpty();
    }
    std::stable_sort(state.participants.begin(), state.participants.end(), [](const Participant& a, const Participant& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return state;
}

app::Outcome setAttendance(app::Workspace& ws, MeetingState& state, const AttendanceInput& input)
{
    const int i = state.indexOf(input.personId);
    if (i < 0)
        return app::Outcome::refused(kNotAParticipant);
    const QString delegate = input.delegateName.simplified();
    if (input.attendance == Attendance::Proxy) {
        if (delegate.isEmpty() && input.delegateId == 0)
            return app::Outcome::refused(kDelegateRequired);
        if (input.delegateId == input.personId)
            return app::Outcome::refused(kSelfDelegate);
    }
    const QString departure = input.departure.trimmed();
    if (input.attendance == Attendance::Absent && !departure.isEmpty())
        return app::Outcome::refused(kDepartureOfAbsent);
    const bool proxy = input.attendance == Attendance::Proxy;
    QString delegateName = proxy ? delegate : QString();
    if (proxy && delegateName.isEmpty()) {
        const int d = state.indexOf(input.delegateId);
        delegateName = d >= 0 ? state.participants[d].name : QString();
    }
    const qint64 delegateId = proxy ? input.delegateId : 0;
    // The person's one row of the meeting, changed in place or added.
    store::Database& db = ws.mainDb();
    store::Transaction tr(db);
    db.exec(QStringLiteral("UPDATE Presenze SET Stato = ?, IdDelegato = ?, Delegato = ?, Arrivo = ?, Uscita = ? "
                           "WHERE IdAssemblea = ? AND IdPersona = ?"),
            {attendanceText(input.attendance), delegateId, delegateName, input.arrival.trimmed(), departure,
             state.meeting.id, input.personId});
    if (db.changes() == 0)
        db.exec(QStringLiteral("INSERT INTO Presenze (IdAssemblea, IdPersona, Stato, IdDelegato, Delegato, Arrivo, "
                               "Uscita) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {state.meeting.id, input.personId, attendanceText(input.attendance), delegateId, delegateName,
                 input.arrival.trimmed(), departure});
    tr.commit();
    Participant& p = state.participants[i];
    p.attendance = input.attendance;
    p.delegateId = delegateId;
    p.delegateName = delegateName;
    p.arrival = input.arrival.trimmed();
    p.departure = departure;
    p.departed = !departure.isEmpty();
    return app::Outcome::accepted();
}

} // namespace velcaris::meeting
