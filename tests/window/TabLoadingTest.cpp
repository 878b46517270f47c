#include "window/Commands.h"
#include "window/TabLoading.h"

#include <QSet>
#include "window/TabTestData.h"

using namespace velcaris;
using app::Tab;
using app::TabToggles;
using velcaris::test::kBeta;
using velcaris::test::kDangelo;
using velcaris::test::TabTest;

namespace {

const app::FooterSum* footer(const app::TabView& v, const QString& grid, const QString& field)
{
    for (const auto& f : v.footers)
        if (f.grid == grid && f.field == field)
            return &f;
    return nullptr;
}

TabToggles mode(bool pagare, bool pagato)
{
    TabToggles t;
    t.pagare = pagare;
    t.pagato = pagato;
    return t;
}

} // namespace

TEST(TabFilters, AgendaAndInterventionsFollowTheToggleAndTheCondominium)
{
    EXPECT_EQ(app::agendaFilter(kDangelo, true), "Condominio='D''Angelo - Via dell''Orso 3'");
    EXPECT_EQ(app::agendaFilter(QString(), true), "");
    EXPECT_EQ(app::agendaFilter(kDangelo, false), "Condominio='D''Angelo - Via dell''Orso 3' AND esito=false");
    EXPECT_EQ(app::agendaFilter(QString(), false), "esito=false");
    EXPECT_EQ(app::interventionsFilter(kDangelo, true), "Condominio='D''Angelo - Via dell''Orso 3'");
    EXPECT_EQ(app::interventionsFilter(QString(), true), "");
    EXPECT_EQ(app::interventionsFilter(kDangelo, false), "Condominio='D''Angelo - Via dell''Orso 3' AND concluso=false");
    EXPECT_EQ(app::interventionsFilter(QString(), false), "concluso=false");
}

TEST_F(TabTest, AgendaAndInterventiTabsFilterTheirRegistersByQuotedName)
{
    ws.mainDb().exec("INSERT INTO Scadenzario (Condominio, Descrizione, Esito) VALUES (?, 'aperta', 0), (?, 'chiusa', 1), "
                     "(?, 'altra', 0)", {kDangelo, kDangelo, kBeta});
    ws.mainDb().exec("INSERT INTO Interventi (Condominio, AA, Contatto, Concluso) VALUES (?, '2014', 'c1', 0), "
                     "(?, '2014', 'c2', 1), (?, '2013', 'vecchio', 0)", {kDangelo, kDangelo, kDangelo});
    choose(kDangelo);
    TabToggles t;
    app::LoadActiveTab(ws, Tab::Agenda, t);
    EXPECT_EQ(column("ADOTableScadenzario", "Descrizione"), QStringList({"aperta"}));
    t.esitoPositivo = true;
    app::LoadActiveTab(ws, Tab::Agenda, t);
    EXPECT_EQ(column("ADOTableScadenzario", "Descrizione").size(), 2);
    choose(QString());
    app::LoadActiveTab(ws, Tab::Agenda, t);
    EXPECT_EQ(column("ADOTableScadenzario", "Descrizione").size(), 3);

    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Interventi, t);
    EXPECT_EQ(column("ADOQueryInterventi", "Contatto"), QStringList({"c1"})); // current year only
    t.conclusi = true;
    app::LoadActiveTab(ws, Tab::Interventi, t);
    EXPECT_EQ(column("ADOQueryInterventi", "Contatto").size(), 2);
}

TEST_F(TabTest, MemoTabShowsTheCondominiumNotesOnlyWithACondominium)
{
    choose(kDangelo);
    EXPECT_EQ(app::LoadActiveTab(ws, Tab::Memo, {}).showCondominiumMemo, std::optional<bool>(true));
    choose(QString());
    EXPECT_EQ(app::LoadActiveTab(ws, Tab::Memo, {}).showCondominiumMemo, std::optional<bool>(false));
    EXPECT_FALSE(app::LoadActiveTab(ws, Tab::Entrate, {}).showCondominiumMemo.has_value());
}

