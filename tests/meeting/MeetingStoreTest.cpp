// The meeting register, attendance, resolutions and votes over a database, the tables added to an
// older database, and the two documents.
#include "documents/DefaultTemplates.h"
#include "documents/RtfReader.h"
#include "documents/RtfReport.h"
#include "meeting/Attendance.h"
#include "meeting/MeetingDocuments.h"
#include "meeting/Meetings.h"
#include "meeting/Resolutions.h"
#include "registry/AdministrativeYears.h"
#include "registry/CondominiumDeletion.h"
#include "registry/Condominiums.h"
#include "store/AddedTables.h"
#include "support/Office.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::meeting;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
const QString kBeta = QStringLiteral("Beta - Via Po 2");

class MeetingStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.addYear(kAlfa, "2014", true);
        office.ws().selection.condominium = kAlfa;
        scale = addTable(kAlfa, "Scale");
        general = addTable(kAlfa, "Proprietà");
        betaTable = addTable(kBeta, "Generale");
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        bianchi = office.addPerson(kAlfa, "Bianchi");
        verdi = office.addPerson(kAlfa, "Verdi", "Anna");
        // Rossi owns three units; one unit has no owner. Proprietà totals 1200.
        unit(rossi, 100, 10);
        unit(rossi, 150.5, 10);
        unit(rossi, 49.5, 10);
        unit(bianchi, 400, 10);
        unit(verdi, 300, 10);
        unit(0, 200, 0);
    }

    qint64 addTable(const QString& condominium, const QString& name)
    {
        office.db().exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, ?)", {condominium, name});
        return office.db().lastInsertId();
    }
    void unit(qint64 owner, double generalValue, double scaleValue)
    {
        const qint64 id = office.addUnit(kAlfa, "U", owner, owner);
        office.db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?), "
                         "(?, ?, ?, ?)",
                         {kAlfa, id, general, generalValue, kAlfa, id, scale, scaleValue});
    }
    qint64 meeting(Call call = Call::First)
    {
        MeetingInput in;
        in.data = QDate(2014, 5, 20);
        in.ora = "18:30";
        in.luogo = "Sala condominiale";
        in.call = call;
        in.tableId = general;
        const app::Outcome o = addMeeting(office.ws(), in);
        EXPECT_TRUE(o.done) << o.texts().join(';').toStdString();
        return o.newKey.value_or(0);
    }
    qint64 count(const QString& sql) { return office.db().scalar(sql).toLongLong(); }
    static QString plainText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? documents::rtf::plainText(f.readAll()) : QString();
    }

    test::Office office;
    qint64 scale = 0, general = 0, betaTable = 0, rossi = 0, bianchi = 0, verdi = 0;
};

} // namespace

TEST_F(MeetingStore, PreferredTableIsGeneraleOrProprietaElseTheFirst)
{
    EXPECT_EQ(preferredTable(office.ws(), kAlfa), general);
    EXPECT_EQ(preferredTable(office.ws(), kBeta), betaTable);
    office.db().exec("UPDATE Tabelle SET Nome = 'Riscaldamento' WHERE Id = ?", {general});
    EXPECT_EQ(preferredTable(office.ws(), kAlfa), general) << "Riscaldamento sorts before Scale";
    office.db().exec("UPDATE Tabelle SET Nome = 'Tetto' WHERE Id = ?", {general});
    EXPECT_EQ(preferredTable(office.ws(), kAlfa), scale);
}

TEST_F(MeetingStore, AMeetingNeedsADateAYearAndATableOfItsCondominium)
{
    MeetingInput in;
    in.data = QDate(2014, 5, 20);
    in.tableId = betaTable;
    EXPECT_EQ(addMeeting(office.ws(), in).texts(), QStringList{kTableRequired});
    in.tableId = general;
    in.data = QDate();
    EXPECT_EQ(addMeeting(office.ws(), in).texts(), QStringList{kDateRequired});
    office.ws().selection.condominium = kBeta; // no year
    in.data = QDate(2014, 5, 20);
    in.tableId = betaTable;
    EXPECT_FALSE(addMeeting(office.ws(), in).done);
    office.ws().selection.condominium = kAlfa;

    const qint64 id = meeting(Call::Second);
    const auto all = currentMeetings(office.ws());
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].id, id);
    EXPECT_EQ(all[0].year, "2014");
    EXPECT_EQ(all[0].data.call, Call::Second);
    EXPECT_EQ(all[0].data.luogo, "Sala condominiale");
    EXPECT_EQ(all[0].data.data, QDate(2014, 5, 20));
}

