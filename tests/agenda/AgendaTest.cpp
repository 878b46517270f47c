#include "agenda/AgendaColours.h"
#include "agenda/Deadlines.h"
#include "agenda/Interventions.h"
#include "window/WindowView.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;
using agenda::DeadlineInput;
using app::EditMode;
using app::Rgb;

namespace {

const Rgb kRed{255, 191, 191};
const Rgb kYellow{255, 255, 128};
const Rgb kGreen{192, 220, 192};
const QString kAlfa = QStringLiteral("Alfa - Via dell'Orso 3");
const QString kBeta = QStringLiteral("Beta - Corso Po 1");

class Agenda : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
    }
    void choose(const QString& name, app::Tab tab = app::Tab::Agenda, bool esitoPositivo = false)
    {
        app::WindowRequest request;
        request.change = name.isEmpty() ? app::SelectionChange::Clear : app::SelectionChange::Choose;
        request.condominium = name;
        request.tab = tab;
        request.toggles.esitoPositivo = esitoPositivo;
        app::refreshWindow(office.ws(), request);
    }
    store::Dataset& agendaRows() { return office.ws().ds("ADOTableScadenzario"); }
    QStringList described()
    {
        QStringList out;
        for (int row = 0; row < agendaRows().rowCount(); ++row)
            out << agendaRows().valueAt(row, "Descrizione").toString();
        return out;
    }
    DeadlineInput deadline(const QString& what, const QString& amount, const QDate& due = QDate(2014, 5, 1))
    {
        DeadlineInput in = agenda::newDeadline(office.ws(), QDate(2014, 1, 1));
        in.soggetto = QStringLiteral("Caldaia");
        in.descrizione = what;
        in.importo = amount;
        in.scadenza = due;
        return in;
    }
    test::Office office;
};

} // namespace

TEST(AgendaColours, DeadlinesByOutcomeAndDateInterventionsByConclusion)
{
    const QDate today(2014, 6, 10);
    EXPECT_EQ(agenda::deadlineRowColour(false, today.addDays(-1), today), kRed);
    EXPECT_EQ(agenda::deadlineRowColour(false, today, today), kRed) << "a deadline dated today is due";
    EXPECT_EQ(agenda::deadlineRowColour(false, today.addDays(1), today), kYellow);
    EXPECT_EQ(agenda::deadlineRowColour(true, today.addDays(-30), today), kGreen);
    EXPECT_EQ(agenda::deadlineRowColour(true, today.addDays(30), today), kGreen);
    EXPECT_EQ(agenda::deadlineRowColour(false, QDate(), today), kRed) << "no date: treated as due";
    EXPECT_EQ(agenda::interventionRowColour(true), kGreen);
    EXPECT_EQ(agenda::interventionRowColour(false), kRed);
}

TEST_F(Agenda, RowColoursReadTheStoredRow)
{
    const QDate today = QDate::currentDate();
    office.db().exec("INSERT INTO Scadenzario (Condominio, Descrizione, DataScadenza, Esito) VALUES "
                     "(?, 'ieri', ?, 0), (?, 'domani', ?, 0), (?, 'fatta', ?, 1)",
                     {kAlfa, today.addDays(-1), kAlfa, today.addDays(1), kAlfa, today.addDays(-2)});
    choose(kAlfa, app::Tab::Agenda, true);
    ASSERT_EQ(described(), QStringList({"fatta", "ieri", "domani"}));
    EXPECT_EQ(agenda::deadlineRowColourAt(agendaRows(), 0, today), kGreen);
    EXPECT_EQ(agenda::deadlineRowColourAt(agendaRows(), 1, today), kRed);
    EXPECT_EQ(agenda::deadlineRowColourAt(agendaRows(), 2, today), kYellow);
}

TEST_F(Agenda, AmountsAreStoredWithTwoDecimalsAndEmptyIsZero)
{
    choose(kAlfa);
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Add, deadline("vuoto", "")).done);
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Add, deadline("mezzo", "12.5")).done);
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Add, deadline("tondo", "-3.456")).done);
    const auto amount = [&](const char* what) {
        return office.db().scalar("SELECT Importo FROM Scadenzario WHERE Descrizione = ?", {QString(what)}).toDouble();
    };
    EXPECT_DOUBLE_EQ(amount("vuoto"), 0.0);
    EXPECT_DOUBLE_EQ(amount("mezzo"), 12.5);
    EXPECT_DOUBLE_EQ(amount("tondo"), -3.46);
    EXPECT_EQ(office.db().scalar("SELECT Condominio FROM Scadenzario WHERE Descrizione = 'mezzo'").toString(), kAlfa);
    EXPECT_EQ(office.db().scalar("SELECT DataScadenza FROM Scadenzario WHERE Descrizione = 'mezzo'").toString(), "2014-05-01");

    agendaRows().locate("Descrizione", {"mezzo"});
    const std::optional<DeadlineInput> shown = agenda::currentDeadline(office.ws());
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->importo, "12.50");
    EXPECT_EQ(shown->scadenza, QDate(2014, 5, 1));
}