TEST_F(TabTest, CondominiTabWithACondominiumFillsLabelsYearsAndButtons)
{
    choose(kDangelo);
    const app::TabView v = app::LoadActiveTab(ws, Tab::Condomini, {});
    EXPECT_EQ(v.labels.value("LabelNome"), "D'Angelo");
    EXPECT_EQ(v.labels.value("LabelIndirizzo"), "Via dell'Orso 3");
    EXPECT_EQ(v.labels.value("LabelComune"), "Roma");
    EXPECT_EQ(v.labels.value("LabelIntestatario"), "Cond. D'Angelo");
    EXPECT_EQ(v.labels.value("LabelCC"), "IT60X");
    EXPECT_EQ(v.labels.value("LabelMicrozona"), "2");
    EXPECT_EQ(v.labels.value("LabelDI"), "01/01/2014");
    EXPECT_EQ(v.labels.value("LabelDF"), "31/12/2014");
    EXPECT_EQ(v.approvato, std::optional<bool>(true));
    EXPECT_TRUE(v.yearBound);
    EXPECT_EQ(v.currentYearId, 2);
    ASSERT_EQ(v.years.size(), 2); // only this condominium's, newest first
    EXPECT_EQ(v.years[0], qMakePair(qint64(2), QString("2014")));
    EXPECT_EQ(v.years[1], qMakePair(qint64(1), QString("2013")));
    EXPECT_EQ(ws.selection.selectedYearName, "2014");
    for (const char* b : {"AAaggiungi", "AAmodifica", "TBAggiungi", "TBmodifica", "TBElimina"})
        EXPECT_TRUE(v.enabled.value(b)) << b;
    EXPECT_EQ(column("ADOTableTabelle", "Nome"), QStringList({"A", "Ascensore", "Scale"}));
    // The year filter belongs to this tab alone.
    EXPECT_FALSE(ws.ds("ADOTableAA").filter().isEmpty());
    app::LoadActiveTab(ws, Tab::Entrate, {});
    EXPECT_TRUE(ws.ds("ADOTableAA").filter().isEmpty());
    EXPECT_EQ(ws.ds("ADOTableAA").rowCount(), 4);
}

TEST_F(TabTest, CondominiTabWithoutTablesOrCurrentYear)
{
    ws.mainDb().exec("DELETE FROM Tabelle WHERE Id_Condominio = ?", {kBeta});
    ws.selection.selectedYearName = "2014";
    choose(kBeta);
    const app::TabView v = app::LoadActiveTab(ws, Tab::Condomini, {});
    EXPECT_TRUE(v.enabled.value("TBAggiungi"));
    EXPECT_FALSE(v.enabled.value("TBmodifica"));
    EXPECT_FALSE(v.enabled.value("TBElimina"));
    EXPECT_TRUE(v.enabled.value("AAaggiungi"));
    EXPECT_FALSE(v.yearBound);
    EXPECT_TRUE(v.years.isEmpty());
    EXPECT_EQ(ws.selection.selectedYearName, "2014"); // untouched
    // The first year row of the condominium in the dataset's order (newest Id first).
    EXPECT_EQ(v.labels.value("LabelDI"), "01/02/2014");
    EXPECT_EQ(v.approvato, std::optional<bool>(true));
    EXPECT_EQ(v.labels.value("LabelComune"), "Milano");
    EXPECT_EQ(v.labels.value("LabelNome"), "Beta");
}

TEST_F(TabTest, CondominiTabWithoutACondominiumIsBlankAndDisabled)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Condomini, {});
    choose(QString());
    const app::TabView v = app::LoadActiveTab(ws, Tab::Condomini, {});
    for (const char* label : {"LabelNome", "LabelIndirizzo", "LabelComune", "LabelCodiceFiscale", "LabelCC", "LabelIntestatario",
                              "LabelBanca", "LabelAscensore", "LabelSezioneUrbana", "LabelFoglio", "LabelParticella", "LabelSub",
                              "LabelZonaCensuaria", "LabelMicrozona", "LabelDI", "LabelDF"}) {
        ASSERT_TRUE(v.labels.contains(label)) << label;
        EXPECT_EQ(v.labels.value(label), "") << label;
    }
    EXPECT_EQ(v.approvato, std::optional<bool>(false));
    for (const char* b : {"AAaggiungi", "AAmodifica", "TBAggiungi", "TBmodifica", "TBElimina"})
        EXPECT_FALSE(v.enabled.value(b, true)) << b;
    EXPECT_EQ(ws.ds("ADOTableTabelle").rowCount(), 0);
}