TEST_F(MeetingStore, AnOwnerOfThreeUnitsIsOneParticipantWithTheirSum)
{
    const MeetingState state = loadMeeting(office.ws(), meeting());
    ASSERT_EQ(state.participants.size(), 3);
    EXPECT_EQ(state.participants[0].name, "Bianchi");
    EXPECT_EQ(state.participants[1].name, "Rossi Mario");
    EXPECT_EQ(state.participants[1].milli, toMilli(300));
    EXPECT_EQ(state.tableMilli, toMilli(1200)) << "the unit without owner weighs in the value";
    EXPECT_EQ(state.tableName, "Proprietà");
}

TEST_F(MeetingStore, AttendanceIsRecordedAndReadBack)
{
    const qint64 id = meeting();
    MeetingState state = loadMeeting(office.ws(), id);
    auto& ws = office.ws();
    EXPECT_EQ(setAttendance(ws, state, {rossi, Attendance::Proxy, 0, "  ", {}, {}}).texts(),
              QStringList{kDelegateRequired});
    EXPECT_EQ(setAttendance(ws, state, {rossi, Attendance::Proxy, rossi, {}, {}, {}}).texts(), QStringList{kSelfDelegate});
    EXPECT_EQ(setAttendance(ws, state, {rossi, Attendance::Absent, 0, {}, {}, "19:00"}).texts(),
              QStringList{kDepartureOfAbsent});
    EXPECT_EQ(setAttendance(ws, state, {4242, Attendance::Present, 0, {}, {}, {}}).texts(), QStringList{kNotAParticipant});

    EXPECT_TRUE(setAttendance(ws, state, {rossi, Attendance::Proxy, verdi, {}, "18:30", {}}).done);
    EXPECT_TRUE(setAttendance(ws, state, {verdi, Attendance::Present, 0, {}, "18:30", {}}).done);
    EXPECT_TRUE(setAttendance(ws, state, {bianchi, Attendance::Present, 0, {}, "18:45", {}}).done);
    EXPECT_TRUE(setAttendance(ws, state, {bianchi, Attendance::Present, 0, {}, "18:45", "19:10"}).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Presenze"), 3) << "one row per participant";

    const MeetingState again = loadMeeting(ws, id);
    const auto& r = again.participants[again.indexOf(rossi)];
    EXPECT_EQ(r.attendance, Attendance::Proxy);
    EXPECT_EQ(r.delegateName, "Verdi Anna");
    EXPECT_EQ(r.delegateId, verdi);
    const auto& b = again.participants[again.indexOf(bianchi)];
    EXPECT_TRUE(b.departed);
    EXPECT_EQ(b.arrival, "18:45");
    const Constitution c = constitution(again.participants, again.tableMilli, Call::First);
    EXPECT_EQ(c.heads, 2);
    EXPECT_EQ(c.milli, toMilli(600));
    EXPECT_EQ(c.missingMilli, toMilli(200));
}

TEST_F(MeetingStore, VotesOnlyFromThoseWhoCountAndDeletionTakesEverything)
{
    const qint64 id = meeting();
    MeetingState state = loadMeeting(office.ws(), id);
    auto& ws = office.ws();
    EXPECT_EQ(addResolution(ws, id, {"  ", Majority::Ordinary}).texts(), QStringList{kSubjectRequired});
    const qint64 first = addResolution(ws, id, {"Nomina amministratore", Majority::Article1136c4}).newKey.value();
    const qint64 second = addResolution(ws, id, {"Ascensore", Majority::Innovation1120}).newKey.value();
    const auto items = resolutionsOf(ws, id);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1].numero, 2);
    EXPECT_EQ(items[1].data.majority, Majority::Innovation1120);

    EXPECT_EQ(setVote(ws, state, first, rossi, Vote::InFavour).texts(), QStringList{kVoterNotPresent});
    for (qint64 p : {rossi, bianchi, verdi})
        ASSERT_TRUE(setAttendance(ws, state, {p, Attendance::Present, 0, {}, {}, {}}).done);
    EXPECT_TRUE(setVote(ws, state, first, rossi, Vote::InFavour).done);
    EXPECT_TRUE(setVote(ws, state, first, bianchi, Vote::Against).done);
    EXPECT_TRUE(setVote(ws, state, first, bianchi, Vote::InFavour).done);
    EXPECT_TRUE(setVote(ws, state, second, verdi, Vote::Against).done);
    EXPECT_TRUE(setVote(ws, state, second, verdi, Vote::None).done);
    const auto votes = votesOf(ws, first);
    EXPECT_EQ(votes.size(), 2);
    EXPECT_EQ(votes.value(bianchi), Vote::InFavour);
    EXPECT_TRUE(votesOf(ws, second).isEmpty());

    applyVotes(state, votes);
    const ResolutionResult r = resolution(state.participants, state.tableMilli, Call::First, Majority::Article1136c4, true);
    EXPECT_TRUE(r.approved); // 2 of 3 heads, 700 of 1200
    EXPECT_EQ(r.inFavour.milli, toMilli(700));

    EXPECT_TRUE(deleteResolution(ws, second).done);
    EXPECT_EQ(resolutionsOf(ws, id).size(), 1);
    EXPECT_TRUE(deleteMeeting(ws, id).done);
    EXPECT_EQ(count("SELECT (SELECT COUNT(*) FROM Assemblee) + (SELECT COUNT(*) FROM Presenze) + "
                    "(SELECT COUNT(*) FROM Delibere) + (SELECT COUNT(*) FROM Voti)"),
              0);
}

