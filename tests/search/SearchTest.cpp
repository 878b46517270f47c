#include "window/WindowView.h"
#include "cashbook/Balances.h"
#include "search/Search.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;
using app::Tab;
using search::SearchKind;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via dell'Orso 3");
const QString kBeta = QStringLiteral("Beta - Corso Po 1");

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2014", true);
        const std::pair<const char*, const char*> people[] = {
            {"D'Angelo", "nota con 50% di sconto"}, {"Rossi", "pagato * in contanti"}, {"Ferrosi", "chi? nessuno"},
            {"ROSSINI", "niente"}, {"Rosa", "50 per cento"}};
        for (const auto& [surname, note] : people) {
            office.db().exec("INSERT INTO Anagrafe (idCondominio, Cognome, Note) VALUES (?, ?, ?)",
                             {kAlfa, QString::fromUtf8(surname), QString::fromUtf8(note)});
            const qint64 person = office.db().lastInsertId();
            office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, "
                             "MetodoPagamento, Nota) VALUES (?, '2014', '2014-02-01', 'Quota', ?, 'Rata 1', 10, 'Cassa', ?)",
                             {kAlfa, person, QString::fromUtf8(note)});
        }
        office.db().exec("INSERT INTO Anagrafe (idCondominio, Cognome) VALUES (?, 'Rossetti'), ('', 'Rossa senza condominio')",
                         {kBeta});
        office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Nome, Importo, MetodoPagamento) "
                         "VALUES (?, '2014', '2014-02-01', 'Quota', 'Rata 1', 99, 'Cassa')", {kBeta});
    }
    void choose(const QString& name, Tab tab)
    {
        app::WindowRequest request;
        request.change = name.isEmpty() ? app::SelectionChange::Clear : app::SelectionChange::Choose;
        request.condominium = name;
        request.tab = tab;
        app::refreshWindow(office.ws(), request);
    }
    QStringList search(SearchKind kind, Tab tab, const QString& typed, const char* column)
    {
        const std::optional<search::SearchTarget> target = search::searchTarget(kind, tab);
        if (!target)
            return {"<none>"};
        search::applySearch(office.ws(), *target, typed);
        store::Dataset& ds = office.ws().ds(target->dataset);
        QStringList out;
        for (int row = 0; row < ds.rowCount(); ++row)
            out << ds.valueAt(row, column).toString();
        out.sort();
        return out;
    }
    test::Office office;
};

} // namespace

TEST(SearchTable, EachMenuItemSearchesItsFieldOnlyOnItsTabs)
{
    const auto mode = [](SearchKind k, Tab t) {
        const auto target = search::searchTarget(k, t);
        return target ? target->mode + u'/' + target->dataset + u'/' + target->field : QString();
    };
    EXPECT_EQ(mode(SearchKind::Persona, Tab::Entrate), "Entrate_persona/ADOQueryEntrate/Persona");
    EXPECT_EQ(mode(SearchKind::Persona, Tab::Uscite), "Uscite_persona/ADOQueryUscite/Fornitore");
    EXPECT_EQ(mode(SearchKind::Persona, Tab::Fornitori), "Fornitori_persona/ADOQueryFornitori/Fornitore");
    EXPECT_EQ(mode(SearchKind::Persona, Tab::Anagrafe), "Anagrafe_persona/ADOTableAnagrafe/Cognome");
    EXPECT_EQ(mode(SearchKind::Quota, Tab::Entrate), "Entrate_quota/ADOQueryEntrate/Nome");
    EXPECT_EQ(mode(SearchKind::Quota, Tab::Uscite), "Uscite_quota/ADOQueryUscite/Causale");
    EXPECT_EQ(mode(SearchKind::Nota, Tab::Fornitori), "Fornitori_nota/ADOQueryFornitori/Note");
    EXPECT_EQ(mode(SearchKind::Nota, Tab::Anagrafe), "Anagrafe_nota/ADOTableAnagrafe/Note");
    for (Tab tab : {Tab::Agenda, Tab::Interventi, Tab::Condomini, Tab::Memo, Tab::Preventivo, Tab::Locali, Tab::Quote, Tab::Stampe})
        for (SearchKind kind : {SearchKind::Persona, SearchKind::Quota, SearchKind::Nota})
            EXPECT_EQ(mode(kind, tab), QString()) << int(tab);
    EXPECT_EQ(mode(SearchKind::Quota, Tab::Fornitori), QString());
    EXPECT_EQ(mode(SearchKind::Quota, Tab::Anagrafe), QString());
    EXPECT_EQ(search::searchPrompt(SearchKind::Quota).text, "Digita il nome della quota\\causale");
}

