#include "meeting/Resolutions.h"

#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::meeting {

using store::Statement;

namespace {

Vote voteFrom(const QString& text)
{
    for (Vote v : {Vote::InFavour, Vote::Against, Vote::Abstained})
        if (text == voteText(v))
            return v;
    return Vote::None;
}

} // namespace

QString voteText(Vote v)
{
    switch (v) {
    case Vote::InFavour: return QStringLiteral("Favorevole");
    case Vote::Against: return QStringLiteral("Contrario");
    case Vote::Abstained: return QStringLiteral("Astenuto");
    case Vote::None: break;
    }
    return QString();
}

namespace {

const QString kSelect = QStringLiteral("SELECT Id, Numero, Oggetto, Maggioranza FROM Delibere");

ResolutionRecord recordAt(const Statement& st)
{
    ResolutionRecord r;
    r.id = st.value(0).toLongLong();
    r.numero = st.value(1).toInt();
    r.data.oggetto = st.value(2).toString();
    r.data.majority = majorityFromCode(st.value(3).toString());
    return r;
}

} // namespace

QVector<ResolutionRecord> resolutionsOf(app::Workspace& ws, qint64 meetingId)
{
    QVector<ResolutionRecord> out;
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE IdAssemblea = ? ORDER BY Numero, Id"));
    st.bind(1, meetingId);
    while (st.step())
        out << recordAt(st);
    return out;
}

std::optional<ResolutionRecord> readResolution(app::Workspace& ws, qint64 id)
{
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE Id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return recordAt(st);
}

app::Outcome addResolution(app::Workspace& ws, qint64 meetingId, const ResolutionInput& input)
{
    if (input.oggetto.trimmed().isEmpty())
        return app::Outcome::refused(kSubjectRequired);
    store::Database& db = ws.mainDb();
    store::Transaction tr(db);
    const int next = db.scalar(QStringLiteral("SELECT COALESCE(MAX(Numero), 0) + 1 FROM Delibere WHERE IdAssemblea = ?"),
                               {meetingId})
                         .toInt();
    db.exec(QStringLiteral("INSERT INTO Delibere (IdAssemblea, Numero, Oggetto, Maggioranza) VALUES (?, ?, ?, ?)"),
            {meetingId, next, input.oggetto.trimmed(), majorityCode(input.majority)});
    const qint64 id = db.lastInsertId();
    tr.commit();
    return app::Outcome::accepted(id);
}

app::Outcome modifyResolution(app::Workspace& ws, qint64 id, const ResolutionInput& input)
{
    if (input.oggetto.trimmed().isEmpty())
        return app::Outcome::refused(kSubjectRequired);
    store::Database& db = ws.mainDb();
    try {
        store::Transaction tr(db);
        store::refuseIfChanged(db, input.asRead);
        db.exec(QStringLiteral("UPDATE Delibere SET Oggetto = ?, Maggioranza = ? WHERE Id = ?"),
                {input.oggetto.trimmed(), majorityCode(input.majority), id});
        tr.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }
    return app::Outcome::accepted(id);
}

app::Outcome deleteResolution(app::Workspace& ws, qint64 id)
{
    store::Database& db = ws.mainDb();
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM Voti WHERE IdDelibera = ?"), {id});
    db.exec(QStringLiteral("DELETE FROM Delibere WHERE Id = ?"), {id});
    tr.commit();
    return app::Outcome::accepted();
}

QHash<qint64, Vote> votesOf(app::Workspace& ws, qint64 resolutionId)
{
    QHash<qint64, Vote> votes;
    Statement st(ws.mainDb(), QStringLiteral("SELECT IdPersona, Voto FROM Voti WHERE IdDelibera = ?"));
    st.bind(1, resolutionId);
    while (st.step())
        votes.insert(st.value(0).toLongLong(), voteFrom(st.value(1).toString()));
    return votes;
}

void applyVotes(MeetingState& state, const QHash<qint64, Vote>& votes)
{
    for (Participant& p : state.participants)
        p.vote = votes.value(p.personId, Vote::None);
}

app::Outcome setVote(app::Workspace& ws, MeetingState& state, qint64 resolutionId, qint64 personId, Vote vote)
{
    const int i = state.indexOf(personId);
    if (i < 0)
        return app::Outcome::refused(kNotAParticipant);
    if (vote != Vote::None && !state.participants[i].counts())
        return app::Outcome::refused(kVoterNotPresent);
    if (vote == Vote::None)
        ws.mainDb().exec(QStringLiteral("DELETE FROM Voti WHERE IdDelibera = ? AND IdPersona = ?"), {resolutionId, personId});
    else {
        // The person's one vote on the resolution, changed in place or added.
        store::Database& db = ws.mainDb();
        store::Transaction tr(db);
        db.exec(QStringLiteral("UPDATE Voti SET Voto = ? WHERE IdDelibera = ? AND IdPersona = ?"),
                {voteText(vote), resolutionId, personId});
        if (db.changes() == 0)
            db.exec(QStringLiteral("INSERT INTO Voti (IdDelibera, IdPersona, Voto) VALUES (?, ?, ?)"),
                    {resolutionId, personId, voteText(vote)});
        tr.commit();
    }
    state.participants[i].vote = vote;
    return app::Outcome::accepted();
}

} // namespace velcaris::meeting