TEST_F(MeetingStore, AnOlderDatabaseGetsTheMeetingTablesAndKeepsItsRows)
{
    for (const QString& t : store::addedMainTables())
        office.db().exec("DROP TABLE " + t);
    EXPECT_FALSE(office.db().tableExists("Assemblee"));
    {
        app::Workspace again{app::AppPaths(office.folder())};
        ASSERT_EQ(again.startUp(), QString());
        for (const QString& t : store::addedMainTables())
            EXPECT_TRUE(again.mainDb().tableExists(t)) << t.toStdString();
        EXPECT_EQ(again.mainDb().scalar("SELECT COUNT(*) FROM Locali").toInt(), 6);
        EXPECT_TRUE(store::addMissingTables(again.mainDb()).isEmpty()) << "a second start adds nothing";
    }
    // A file with some of the tables gets the others; the rows of those it has stay.
    const qint64 id = meeting();
    office.db().exec("DROP TABLE Voti");
    office.db().exec("DROP TABLE Delibere");
    EXPECT_EQ(store::addMissingTables(office.db()), (QStringList{"Delibere", "Voti"}));
    EXPECT_TRUE(readMeeting(office.ws(), id).has_value());
    EXPECT_TRUE(addResolution(office.ws(), id, {"Bilancio", Majority::Ordinary}).done);
}