TEST_F(TabTest, CondominiTabLabelsComeFromTheChosenRowEvenWhenNotFiltered)
{
    ws.selection.condominium = kBeta; // ADOTableCondomini still on its first row, D'Angelo
    const app::TabView v = app::LoadActiveTab(ws, Tab::Condomini, {});
    EXPECT_EQ(v.labels.value("LabelComune"), "Milano");
}

TEST_F(TabTest, PreventivoFollowsTheCurrentYear)
{
    choose(kDangelo);
    app::TabView v = app::LoadActiveTab(ws, Tab::Preventivo, {});
    EXPECT_EQ(v.labels.value("LabelAA"), "2014");
    EXPECT_EQ(column("ADOQueryPreventivi", "DescrizioneVoceSpesa"), QStringList({"Luce", "Pulizia"})); // Tabella ASC
    const auto* spesa = footer(v, "DBGridPreventivi", "Spesa");
    ASSERT_NE(spesa, nullptr);
    EXPECT_DOUBLE_EQ(spesa->sum, 200.5);

    ws.mainDb().exec("UPDATE AnnoAmministrativo SET corrente = (nome = '2013') WHERE idCondominio = ?", {kDangelo});
    v = app::LoadActiveTab(ws, Tab::Preventivo, {});
    EXPECT_EQ(v.labels.value("LabelAA"), "2013");
    EXPECT_EQ(column("ADOQueryPreventivi", "DescrizioneVoceSpesa"), QStringList({"Vecchia"}));
    EXPECT_DOUBLE_EQ(footer(v, "DBGridPreventivi", "Spesa")->sum, 50);

    choose(QString());
    v = app::LoadActiveTab(ws, Tab::Preventivo, {});
    EXPECT_EQ(v.labels.value("LabelAA", "x"), "");
    EXPECT_EQ(ws.ds("ADOQueryPreventivi").rowCount(), 0);
    EXPECT_EQ(ws.ds("ADOQueryPreventivi").sort(), "Tabella ASC,Id ASC");
}

TEST_F(TabTest, AnagrafeListsTheCondominiumsPersons)
{
    choose(QString());
    app::LoadActiveTab(ws, Tab::Anagrafe, {});
    EXPECT_EQ(ws.ds("ADOTableAnagrafe").rowCount(), 4); // not the person of no condominium
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Anagrafe, {});
    EXPECT_EQ(column("ADOTableAnagrafe", "Cognome"), QStringList({"Rossi", "Bianchi", "Verdi"}));
    app::LoadActiveTab(ws, Tab::Stampe, {});
    EXPECT_EQ(column("ADOTableAnagrafe", "Cognome"), QStringList({"Bianchi", "Rossi", "Verdi"}));
}

TEST_F(TabTest, FornitoriSourceFollowsTheSelection)
{
    auto& f = ws.ds("ADOQueryFornitori");
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Fornitori, {});
    EXPECT_EQ(f.tableName(), "QueryFornitori");
    EXPECT_EQ(column("ADOQueryFornitori", "Fornitore"), QStringList({"Acme", "Zanetti Ivo"}));
    EXPECT_EQ(f.sort(), "Fornitore ASC");

    choose(QString());
    app::LoadActiveTab(ws, Tab::Fornitori, {});
    EXPECT_EQ(f.tableName(), "QueryFornitoriCompleta");
    EXPECT_EQ(f.filter(), ""); // the condominium's filter does not follow onto the full list
    EXPECT_EQ(column("ADOQueryFornitori", "Fornitore"), QStringList({"Acme", "Idraulica", "Zanetti Ivo"}));

    choose(kBeta);
    app::LoadActiveTab(ws, Tab::Stampe, {});
    EXPECT_EQ(column("ADOQueryFornitori", "Fornitore"), QStringList({"Acme"}));
}