TEST(SearchTable, FiltersQuoteTheCondominiumAndTheTypedText)
{
    const auto persons = *search::searchTarget(SearchKind::Persona, Tab::Anagrafe);
    EXPECT_EQ(search::searchFilter(persons, kAlfa, "ros"),
              "IdCondominio='Alfa - Via dell''Orso 3' AND IdCondominio<>'' AND Cognome LIKE '*ros*'");
    EXPECT_EQ(search::searchFilter(persons, kAlfa, ""), "IdCondominio='Alfa - Via dell''Orso 3'");
    EXPECT_EQ(search::searchFilter(persons, "", ""), "IdCondominio<>''");
    const auto suppliers = *search::searchTarget(SearchKind::Persona, Tab::Fornitori);
    EXPECT_EQ(search::searchFilter(suppliers, "", ""), "");
    EXPECT_EQ(search::searchFilter(suppliers, "", "d'a*?["), "Fornitore LIKE '*d''a[*][?][[]*'");
}

TEST_F(Search, TypedLettersNarrowTheCondominiumsRegisterWithoutRegardToCase)
{
    choose(kAlfa, Tab::Anagrafe);
    EXPECT_EQ(search(SearchKind::Persona, Tab::Anagrafe, "ros", "Cognome"), QStringList({"Ferrosi", "ROSSINI", "Rosa", "Rossi"}));
    EXPECT_EQ(search(SearchKind::Persona, Tab::Anagrafe, "ROSS", "Cognome"), QStringList({"ROSSINI", "Rossi"}));
    // Deleting the text gives the condominium's whole register back.
    EXPECT_EQ(search(SearchKind::Persona, Tab::Anagrafe, "", "Cognome").size(), 5);
    choose(QString(), Tab::Anagrafe);
    EXPECT_EQ(search(SearchKind::Persona, Tab::Anagrafe, "ross", "Cognome"),
              QStringList({"ROSSINI", "Rossetti", "Rossi"})) << "persons attached to no condominium stay out";
}

TEST_F(Search, ApostrophesAndWildcardsTypedByTheUserMatchThemselves)
{
    choose(kAlfa, Tab::Entrate);
    EXPECT_EQ(search(SearchKind::Persona, Tab::Entrate, "d'a", "Persona"), QStringList{"D'Angelo"});
    EXPECT_EQ(search(SearchKind::Nota, Tab::Entrate, "*", "Nota"), QStringList{"pagato * in contanti"});
    EXPECT_EQ(search(SearchKind::Nota, Tab::Entrate, "?", "Nota"), QStringList{"chi? nessuno"});
    EXPECT_EQ(search(SearchKind::Nota, Tab::Entrate, "50%", "Nota"), QStringList{"nota con 50% di sconto"});
    EXPECT_EQ(search(SearchKind::Nota, Tab::Entrate, "%", "Nota"), QStringList{"nota con 50% di sconto"});
    EXPECT_TRUE(search(SearchKind::Nota, Tab::Entrate, "c?i", "Nota").isEmpty()) << "? is not a wildcard here";
    EXPECT_TRUE(search(SearchKind::Nota, Tab::Entrate, "[", "Nota").isEmpty());
    EXPECT_TRUE(search(SearchKind::Nota, Tab::Entrate, "' OR 1=1 --", "Nota").isEmpty());
    EXPECT_EQ(search(SearchKind::Quota, Tab::Entrate, "rata 1", "Nome").size(), 5) << "only the chosen condominium";
}

TEST_F(Search, TheTotalsFollowTheFilteredIncome)
{
    choose(kAlfa, Tab::Entrate);
    EXPECT_EQ(cashbook::RicalcolaSaldi(office.ws()).textEntrateC(), "50.00");
    search(SearchKind::Persona, Tab::Entrate, "ross", "Persona");
    EXPECT_EQ(cashbook::RicalcolaSaldi(office.ws()).textEntrateC(), "20.00") << "Rossi and ROSSINI";
    choose(QString(), Tab::Entrate);
    search(SearchKind::Nota, Tab::Entrate, "", "Nota");
    EXPECT_EQ(cashbook::RicalcolaSaldi(office.ws()).textEntrateC(), "149.00") << "no condominium: every row";
}