TEST_F(MeetingStore, AttendanceSheetAndVotingRecordAreWritten)
{
    auto& ws = office.ws();
    ASSERT_TRUE(documents::installDefaultTemplates(ws.paths().outputFolder()).failures.isEmpty());
    const qint64 id = meeting();
    MeetingState state = loadMeeting(ws, id);
    for (qint64 p : {rossi, bianchi})
        ASSERT_TRUE(setAttendance(ws, state, {p, Attendance::Present, 0, {}, "18:30", {}}).done);
    ASSERT_TRUE(setAttendance(ws, state, {verdi, Attendance::Proxy, 0, "Neri Paolo", {}, {}}).done);
    const qint64 item = addResolution(ws, id, {"Rifacimento tetto", Majority::Ordinary}).newKey.value();
    ASSERT_TRUE(setVote(ws, state, item, bianchi, Vote::InFavour).done);
    ASSERT_TRUE(setVote(ws, state, item, verdi, Vote::InFavour).done);
    ASSERT_TRUE(setVote(ws, state, item, rossi, Vote::Against).done);

    documents::TRtfReport report;
    const MeetingDocument sheet = produceAttendanceSheet(ws, report, state, QDate(2014, 5, 20));
    ASSERT_TRUE(sheet.outcome.done) << sheet.outcome.texts().join(';').toStdString();
    EXPECT_TRUE(sheet.written.endsWith("/Foglio presenze - 20.05.2014.rtf"));
    const QString sheetText = plainText(sheet.written);
    for (const char* expected : {"Rossi Mario", "300,000", "Delega", "Neri Paolo", "Firma", "tabella Proprietà, 1.200,000",
                                 "20/05/2014 alle ore 18:30, Sala condominiale (prima convocazione)",
                                 "assemblea costituita"})
        EXPECT_TRUE(sheetText.contains(QString::fromUtf8(expected))) << expected << "\n" << sheetText.toStdString();
    EXPECT_FALSE(sheetText.contains(u'\\')) << "every marker replaced";

    const MeetingDocument record = produceVotingRecord(ws, report, state, QDate(2014, 5, 20));
    ASSERT_TRUE(record.outcome.done) << record.outcome.texts().join(';').toStdString();
    const QString recordText = plainText(record.written);
    for (const char* expected : {"Rifacimento tetto", "Approvata", "Rossi Mario", "Contrario", "Favorevole", "700,000"})
        EXPECT_TRUE(recordText.contains(QString::fromUtf8(expected))) << expected << "\n" << recordText.toStdString();
    EXPECT_FALSE(recordText.contains(u'\\')) << "every marker replaced";
    EXPECT_EQ(report.Variables().count(), 0) << "the variables are removed";
}

TEST_F(MeetingStore, AMissingTemplateIsSaidAndNothingIsWritten)
{
    auto& ws = office.ws();
    const MeetingState state = loadMeeting(ws, meeting());
    documents::TRtfReport report;
    const MeetingDocument sheet = produceAttendanceSheet(ws, report, state, QDate(2014, 5, 20));
    EXPECT_FALSE(sheet.outcome.done);
    EXPECT_TRUE(sheet.written.isEmpty());
    EXPECT_FALSE(QFile::exists(meetingDocumentPath(ws, kFoglioPresenze, state)));
}

TEST_F(MeetingStore, MeetingsFollowARenamedCondominiumAndYear)
{
    const qint64 id = meeting();
    registry::YearInput year;
    year.name = "2014 bis";
    year.start = QDate(2014, 1, 1);
    year.end = QDate(2014, 12, 31);
    ASSERT_TRUE(registry::modifyYear(office.ws(), year).done);
    registry::CondominiumInput in;
    in.nome = "Alfa Nuovo";
    in.indirizzo = "Via Roma 1";
    in.comune = "Torino";
    const app::Outcome renamed = registry::modifyCondominium(office.ws(), in);
    ASSERT_TRUE(renamed.done) << renamed.texts().join(';').toStdString();
    const auto all = currentMeetings(office.ws());
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].id, id);
    EXPECT_EQ(all[0].condominium, "Alfa Nuovo - Via Roma 1");
    EXPECT_EQ(all[0].year, "2014 bis");
    EXPECT_EQ(loadMeeting(office.ws(), id).participants.size(), 3);
}

TEST_F(MeetingStore, DeletingTheCondominiumTakesItsMeetingsWithEverythingInThem)
{
    const qint64 id = meeting();
    MeetingState state = loadMeeting(office.ws(), id);
    ASSERT_TRUE(setAttendance(office.ws(), state, {rossi, Attendance::Present, 0, {}, {}, {}}).done);
    const qint64 item = addResolution(office.ws(), id, {"Bilancio", Majority::Ordinary}).newKey.value();
    ASSERT_TRUE(setVote(office.ws(), state, item, rossi, Vote::InFavour).done);
    // A meeting of another condominium stays.
    office.db().exec("INSERT INTO Assemblee (Condominio, AA, IdTabella) VALUES (?, '2014', ?)", {kBeta, betaTable});
    office.db().exec("INSERT INTO Presenze (IdAssemblea, IdPersona, Stato) VALUES (?, 99, 'Presente')",
                     {office.db().lastInsertId()});

    ASSERT_TRUE(registry::deleteCondominium(office.ws()).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Assemblee"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Presenze"), 1);
    EXPECT_EQ(count("SELECT (SELECT COUNT(*) FROM Delibere) + (SELECT COUNT(*) FROM Voti)"), 0);
}