TEST_F(TabTest, UnitViewOnePerUnitWithTablesInNameOrder)
{
    choose(kDangelo);
    const app::TabView v = app::LoadActiveTab(ws, Tab::Locali, {});
    auto& d = ws.ds("ADOQueryLocali");
    EXPECT_EQ(d.fieldNames(), QStringList({"Id", "IdCondominio", "Nome", "idProprietario", "idInquilino", "IdTipologia", "Piano",
                                           "Scala", "Foglio", "Particella", "Sub", "Proprietario", "Inquilino",
                                           "PartecipazioneORD", "PartecipazioneSTR", "A", "Ascensore", "Scale"}));
    ASSERT_EQ(d.rowCount(), 3);
    EXPECT_EQ(column("ADOQueryLocali", "Proprietario"), QStringList({"Rossi Mario", "Rossi Mario", "Verdi"}));
    EXPECT_EQ(column("ADOQueryLocali", "Inquilino"), QStringList({"Bianchi", "Rossi Mario", "Verdi"}));
    EXPECT_DOUBLE_EQ(d.valueAt(1, "A").toDouble(), 450.5);
    EXPECT_TRUE(d.valueAt(2, "Scale").isNull()); // no thousandths in that table
    EXPECT_EQ(d.displayText(1, d.fieldIndex("A")), "450.500");
    EXPECT_EQ(d.displayFormat("Scale"), "0.000");
    ASSERT_EQ(v.footers.size(), 3);
    EXPECT_EQ(v.footers[0].field, "A");
    EXPECT_DOUBLE_EQ(footer(v, "DBGridLocali", "A")->sum, 1000);
    EXPECT_DOUBLE_EQ(footer(v, "DBGridLocali", "Ascensore")->sum, 100);
    EXPECT_DOUBLE_EQ(footer(v, "DBGridLocali", "Scale")->sum, 1000);
    EXPECT_EQ(footer(v, "DBGridLocali", "Scale")->format, "0.000");
}

TEST_F(TabTest, UnitViewGroupedByOwnerOrTenant)
{
    choose(kDangelo);
    TabToggles t;
    t.proprietario = true;
    app::TabView v = app::LoadActiveTab(ws, Tab::Locali, t);
    auto& d = ws.ds("ADOQueryLocali");
    EXPECT_EQ(d.fieldNames(), QStringList({"Locali", "Proprietario", "A", "Ascensore", "Scale"}));
    ASSERT_EQ(d.rowCount(), 2);
    d.setSort("Proprietario ASC");
    EXPECT_EQ(column("ADOQueryLocali", "Proprietario"), QStringList({"Rossi Mario", "Verdi"}));
    EXPECT_EQ(column("ADOQueryLocali", "Locali"), QStringList({"2", "1"})); // units, not thousandths rows
    EXPECT_DOUBLE_EQ(d.valueAt(0, "A").toDouble(), 700.5);
    EXPECT_DOUBLE_EQ(d.valueAt(0, "Scale").toDouble(), 1000);
    EXPECT_EQ(d.displayText(0, d.fieldIndex("A")), "700.500");
    EXPECT_DOUBLE_EQ(footer(v, "DBGridLocali", "A")->sum, 1000);

    t.proprietario = false;
    t.inquilino = true;
    v = app::LoadActiveTab(ws, Tab::Locali, t);
    EXPECT_EQ(d.fieldNames(), QStringList({"Locali", "Inquilino", "A", "Ascensore", "Scale"}));
    EXPECT_EQ(d.sort(), ""); // the owner column is gone, and so is its sort
    d.setSort("Inquilino ASC");
    EXPECT_EQ(column("ADOQueryLocali", "Inquilino"), QStringList({"Bianchi", "Rossi Mario", "Verdi"}));
    EXPECT_EQ(column("ADOQueryLocali", "Locali"), QStringList({"1", "1", "1"}));
    EXPECT_DOUBLE_EQ(d.valueAt(1, "Scale").toDouble(), 700);
}

