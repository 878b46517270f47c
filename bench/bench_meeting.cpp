// A meeting of a 300-unit condominium: what each change of attendance or vote costs the meeting
// window (the write of the change and the recount of quorum, proxies and result), the recount
// alone, and the reading of the meeting's participants beside the same reads as bare statements.
//
// The condominium is added to the generated office (support/BenchOffice) inside a transaction
// that is never committed: the office is left as it was.
#include "meeting/Attendance.h"
#include "meeting/Meetings.h"
#include "meeting/Quorum.h"
#include "meeting/Resolutions.h"
#include "store/Database.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace velcaris;

namespace {

const QString kName = QStringLiteral("Assemblea bench - Via dei Trecento 1");
constexpr int kUnits = 300;

struct Meeting {
    std::unique_ptr<store::Transaction> scratch; // rolled back at exit
    qint64 meetingId = 0;
    qint64 resolutionId = 0;
    meeting::MeetingState state;
};

// 300 units of 260 owners (every sixth owner has a second unit), a table of 1000 thousandths,
// a meeting in second call with two thirds of the owners in, some by proxy, and an item voted.
Meeting& meetingOf300()
{
    static Meeting m = [] {
        Meeting made;
        app::Workspace& ws = *bench::office().ws;
        store::Database& db = ws.mainDb();
        made.scratch = std::make_unique<store::Transaction>(db);
        db.exec(QStringLiteral("INSERT INTO Condomini (Nome) VALUES (?)"), {kName});
        db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2024', 1)"), {kName});
        db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')"), {kName});
        const qint64 table = db.lastInsertId();
        QVector<qint64> owners;
        for (int i = 0; i < 260; ++i) {
            db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, ?, 'Bench')"),
                    {kName, QStringLiteral("Condomino %1").arg(i, 3, 10, QLatin1Char('0'))});
            owners << db.lastInsertId();
        }
        for (int u = 0; u < kUnits; ++u) {
            const qint64 owner = owners[u < 260 ? u : (u - 260) * 6];
            db.exec(QStringLiteral("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, ?, ?, ?)"),
                    {kName, QStringLiteral("U%1").arg(u), owner, owner});
            db.exec(QStringLiteral("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)"),
                    {kName, db.lastInsertId(), table, u < 100 ? 3.334 : 3.333});
        }
        ws.selection.condominium = kName;
        meeting::MeetingInput in;
        in.data = QDate(2024, 5, 20);
        in.call = meeting::Call::Second;
        in.tableId = table;
        made.meetingId = meeting::addMeeting(ws, in).newKey.value();
        made.state = meeting::loadMeeting(ws, made.meetingId);
        made.resolutionId =
            meeting::addResolution(ws, made.meetingId, {QStringLiteral("Bilancio"), meeting::Majority::Ordinary}).newKey.value();
        for (int i = 0; i < made.state.participants.size(); ++i) {
            const qint64 person = made.state.participants[i].personId;
            if (i % 3 == 2)
                continue;
            meeting::AttendanceInput a{person, i % 10 == 1 ? meeting::Attendance::Proxy : meeting::Attendance::Present,
                                       0, QStringLiteral("Delegato %1").arg(i % 7), QStringLiteral("18:00"), {}};
            meeting::setAttendance(ws, made.state, a);
            meeting::setVote(ws, made.state, made.resolutionId, person, i % 4 ? meeting::Vote::InFavour : meeting::Vote::Against);
        }
        return made;
    }();
    return m;
}

meeting::CountInput inputOf(const meeting::MeetingState& s)
{
    return {s.participants, s.tableMilli, s.meeting.data.call, meeting::Majority::Ordinary};
}

// The recount alone: constitution, the result of the current item and the proxy check.
void BM_MeetingRecount(benchmark::State& state)
{
    Meeting& m = meetingOf300();
    for (auto _ : state) {
        const meeting::MeetingCount c = meeting::count(inputOf(m.state));
        benchmark::DoNotOptimize(c.constitution.constituted);
    }
    state.counters["participants"] = double(m.state.participants.size());
}
BENCHMARK(BM_MeetingRecount)->Unit(benchmark::kMicrosecond);