// A key stroke narrows the rows already read in memory; the rows must be exactly those the
// register's statement gives with the search filter, for every mode, with and without a
// condominium, whatever is typed (accents, letter case, wildcards, quotes), and so must the totals.
TEST_F(Search, NarrowingInMemoryGivesTheStatementsRowsForEveryModeAndText)
{
    office.db().exec("INSERT INTO Anagrafe (idCondominio, Cognome, Note) VALUES (?, 'Città', 'perché È così'), "
                     "(?, 'ÈLLERO', NULL), (?, 'Nicolò', '[x] 50%')", {kAlfa, kBeta, kBeta});
    office.db().exec("INSERT INTO Fornitori (Cognome, Nome, Note) VALUES ('Àrea Verde', 'S.r.l.', 'giardino? sì'), "
                     "('Rossi Impianti', NULL, NULL)");
    office.db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) SELECT id, ? FROM Fornitori", {kAlfa});
    office.db().exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, Causale, DataPagamento, Pagamento, pagato, ImportoLordo, "
                     "Nota) SELECT ?, '2014', id, 'Manutenzione è ordinaria', '2014-03-01', 'Cassa', 1, 12.5, Note FROM Fornitori",
                     {kAlfa});
    office.db().exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, Causale, DataPagamento, Pagamento, pagato, ImportoLordo) "
                     "SELECT ?, '2014', id, 'Pulizia scale', '2014-04-01', 'Conto corrente', 1, 7 FROM Fornitori", {kBeta});
    const QStringList typed = {"", "r", "ro", "ROS", "à", "È", "è", "ò", "citt", "*", "?", "%", "[", "[x]", "'", "d'a",
                               "50%", "s.r.l.", "rata 1", "zz", " ", "e c"};
    const auto rowsOf = [](store::Dataset& ds) {
        QStringList out;
        for (int row = 0; row < ds.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < ds.fieldNames().size(); ++column)
                cells << ds.valueAt(row, column).toString();
            out << cells.join(u'|');
        }
        out.sort();
        return out;
    };
    int compared = 0, nonEmpty = 0;
    for (const QString& condominium : {kAlfa, QString()}) {
        for (Tab tab : {Tab::Entrate, Tab::Uscite, Tab::Fornitori, Tab::Anagrafe}) {
            for (SearchKind kind : {SearchKind::Persona, SearchKind::Quota, SearchKind::Nota}) {
                const auto target = search::searchTarget(kind, tab);
                if (!target)
                    continue;
                choose(condominium, tab);
                store::Dataset& ds = office.ws().ds(target->dataset);
                for (const QString& text : typed) {
                    ds.setFilter(search::searchFilter(*target, condominium, text));
                    const QStringList byStatement = rowsOf(ds);
                    const cashbook::Balances statementTotals = cashbook::totalsOfShownRows(office.ws());
                    search::applySearch(office.ws(), *target, text);
                    const QStringList inMemory = rowsOf(ds);
                    ASSERT_EQ(inMemory, byStatement) << qPrintable(target->mode + " '" + text + "' in '" + condominium + "'");
                    const cashbook::Balances totals = cashbook::totalsOfShownRows(office.ws());
                    EXPECT_EQ(totals.textEntrateC() + totals.textEntrateCC() + totals.textUsciteC() + totals.textUsciteCC(),
                              statementTotals.textEntrateC() + statementTotals.textEntrateCC() + statementTotals.textUsciteC()
                                  + statementTotals.textUsciteCC());
                    ++compared;
                    nonEmpty += inMemory.isEmpty() ? 0 : 1;
                }
                // A row written while the search is open is in the next key stroke's rows.
                if (target->dataset == QLatin1String("ADOTableAnagrafe")) {
                    search::applySearch(office.ws(), *target, "nuov");
                    const int before = ds.rowCount();
                    office.db().exec("INSERT INTO Anagrafe (idCondominio, Cognome, Note) VALUES (?, 'Nuovo', 'nuova nota')",
                                     {kAlfa});
                    ds.requery();
                    EXPECT_EQ(ds.rowCount(), before + 1) << qPrintable(target->mode);
                    office.db().exec("DELETE FROM Anagrafe WHERE Cognome = 'Nuovo'");
                }
            }
        }
    }
    EXPECT_EQ(compared, 2 * 10 * typed.size());
    EXPECT_GT(nonEmpty, compared / 4) << "the texts must find rows, or the comparison proves little";
}