TEST_F(TabTest, UnitViewKeepsAUsableSortAndDropsAVanishedOne)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Locali, {});
    auto& d = ws.ds("ADOQueryLocali");
    d.setSort("Nome DESC");
    app::LoadActiveTab(ws, Tab::Locali, {});
    EXPECT_EQ(d.sort(), "Nome DESC");
    EXPECT_EQ(column("ADOQueryLocali", "Nome").first(), "Int. 3");
    d.setSort("Scale DESC");
    choose(kBeta); // no table "Scale" there
    app::LoadActiveTab(ws, Tab::Locali, {});
    EXPECT_EQ(d.sort(), "");
    EXPECT_EQ(d.fieldNames().mid(15), QStringList({"Zeta"}));
    EXPECT_EQ(column("ADOQueryLocali", "Proprietario"), QStringList({"Neri Luca"}));
}

TEST_F(TabTest, UnitAndQuotaViewsAreEmptyWithoutACondominium)
{
    ws.mainDb().exec("UPDATE Locali SET IdCondominio = '' WHERE Id = 4"); // an orphan unit must not show either
    ws.mainDb().exec("UPDATE Millesimi SET IdCondominio = '' WHERE IdLocale = 4");
    choose(QString());
    app::TabView v = app::LoadActiveTab(ws, Tab::Locali, {});
    EXPECT_EQ(ws.ds("ADOQueryLocali").rowCount(), 0);
    EXPECT_EQ(ws.ds("ADOQueryLocali").fieldNames().size(), 15);
    EXPECT_TRUE(v.footers.isEmpty());
    v = app::LoadActiveTab(ws, Tab::Quote, {});
    EXPECT_EQ(ws.ds("ADOQueryQuoteSingole").rowCount(), 0);
    EXPECT_EQ(ws.ds("ADOQueryQuoteAccorpate").rowCount(), 0);
    EXPECT_EQ(ws.ds("ADOQueryQuoteAccorpate").fieldNames().size(), 6);
}

TEST_F(TabTest, SingleQuotaViewInEachValueMode)
{
    choose(kDangelo);
    auto& d = ws.ds("ADOQueryQuoteSingole");
    const struct { bool pagare, pagato; double r1u1, r2u1, r1u2, r1u3, sumR1, sumR2; } cases[] = {
        {true, false, 60, 50, 0, 15, 75, 50},      // still to pay; Rata 2 was never paid
        {false, true, 40, 0, 200, 0, 240, 0},      // paid
        {false, false, 100, 50, 200, 15, 315, 50}, // due; the two Rata 1 rows of Int. 3 add up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pagare ? "da pagare" : c.pagato ? "pagato" : "dovuto");
        const app::TabView v = app::LoadActiveTab(ws, Tab::Quote, mode(c.pagare, c.pagato));
        ASSERT_EQ(d.fieldNames(), QStringList({"idLocale", "IdProprietario", "IdInquilino", "Nome", "IdCondominio",
                                               "Proprietario", "Inquilino", "Rata 1", "Rata 2"}));
        d.setSort("idLocale ASC");
        ASSERT_EQ(d.rowCount(), 3);
        EXPECT_DOUBLE_EQ(d.valueAt(0, "Rata 1").toDouble(), c.r1u1);
        EXPECT_DOUBLE_EQ(d.valueAt(0, "Rata 2").toDouble(), c.r2u1);
        EXPECT_DOUBLE_EQ(d.valueAt(1, "Rata 1").toDouble(), c.r1u2);
        EXPECT_DOUBLE_EQ(d.valueAt(2, "Rata 1").toDouble(), c.r1u3);
        EXPECT_TRUE(d.valueAt(1, "Rata 2").isNull());
        EXPECT_EQ(d.displayFormat("Rata 1"), "0.00");
        EXPECT_DOUBLE_EQ(footer(v, "DBGridQuoteSingole", "Rata 1")->sum, c.sumR1);
        EXPECT_DOUBLE_EQ(footer(v, "DBGridQuoteSingole", "Rata 2")->sum, c.sumR2);
        EXPECT_DOUBLE_EQ(footer(v, "DBGridQuoteAccorpate", "Rata 1")->sum, c.sumR1);
        EXPECT_EQ(footer(v, "DBGridQuoteAccorpate", "Rata 2")->format, "0.00");
    }
    EXPECT_EQ(d.displayText(0, d.fieldIndex("Rata 1")), "100.00");
}