// A participant marked present, then absent (the window's click), each followed by the recount.
void BM_AttendanceChangeAndRecount(benchmark::State& state)
{
    Meeting& m = meetingOf300();
    app::Workspace& ws = *bench::office().ws;
    const qint64 person = m.state.participants[2].personId; // absent at the start
    bool in = false;
    for (auto _ : state) {
        in = !in;
        meeting::setAttendance(ws, m.state, {person, in ? meeting::Attendance::Present : meeting::Attendance::Absent, 0, {},
                                             in ? QStringLiteral("18:30") : QString(), {}});
        const meeting::MeetingCount c = meeting::count(inputOf(m.state));
        benchmark::DoNotOptimize(c.constitution.heads);
    }
}
BENCHMARK(BM_AttendanceChangeAndRecount)->Unit(benchmark::kMicrosecond);

// A vote changed back and forth, each followed by the recount.
void BM_VoteChangeAndRecount(benchmark::State& state)
{
    Meeting& m = meetingOf300();
    app::Workspace& ws = *bench::office().ws;
    const qint64 person = m.state.participants[0].personId;
    bool favour = false;
    for (auto _ : state) {
        favour = !favour;
        meeting::setVote(ws, m.state, m.resolutionId, person, favour ? meeting::Vote::InFavour : meeting::Vote::Against);
        const meeting::MeetingCount c = meeting::count(inputOf(m.state));
        benchmark::DoNotOptimize(c.result.approved);
    }
}
BENCHMARK(BM_VoteChangeAndRecount)->Unit(benchmark::kMicrosecond);

// Opening the meeting: participants with their thousandths and attendance, and the item's votes.
void BM_LoadMeeting(benchmark::State& state)
{
    Meeting& m = meetingOf300();
    app::Workspace& ws = *bench::office().ws;
    for (auto _ : state) {
        meeting::MeetingState s = meeting::loadMeeting(ws, m.meetingId);
        meeting::applyVotes(s, meeting::votesOf(ws, m.resolutionId));
        benchmark::DoNotOptimize(s.participants.size());
    }
}
BENCHMARK(BM_LoadMeeting)->Unit(benchmark::kMicrosecond);

// The same reads as bare statements, every column stepped through, nothing built.
void BM_LoadMeetingBareSql(benchmark::State& state)
{
    Meeting& m = meetingOf300();
    store::Database& db = bench::office().ws->mainDb();
    const qint64 table = m.state.meeting.data.tableId;
    for (auto _ : state) {
        qint64 rows = 0;
        store::Statement units(db, QStringLiteral("SELECT l.idProprietario, a.Cognome, a.Nome, m.Millesimi FROM Locali AS l "
                                                  "LEFT JOIN Anagrafe AS a ON a.Id = l.idProprietario "
                                                  "LEFT JOIN Millesimi AS m ON m.IdLocale = l.Id AND m.IdTabella = ? "
                                                  "WHERE l.IdCondominio = ?"));
        units.bindAll({table, kName});
        while (units.step())
            rows += units.value(0).toLongLong() + units.value(3).toDouble() > 0;
        for (const auto& [sql, key] : {std::pair{"SELECT IdPersona, Stato, IdDelegato, Delegato, Arrivo, Uscita FROM Presenze "
                                                 "WHERE IdAssemblea = ?", m.meetingId},
                                       std::pair{"SELECT IdPersona, Voto FROM Voti WHERE IdDelibera = ?", m.resolutionId}}) {
            store::Statement st(db, QString::fromLatin1(sql));
            st.bind(1, key);
            while (st.step())
                rows += st.value(1).toString().size() > 0;
        }
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_LoadMeetingBareSql)->Unit(benchmark::kMicrosecond);

} // namespace
