#include "window/GridLayout.h"
#include "window/TabTestData.h"

using namespace velcaris;
using app::Tab;
using app::TabToggles;
using velcaris::test::kDangelo;
using velcaris::test::TabTest;

namespace {

const app::ColumnView& col(const QVector<app::ColumnView>& cols, const QString& field)
{
    for (const auto& c : cols)
        if (c.field == field)
            return c;
    static const app::ColumnView none{"<missing>", false, -2, QString()};
    return none;
}

app::GridLayout only(Tab tab, const TabToggles& t = {}, bool completa = false)
{
    const auto layouts = app::gridLayouts(tab, t, completa);
    EXPECT_EQ(layouts.size(), 1);
    return layouts.value(0);
}

} // namespace

TEST_F(TabTest, EntrateShowsItalianTitlesAndHidesItsKeys)
{
    choose(kDangelo);
    const auto cols = app::resolveColumns(only(Tab::Entrate), ws.ds("ADOQueryEntrate").fieldNames());
    for (const char* hidden : {"Id", "IdPersona", "AA"})
        EXPECT_TRUE(col(cols, hidden).hidden) << hidden;
    QStringList titles;
    for (const auto& c : cols)
        if (!c.hidden)
            titles << c.title;
    EXPECT_EQ(titles, QStringList({"Condominio", "Data pagamento", "Tipo di movimento", "Persona", "Nome quota", "Importo",
                                   "Metodo di pagamento", "Tipologia di pagamento", "Ricevuta", "Nota"}));
    EXPECT_TRUE(col(cols, "Importo").amount);
    EXPECT_FALSE(col(cols, "Data").amount);
    EXPECT_EQ(col(cols, "Data").width, 85);
}

TEST_F(TabTest, FornitoriShowsTheCondominiumColumnOnlyOverTheFullList)
{
    choose(QString());
    app::LoadActiveTab(ws, Tab::Fornitori, {});
    auto cols = app::resolveColumns(only(Tab::Fornitori, {}, true), ws.ds("ADOQueryFornitori").fieldNames());
    EXPECT_FALSE(col(cols, "idCondominio").hidden);
    EXPECT_EQ(col(cols, "idCondominio").title, "idCondominio");
    EXPECT_TRUE(col(cols, "Cognome").hidden);
    EXPECT_EQ(col(cols, "PartitaIVA").title, "P. IVA");
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Fornitori, {});
    cols = app::resolveColumns(only(Tab::Fornitori, {}, false), ws.ds("ADOQueryFornitori").fieldNames());
    EXPECT_TRUE(col(cols, "idCondominio").hidden);
    EXPECT_TRUE(only(Tab::Fornitori).multiSelect);
}

TEST_F(TabTest, LocaliGroupedLayoutsHideTheFirstColumnWhateverItIs)
{
    choose(kDangelo);
    TabToggles t;
    t.proprietario = true;
    app::LoadActiveTab(ws, Tab::Locali, t);
    const auto cols = app::resolveColumns(only(Tab::Locali, t), ws.ds("ADOQueryLocali").fieldNames());
    ASSERT_EQ(cols.size(), 5);
    EXPECT_EQ(cols[0].field, "Locali");
    EXPECT_TRUE(cols[0].hidden);
    EXPECT_EQ(cols[1].width, 150);
    EXPECT_FALSE(cols[1].hidden);
    EXPECT_EQ(cols[2].width, -1);
    EXPECT_EQ(cols[2].title, "A");

    const auto units = app::resolveColumns(only(Tab::Locali), QStringList({"Id", "idProprietario", "IdTipologia", "Scale"}));
    EXPECT_TRUE(units[0].hidden);
    EXPECT_TRUE(units[1].hidden); // names match without regard to case
    EXPECT_EQ(units[2].title, "Tipologia");
    EXPECT_EQ(units[2].width, 80);
    EXPECT_FALSE(units[3].hidden);
    EXPECT_FALSE(only(Tab::Locali).wholeRowSelection);
    EXPECT_FALSE(only(Tab::Locali).movableColumns);
}

TEST_F(TabTest, UsciteExportsOnlyTheVisibleColumns)
{
    const QStringList fields = ws.ds("ADOQueryUscite").fieldNames();
    const QStringList exported = app::exportedFields(only(Tab::Uscite), fields);
    QStringList expected{"Condominio", "Fornitore", "TotaleUscito", "Causale", "DataPagamento", "NumFattura", "Pagamento",
                         "Tipologia", "TipoSpesa", "scala", "pagato", "Nota"};
    QStringList sortedExported = exported;
    sortedExported.sort(Qt::CaseInsensitive);
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(sortedExported, expected);
    // In the dataset's field order, and a field the layout does not name is exported too.
    EXPECT_EQ(exported.first(), "Condominio");
    EXPECT_EQ(app::exportedFields(only(Tab::Uscite), {"Id", "Extra", "Nota"}), QStringList({"Extra", "Nota"}));
    EXPECT_EQ(col(app::resolveColumns(only(Tab::Uscite), fields), "TotaleUscito").title, "Importo");
}