TEST_F(TabTest, GroupedQuotaViewOneRowPerOwnerAndTenant)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Quote, mode(false, false));
    auto& g = ws.ds("ADOQueryQuoteAccorpate");
    EXPECT_EQ(g.fieldNames(), QStringList({"IdProprietario", "IdInquilino", "Condominio", "Proprietario", "Inquilino",
                                           "Conteggio_locali", "Rata 1", "Rata 2"}));
    EXPECT_EQ(g.sort(), "Proprietario ASC");
    g.setSort("Proprietario ASC,Inquilino ASC");
    ASSERT_EQ(g.rowCount(), 3);
    EXPECT_EQ(column("ADOQueryQuoteAccorpate", "Inquilino"), QStringList({"Bianchi", "Rossi Mario", "Verdi"}));
    EXPECT_EQ(column("ADOQueryQuoteAccorpate", "Conteggio_locali"), QStringList({"2", "1", "2"})); // quota rows
    EXPECT_EQ(column("ADOQueryQuoteAccorpate", "Condominio").first(), kDangelo);
    EXPECT_DOUBLE_EQ(g.valueAt(0, "Rata 1").toDouble(), 100);
    EXPECT_DOUBLE_EQ(g.valueAt(2, "Rata 1").toDouble(), 15);
}

TEST_F(TabTest, GroupedQuotaViewSortIsSavedAndPutBack)
{
    choose(kDangelo);
    auto& g = ws.ds("ADOQueryQuoteAccorpate");
    app::LoadActiveTab(ws, Tab::Quote, {});
    EXPECT_EQ(ws.savedGroupedQuotaSort, "");
    g.setSort("[Rata 1] DESC");
    app::LoadActiveTab(ws, Tab::Quote, {});
    EXPECT_EQ(ws.savedGroupedQuotaSort, "[Rata 1] DESC");
    EXPECT_EQ(g.sort(), "[Rata 1] DESC");
    EXPECT_EQ(column("ADOQueryQuoteAccorpate", "Inquilino").first(), "Bianchi"); // 60 still due
    // A quota name that no longer exists cannot sort: the owners' order comes back.
    g.setSort("[Rata 2] ASC");
    ws.mainDb().exec("DELETE FROM Quote WHERE NomeQuote = 'Rata 2'");
    app::LoadActiveTab(ws, Tab::Quote, {});
    EXPECT_EQ(ws.savedGroupedQuotaSort, "[Rata 2] ASC");
    EXPECT_EQ(g.sort(), "Proprietario ASC");
}

TEST_F(TabTest, QuotaViewsShowOnlyTheCurrentYear)
{
    choose(kDangelo);
    ws.mainDb().exec("UPDATE AnnoAmministrativo SET corrente = (nome = '2013') WHERE idCondominio = ?", {kDangelo});
    const app::TabView v = app::LoadActiveTab(ws, Tab::Quote, mode(false, false));
    EXPECT_EQ(ws.ds("ADOQueryQuoteSingole").fieldNames().mid(7), QStringList({"Acconto", "Rata 1"}));
    EXPECT_DOUBLE_EQ(footer(v, "DBGridQuoteSingole", "Rata 1")->sum, 999);
}

