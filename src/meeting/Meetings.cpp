#include "meeting/Meetings.h"

#include "allocation/MillesimalTables.h"
#include "foundation/Selection.h"
#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::meeting {

using store::Statement;

namespace {

const QString kSelect = QStringLiteral(
    "SELECT Id, Condominio, AA, Data, Ora, Luogo, Straordinaria, Convocazione, IdTabella FROM Assemblee");

MeetingRecord recordAt(const Statement& st)
{
    MeetingRecord r;
    r.id = st.value(0).toLongLong();
    r.condominium = st.value(1).toString();
    r.year = st.value(2).toString();
    r.data.data = QDate::fromString(st.value(3).toString().left(10), Qt::ISODate);
    r.data.ora = st.value(4).toString();
    r.data.luogo = st.value(5).toString();
    r.data.straordinaria = st.value(6).toBool();
    r.data.call = st.value(7).toInt() == 2 ? Call::Second : Call::First;
    r.data.tableId = st.value(8).toLongLong();
    return r;
}

// Why the input cannot be stored for `condominium`, or empty.
QString refusal(app::Workspace& ws, const QString& condominium, const MeetingInput& input)
{
    if (!input.data.isValid())
        return kDateRequired;
    const auto table = allocation::readTable(ws, input.tableId);
    if (!table || table->condominium != condominium)
        return kTableRequired;
    return QString();
}

QVector<QVariant> values(const MeetingInput& input)
{
    return {input.data, input.ora.trimmed(), input.luogo, input.straordinaria, input.call == Call::Second ? 2 : 1,
            input.tableId};
}

} // namespace

qint64 preferredTable(app::Workspace& ws, const QString& condominium)
{
    const auto tables = allocation::condominiumTables(ws, condominium);
    for (const auto& t : tables) {
        const QString name = t.data.nome.trimmed();
        if (name.compare(QStringLiteral("Generale"), Qt::CaseInsensitive) == 0
            || name.compare(QStringLiteral("Proprietà"), Qt::CaseInsensitive) == 0)
            return t.id;
    }
    return tables.isEmpty() ? 0 : tables.first().id;
}

std::optional<MeetingRecord> readMeeting(app::Workspace& ws, qint64 id)
{
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE Id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return recordAt(st);
}

QVector<MeetingRecord> currentMeetings(app::Workspace& ws)
{
    QVector<MeetingRecord> out;
    const QString condominium = ws.selection.condominium;
    if (condominium.isEmpty())
        return out;
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE Condominio = ? AND AA = ? ORDER BY Data, Ora, Id"));
    st.bindAll({condominium, app::currentYearName(ws)});
    while (st.step())
        out << recordAt(st);
    return out;
}

app::Outcome addMeeting(app::Workspace& ws, const MeetingInput& input)
{
    const QString condominium = ws.selection.condominium;
    if (condominium.isEmpty())
        return app::Outcome::refused(kNoCondominium);
    const QString year = app::currentYearName(ws);
    if (year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage);
    if (const QString why = refusal(ws, condominium, input); !why.isEmpty())
        return app::Outcome::refused(why);
    QVector<QVariant> params{condominium, year};
    params += values(input);
    ws.mainDb().exec(QStringLiteral("INSERT INTO Assemblee (Condominio, AA, Data, Ora, Luogo, Straordinaria, "
                                    "Convocazione, IdTabella) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                     params);
    return app::Outcome::accepted(ws.mainDb().lastInsertId());
}

app::Outcome modifyMeeting(app::Workspace& ws, qint64 id, const MeetingInput& input)
{
    const auto meeting = readMeeting(ws, id);
    if (!meeting)
        return app::Outcome::refused(QStringLiteral("L'assemblea non esiste più"));
    if (const QString why = refusal(ws, meeting->condominium, input); !why.isEmpty())
        return app::Outcome::refused(why);
    QVector<QVariant> params = values(input);
    params << id;
    store::Database& db = ws.mainDb();
    try {
        store::Transaction tr(db);
        store::refuseIfChanged(db, input.asRead);
        db.exec(QStringLiteral("UPDATE Assemblee SET Data = ?, Ora = ?, Luogo = ?, Straordinaria = ?, "
                               "Convocazione = ?, IdTabella = ? WHERE Id = ?"),
                params);
        tr.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }
    return app::Outcome::accepted(id);
}

app::Outcome deleteMeeting(app::Workspace& ws, qint64 id)
{
    store::Database& db = ws.mainDb();
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM Voti WHERE IdDelibera IN (SELECT Id FROM Delibere WHERE IdAssemblea = ?)"), {id});
    db.exec(QStringLiteral("DELETE FROM Delibere WHERE IdAssemblea = ?"), {id});
    db.exec(QStringLiteral("DELETE FROM Presenze WHERE IdAssemblea = ?"), {id});
    db.exec(QStringLiteral("DELETE FROM Assemblee WHERE Id = ?"), {id});
    tr.commit();
    return app::Outcome::accepted();
}

} // namespace velcaris::meeting