TEST_F(TabTest, QuoteGridsHideTheirKeysAndKeepHiddenTheTenantOfTheSingleView)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Quote, {});
    const auto layouts = app::gridLayouts(Tab::Quote, {}, false);
    ASSERT_EQ(layouts.size(), 2);
    const auto single = app::resolveColumns(layouts[0], ws.ds("ADOQueryQuoteSingole").fieldNames());
    EXPECT_EQ(layouts[0].grid, "DBGridQuoteSingole");
    EXPECT_TRUE(col(single, "Inquilino").hidden); // named twice: the width does not show it again
    EXPECT_EQ(col(single, "Inquilino").width, 150);
    EXPECT_TRUE(col(single, "idLocale").hidden);
    EXPECT_FALSE(col(single, "Rata 1").hidden);
    EXPECT_TRUE(col(single, "Rata 1").amount) << "the quota columns show amounts";
    EXPECT_FALSE(col(single, "Proprietario").amount);
    const auto grouped = app::resolveColumns(layouts[1], ws.ds("ADOQueryQuoteAccorpate").fieldNames());
    EXPECT_TRUE(col(grouped, "Conteggio_locali").hidden);
    EXPECT_FALSE(col(grouped, "Inquilino").hidden);
    for (const auto& g : layouts) {
        EXPECT_FALSE(g.rowIndicator);
        EXPECT_FALSE(g.wholeRowSelection);
        EXPECT_TRUE(g.sortable);
    }
}

TEST_F(TabTest, EveryNamedColumnExistsInItsDataset)
{
    choose(kDangelo);
    const struct { Tab tab; QStringList datasets; } tabs[] = {
        {Tab::Agenda, {"ADOTableScadenzario"}},   {Tab::Interventi, {"ADOQueryInterventi"}},
        {Tab::Entrate, {"ADOQueryEntrate"}},      {Tab::Uscite, {"ADOQueryUscite"}},
        {Tab::Preventivo, {"ADOQueryPreventivi"}}, {Tab::Condomini, {"ADOTableTabelle"}},
        {Tab::Anagrafe, {"ADOTableAnagrafe"}},    {Tab::Fornitori, {"ADOQueryFornitori"}},
        {Tab::Locali, {"ADOQueryLocali"}},        {Tab::Quote, {"ADOQueryQuoteSingole", "ADOQueryQuoteAccorpate"}}};
    for (const auto& t : tabs) {
        app::LoadActiveTab(ws, t.tab, {});
        const auto layouts = app::gridLayouts(t.tab, {}, false);
        ASSERT_EQ(layouts.size(), t.datasets.size());
        for (int i = 0; i < layouts.size(); ++i) {
            auto& d = ws.ds(t.datasets[i]);
            for (const auto& s : layouts[i].settings)
                EXPECT_TRUE(d.hasField(s.field)) << layouts[i].grid.toStdString() << ": " << s.field.toStdString();
        }
    }
    EXPECT_TRUE(app::gridLayouts(Tab::Memo, {}, false).isEmpty());
    EXPECT_TRUE(app::gridLayouts(Tab::Stampe, {}, false).isEmpty());
    EXPECT_FALSE(only(Tab::Preventivo).sortable);
    EXPECT_FALSE(only(Tab::Agenda).rowIndicator);
    EXPECT_TRUE(only(Tab::Anagrafe).multiSelect);
    EXPECT_FALSE(only(Tab::Entrate).multiSelect);
}

TEST(GridLayout, LaterSettingsWinAndUnnamedColumnsKeepTheirDefaults)
{
    app::GridLayout g{"G", {{"a", false, 10, "Primo"}, {"A", true, 20, QString()}, {"b", false, -1, "Bi"}}};
    const auto cols = app::resolveColumns(g, {"A", "b", "c"});
    EXPECT_TRUE(cols[0].hidden);
    EXPECT_EQ(cols[0].width, 20);
    EXPECT_EQ(cols[0].title, "Primo"); // the later setting has no title to give
    EXPECT_EQ(cols[1].width, -1);
    EXPECT_EQ(cols[1].title, "Bi");
    EXPECT_EQ(cols[2].title, "c");
    EXPECT_FALSE(cols[2].hidden);
    // A setting for a field the dataset lacks changes nothing.
    EXPECT_EQ(app::resolveColumns({"G", {{"zz", true}}}, {"x"})[0].hidden, false);
}

TEST(SortAfterTitleClick, SingleClicksToggleTheDirectionOfOneField)
{
    EXPECT_EQ(app::sortAfterTitleClick("", "Nome", false), "Nome ASC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome ASC", "Nome", false), "Nome DESC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome DESC", "nome", false), "nome ASC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome", "Nome", false), "Nome DESC"); // no word means ascending
    EXPECT_EQ(app::sortAfterTitleClick("Nome DESC,Id ASC", "Id", false), "Id ASC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome ASC,Id ASC", "Nome", false), "Nome DESC");
    EXPECT_EQ(app::sortAfterTitleClick("", "Rata 1", false), "[Rata 1] ASC");
    EXPECT_EQ(app::sortAfterTitleClick("[Rata 1] ASC", "Rata 1", false), "[Rata 1] DESC");
}

TEST(SortAfterTitleClick, CombinedClicksAddOrToggleWithinTheSort)
{
    EXPECT_EQ(app::sortAfterTitleClick("", "Nome", true), "Nome ASC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome ASC", "Id", true), "Nome ASC,Id ASC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome ASC,Id ASC", "ID", true), "Nome ASC,Id DESC");
    EXPECT_EQ(app::sortAfterTitleClick("Nome ASC, [Rata 1] desc", "Rata 1", true), "Nome ASC,[Rata 1] ASC");
}

TEST_F(TabTest, TitleClickSortsAreAcceptedByTheDataset)
{
    choose(kDangelo);
    app::LoadActiveTab(ws, Tab::Quote, app::TabToggles{});
    auto& g = ws.ds("ADOQueryQuoteAccorpate");
    QString sort = app::sortAfterTitleClick(g.sort(), "Rata 1", false);
    g.setSort(sort);
    sort = app::sortAfterTitleClick(g.sort(), "Inquilino", true);
    g.setSort(sort);
    EXPECT_EQ(g.sort(), "[Rata 1] ASC,Inquilino ASC");
    EXPECT_EQ(column("ADOQueryQuoteAccorpate", "Inquilino"), QStringList({"Rossi Mario", "Verdi", "Bianchi"}));
}