TEST_F(TabTest, ApostrophesInEveryNameAreQuotedOrBound)
{
    const QString odd = "L'Aquila - Via d'Annunzio 1";
    auto& db = ws.mainDb();
    db.exec("UPDATE Condomini SET Nome = ? WHERE Nome = ?", {odd, kDangelo});
    for (const char* sql : {"UPDATE Anagrafe SET idCondominio = ? WHERE idCondominio = ?",
                            "UPDATE Locali SET IdCondominio = ? WHERE IdCondominio = ?",
                            "UPDATE Tabelle SET Id_Condominio = ? WHERE Id_Condominio = ?",
                            "UPDATE Tabelle SET Nome = 'Scale d''ingresso' WHERE Nome = 'Scale' AND Id_Condominio = ?1 AND ?2 IS NOT NULL",
                            "UPDATE AnnoAmministrativo SET idCondominio = ? WHERE idCondominio = ?",
                            "UPDATE Preventivi SET Condominio = ? WHERE Condominio = ?",
                            "UPDATE Quote SET IdCondominio = ?, NomeQuote = NomeQuote || '''' WHERE IdCondominio = ?",
                            "UPDATE fornitori_associazione SET IdCondominio = ? WHERE IdCondominio = ?"})
        db.exec(sql, {odd, kDangelo});
    choose(odd);
    EXPECT_EQ(app::LoadActiveTab(ws, Tab::Condomini, {}).labels.value("LabelComune"), "Roma");
    EXPECT_EQ(ws.ds("ADOTableTabelle").rowCount(), 3);
    EXPECT_EQ(app::LoadActiveTab(ws, Tab::Preventivo, {}).labels.value("LabelAA"), "2014");
    EXPECT_EQ(ws.ds("ADOQueryPreventivi").rowCount(), 2);
    app::LoadActiveTab(ws, Tab::Anagrafe, {});
    EXPECT_EQ(ws.ds("ADOTableAnagrafe").rowCount(), 3);
    app::LoadActiveTab(ws, Tab::Fornitori, {});
    EXPECT_EQ(ws.ds("ADOQueryFornitori").rowCount(), 2);
    const app::TabView locali = app::LoadActiveTab(ws, Tab::Locali, {});
    EXPECT_EQ(ws.ds("ADOQueryLocali").rowCount(), 3);
    EXPECT_EQ(ws.ds("ADOQueryLocali").fieldNames().mid(15), QStringList({"A", "Ascensore", "Scale d'ingresso"}));
    EXPECT_DOUBLE_EQ(footer(locali, "DBGridLocali", "Scale d'ingresso")->sum, 1000);
    app::LoadActiveTab(ws, Tab::Quote, mode(false, false));
    EXPECT_EQ(ws.ds("ADOQueryQuoteSingole").fieldNames().mid(7), QStringList({"Rata 1'", "Rata 2'"}));
    EXPECT_EQ(ws.ds("ADOQueryQuoteAccorpate").rowCount(), 3);
}

TEST_F(TabTest, TheDetailPanelFollowsTheTenantOfTheRowDoubleClicked)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Quote, mode(false, false));
    store::Dataset& grouped = ws.ds("ADOQueryQuoteAccorpate");
    store::Dataset& single = ws.ds("ADOQueryQuoteSingole");
    ASSERT_GE(grouped.rowCount(), 2);
    QSet<qint64> tenantsSeen;
    for (int row = 0; row < grouped.rowCount(); ++row) {
        app::showGroupedRowQuotas(ws, row);
        EXPECT_EQ(grouped.recNo(), row);
        const qint64 tenant = grouped.valueAt(row, "IdInquilino").toLongLong();
        tenantsSeen.insert(tenant);
        ASSERT_GT(single.rowCount(), 0) << row;
        for (int r = 0; r < single.rowCount(); ++r)
            EXPECT_EQ(single.valueAt(r, "IdInquilino").toLongLong(), tenant);
    }
    EXPECT_GE(tenantsSeen.size(), 2);

    // Before the allocation dialog the panel follows the current row, unless it is open.
    app::showGroupedRowQuotas(ws, 0);
    const QString filterOfFirst = single.filter();
    grouped.moveTo(grouped.rowCount() - 1);
    app::prepareQuotaAllocation(ws, true);
    EXPECT_EQ(single.filter(), filterOfFirst);
    app::prepareQuotaAllocation(ws, false);
    EXPECT_EQ(single.filter(),
              "IdInquilino=" + QString::number(grouped.valueAt(grouped.rowCount() - 1, "IdInquilino").toLongLong()));
}