TEST_F(Agenda, AnAmountThatIsNotANumberIsRefusedBeforeAnythingIsWritten)
{
    choose(kAlfa);
    for (const char* bad : {"1..2", "-", "12.5.", "--3"}) {
        const app::Outcome outcome = agenda::saveDeadline(office.ws(), EditMode::Add, deadline("x", bad));
        EXPECT_FALSE(outcome.done) << bad;
        EXPECT_EQ(outcome.texts(), QStringList{agenda::amountNotANumberMessage(bad)});
        EXPECT_EQ(outcome.messages.value(0).kind, app::MessageKind::Error);
    }
    EXPECT_EQ(office.db().scalar("SELECT COUNT(*) FROM Scadenzario").toInt(), 0);
    EXPECT_EQ(agendaRows().state(), store::Dataset::State::Browse);

    // Modify: the row keeps what it had.
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Add, deadline("buona", "7")).done);
    agendaRows().locate("Descrizione", {"buona"});
    DeadlineInput changed = *agenda::currentDeadline(office.ws());
    changed.importo = "7..";
    changed.descrizione = "cambiata";
    EXPECT_FALSE(agenda::saveDeadline(office.ws(), EditMode::Modify, changed).done);
    EXPECT_EQ(office.db().scalar("SELECT Descrizione FROM Scadenzario").toString(), "buona");
    EXPECT_EQ(agendaRows().state(), store::Dataset::State::Browse);
}

TEST_F(Agenda, ModifyKeepsTheCondominiumAndSettingTheOutcomeHidesTheRowWhenTheFilterIsApplied)
{
    choose(kAlfa);
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Add, deadline("assemblea", "0")).done);
    choose(kAlfa); // toggle up: open deadlines only
    ASSERT_EQ(described(), QStringList{"assemblea"});

    DeadlineInput in = *agenda::currentDeadline(office.ws());
    in.condominio = kBeta; // the label cannot move a deadline to another condominium
    in.esito = true;
    ASSERT_TRUE(agenda::saveDeadline(office.ws(), EditMode::Modify, in).done);
    EXPECT_EQ(office.db().scalar("SELECT Condominio FROM Scadenzario").toString(), kAlfa);
    EXPECT_EQ(office.db().scalar("SELECT Esito FROM Scadenzario").toInt(), 1);
    choose(kAlfa);
    EXPECT_TRUE(described().isEmpty());
    choose(kAlfa, app::Tab::Agenda, true);
    EXPECT_EQ(described(), QStringList{"assemblea"});
}

TEST_F(Agenda, WithNoCondominiumTheOpenDeadlinesOfEveryCondominiumAreListed)
{
    office.db().exec("INSERT INTO Scadenzario (Condominio, Descrizione, DataScadenza, Esito) VALUES "
                     "(?, 'a', '2014-01-01', 0), (?, 'b', '2014-01-02', 0), (?, 'c', '2014-01-03', 1)",
                     {kAlfa, kBeta, kBeta});
    choose(QString());
    EXPECT_EQ(described(), QStringList({"a", "b"}));
    choose(QString(), app::Tab::Agenda, true);
    EXPECT_EQ(described(), QStringList({"a", "b", "c"}));
}

TEST_F(Agenda, InterventionsTakeTheCurrentYearOrAnEmptyOne)
{
    office.addYear(kAlfa, "2014", true);
    choose(kAlfa, app::Tab::Interventi);
    const QDateTime now(QDate(2014, 3, 4), QTime(9, 41, 27));
    agenda::InterventionInput in = agenda::newIntervention(office.ws(), now);
    EXPECT_EQ(in.condominio, kAlfa);
    EXPECT_EQ(in.aa, "2014");
    EXPECT_EQ(in.ora, QTime(9, 41));
    EXPECT_EQ(in.tipoContatto, agenda::contactTypes(office.ws()).value(0));
    in.contatto = "Sig. D'Angelo";
    in.motivo = "Perdita in cantina";
    in.durata = "15";
    ASSERT_TRUE(agenda::saveIntervention(office.ws(), EditMode::Add, in).done);
    store::Dataset& rows = office.ws().ds("ADOQueryInterventi");
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.value("Contatto").toString(), "Sig. D'Angelo");
    EXPECT_EQ(rows.value("Descrizione").toString(), "Perdita in cantina");
    EXPECT_EQ(rows.value("Ora").toString(), "09:41");
    EXPECT_EQ(rows.value("Data").toString(), "2014-03-04");

    agenda::InterventionInput changed = *agenda::currentIntervention(office.ws());
    EXPECT_EQ(changed.ora, QTime(9, 41));
    changed.concluso = true;
    ASSERT_TRUE(agenda::saveIntervention(office.ws(), EditMode::Modify, changed).done);
    EXPECT_EQ(office.db().scalar("SELECT Concluso FROM Interventi").toInt(), 1);
    EXPECT_EQ(office.db().scalar("SELECT COUNT(*) FROM Interventi").toInt(), 1);

    choose(kBeta, app::Tab::Interventi); // no year at all
    const agenda::InterventionInput noYear = agenda::newIntervention(office.ws(), now);
    EXPECT_TRUE(noYear.aa.isEmpty());
    ASSERT_TRUE(agenda::saveIntervention(office.ws(), EditMode::Add, noYear).done);
    EXPECT_EQ(office.db().scalar("SELECT AA FROM Interventi WHERE Condominio = ?", {kBeta}).toString(), "");
}
