#include "allocation/ui/AllocationDialogs.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::keepScreenshot;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

// Alfa: a current year, two persons, the tables Scale, A and Ascensore, one unit, one budget
// item with an expense under it. Beta: nothing but a year.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    test::addCondominiumsWithYear(db, {kAlfa, kBeta}, "2014");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Bianchi', '')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione, Colore) VALUES "
            "(?, 'Scale', 'Pulizia e luce scale', 'clAqua'), (?, 'A', 'Generale', '$00FF8040'), "
            "(?, 'Ascensore', '', 'clRed')",
            {kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Piano, "
            "PartecipazioneORD, PartecipazioneSTR) VALUES (?, 'Int. 1', 1, 1, 'Box', '1', 100, 100)",
            {kAlfa});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 500), "
            "(?, 1, 2, 1000), (?, 1, 3, 250)",
            {kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES "
            "(?, '2014', 'Scale', 'Pulizia', 300), (?, '2014', 'A', 'Assicurazione', 700)",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Uscite (Condominio, AA, Tabella, TipoSpesa) VALUES (?, '2014', 'Scale', 'Pulizia')", {kAlfa});
}

class AllocationDialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({allocation::ui::installDialogs});
        showWindow(kAlfa);
    }
    void TearDown() override
    {
        EXPECT_EQ(count("SELECT COUNT(*) FROM Locali AS l INNER JOIN Tabelle AS t ON t.Id_Condominio = l.IdCondominio "
                        "WHERE (SELECT COUNT(*) FROM Millesimi AS m WHERE m.IdLocale = l.Id AND m.IdTabella = t.Id) <> 1"),
                  0)
            << "one thousandths row per unit and table";
        MainWindowFixture::TearDown();
    }

    QDialog* dialog(const char* name) { return form->findChild<QDialog*>(name); }
    QLineEdit* edit(QDialog* d, const char* name) { return d->findChild<QLineEdit*>(name); }
    QTableView* grid(const char* name) { return form->findChild<QTableView*>(name); }
    // The first row of `view` that shows `value` in some column, made current.
    int pick(QTableView* view, const QString& value)
    {
        auto* model = view->model();
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->index(r, c).data().toString() == value) {
                    view->setCurrentIndex(model->index(r, c));
                    return r;
                }
        return -1;
    }
    QString caption(QDialog* d, QWidget* control)
    {
        for (QLabel* l : d->findChildren<QLabel*>())
            if (l->buddy() == control)
                return l->text();
        return QString();
    }
};

} // namespace

// ---- TFormTabelle ----

TEST_F(AllocationDialogs, ANewTableIsAddedWithTheDefaultColourAndPaintedInTheGrid)
{
    showTab(app::Tab::Condomini);
    click(form.get(), "TBAggiungi");
    QDialog* d = dialog("TFormTabelle");
    ASSERT_TRUE(d && d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Nuova tabella");
    QLineEdit* name = edit(d, "Edit1");
    EXPECT_EQ(caption(d, name), "Nome tabella");
    EXPECT_EQ(caption(d, edit(d, "Edit2")), "Descrizione");
    EXPECT_EQ(name->maxLength(), 50);
    EXPECT_TRUE(name->text().isEmpty());
    auto* swatch = d->findChild<QPushButton*>("Panel1");
    EXPECT_EQ(caption(d, swatch), "Colore");
    EXPECT_EQ(swatch->accessibleDescription(), "clAqua");
    keepScreenshot(*d, "TFormTabelle");

    // An empty name, then a name the condominium has.
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire il nome della tabella"});
    QTest::keyClicks(name, "Ascensore");
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(),
              QStringList{"La tebella Ascensore gia' esiste. Inserire un nome differente per la tabella."});
    ASSERT_TRUE(d->isVisible());

    name->clear();
    QTest::keyClicks(name, "Box e cantine");
    QTest::keyClicks(edit(d, "Edit2"), "Autorimessa");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Nome = 'Box e cantine'"), "clAqua");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi AS m INNER JOIN Tabelle AS t ON t.Id = m.IdTabella "
                    "WHERE t.Nome = 'Box e cantine' AND m.Millesimi = 0"),
              1);

    QTableView* tables = grid("DBGridTabelle");
    const int row = pick(tables, "Box e cantine");
    ASSERT_GE(row, 0);
    EXPECT_EQ(tables->model()->index(row, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 255));
    const int chosen = pick(tables, "A");
    EXPECT_EQ(tables->model()->index(chosen, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(tables->model()->index(chosen, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    keepScreenshot(*form, "CondominiTab");
}

TEST_F(AllocationDialogs, TheSwatchOpensAChooserThatRemembersItsLastColour)
{
    showTab(app::Tab::Condomini);
    click(form.get(), "TBAggiungi");
    QDialog* d = dialog("TFormTabelle");
    ASSERT_TRUE(d && d->isVisible());
    auto* swatch = d->findChild<QPushButton*>("Panel1");
    auto* chooser = d->findChild<QColorDialog*>("ColorDialog1");
    ASSERT_NE(chooser, nullptr);

    QTest::mouseClick(swatch, Qt::LeftButton);
    ASSERT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->currentColor(), QColor(0, 0, 255)) << "clBlue the first time";
    chooser->setCurrentColor(QColor(0x40, 0x80, 0xFF));
    keepScreenshot(*chooser, "ColorDialog1");
    chooser->accept();
    EXPECT_EQ(swatch->accessibleDescription(), "$00FF8040");

    // Cancelling leaves the swatch; the chooser starts again on the colour last chosen.
    QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(chooser->currentColor(), QColor(0x40, 0x80, 0xFF));
    chooser->setCurrentColor(QColor(Qt::green));
    chooser->reject();
    EXPECT_EQ(swatch->accessibleDescription(), "$00FF8040");

    QTest::keyClicks(edit(d, "Edit1"), "Giardino d'inverno");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Nome = ?", {QString("Giardino d'inverno")}), "$00FF8040");
}

TEST_F(AllocationDialogs, ModifyingATableShowsItAndRenamesItsExpensesAndBudgetItems)
{
    showTab(app::Tab::Condomini);
    QTableView* tables = grid("DBGridTabelle");
    ASSERT_GE(pick(tables, "Scale"), 0);
    click(form.get(), "TBmodifica");
    QDialog* d = dialog("TFormTabelle");
    ASSERT_TRUE(d && d->isVisible());
    EXPECT_EQ(edit(d, "Edit1")->text(), "Scale");
    EXPECT_EQ(edit(d, "Edit2")->text(), "Pulizia e luce scale");
    EXPECT_EQ(d->findChild<QPushButton*>("Panel1")->accessibleDescription(), "clAqua");
    edit(d, "Edit1")->setText("Scala A");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(text("SELECT Tabella FROM Uscite"), "Scala A");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi WHERE Tabella = 'Scala A'"), 1);
    // The grid is back on the table it showed.
    EXPECT_EQ(form->workspace().ds("ADOTableTabelle").value("Nome").toString(), "Scala A");
    EXPECT_EQ(tables->currentIndex().row(), form->workspace().ds("ADOTableTabelle").recNo());
}

// ---- TFLocali ----

TEST_F(AllocationDialogs, ANewUnitIsEnteredThroughItsControlsAndEnterInTheGridConfirms)
{
    showTab(app::Tab::Locali);
    click(form.get(), "Baggiungi");
    QDialog* d = dialog("TFLocali");
    ASSERT_TRUE(d && d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(d->windowTitle(), "Locali");
    const std::pair<const char*, const char*> boxes[] = {
        {"EditNome", "Nome"}, {"EditPiano", "Piano"}, {"EditScala", "Scala"}, {"EditFoglio", "Foglio"},
        {"EditParticella", "Particella"}, {"EditSub", "Sub"},
        {"EditPartecipazioneORD", "Partecipazione spese ordinarie"},
        {"EditPartecipazioneSTR", "Partecipazione spese straordinarie"}};
    for (const auto& [box, label] : boxes) {
        ASSERT_NE(edit(d, box), nullptr) << box;
        EXPECT_EQ(caption(d, edit(d, box)), QString(label)) << box;
    }
    EXPECT_EQ(edit(d, "EditPartecipazioneORD")->text(), "100");
    EXPECT_EQ(edit(d, "EditPartecipazioneORD")->maxLength(), 3);
    auto* type = d->findChild<QComboBox*>("DBLookupTipologia");
    auto* owner = d->findChild<QComboBox*>("DBLookupProprietari");
    auto* tenant = d->findChild<QComboBox*>("DBLookupInquilini");
    EXPECT_EQ(caption(d, owner), "Proprietario");
    EXPECT_EQ(caption(d, tenant), "Inquilino");
    EXPECT_EQ(type->currentText(), "Appartamento");
    EXPECT_EQ(owner->currentText(), "Bianchi");
    EXPECT_EQ(tenant->currentText(), "Bianchi");

    auto* cells = d->findChild<QTableWidget*>("StringGridMillesimi");
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->rowCount(), 2);
    QStringList titles;
    for (int c = 0; c < cells->columnCount(); ++c)
        titles << cells->item(0, c)->text();
    EXPECT_EQ(titles, (QStringList{"", "A", "Ascensore", "Scale"}));

    QTest::keyClicks(edit(d, "EditNome"), "Int. 2");
    QTest::keyClick(owner, Qt::Key_Down); // Rossi Mario, chosen as a user would
    EXPECT_EQ(tenant->currentText(), "Rossi Mario");
    keepScreenshot(*d, "TFLocali");

    // Cells 100, empty, 50; Enter in a cell being edited keeps what was typed and confirms.
    EXPECT_TRUE(cells->tabKeyNavigation());
    cells->item(1, 1)->setText("100");
    cells->editItem(cells->item(1, 3));
    auto* editor = cells->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "50");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();

    const qint64 id = count("SELECT Id FROM Locali WHERE Nome = 'Int. 2'");
    ASSERT_GT(id, 0);
    EXPECT_EQ(text("SELECT idProprietario || '|' || idInquilino FROM Locali WHERE Id = ?", {id}), "1|1");
    auto thousandths = [&](const char* table) {
        return db().scalar("SELECT m.Millesimi FROM Millesimi AS m INNER JOIN Tabelle AS t ON t.Id = m.IdTabella "
                           "WHERE m.IdLocale = ? AND t.Nome = ?",
                           {id, QString(table)})
            .toDouble();
    };
    EXPECT_EQ(thousandths("A"), 100.0);
    EXPECT_EQ(thousandths("Ascensore"), 0.0);
    EXPECT_EQ(thousandths("Scale"), 50.0);
    EXPECT_GE(pick(grid("DBGridLocali"), "Int. 2"), 0) << "the unit view shows the new unit";
    keepScreenshot(*form, "LocaliTab");
}

TEST_F(AllocationDialogs, ModifyingAUnitShowsItsThousandthsAndAClearedCellStoresZero)
{
    showTab(app::Tab::Locali);
    QTableView* units = grid("DBGridLocali");
    ASSERT_GE(pick(units, "Int. 1"), 0);
    click(form.get(), "BModifica");
    QDialog* d = dialog("TFLocali");
    ASSERT_TRUE(d && d->isVisible());
    EXPECT_EQ(edit(d, "EditNome")->text(), "Int. 1");
    EXPECT_EQ(edit(d, "EditPiano")->text(), "1");
    EXPECT_EQ(d->findChild<QComboBox*>("DBLookupTipologia")->currentText(), "Box");
    EXPECT_EQ(d->findChild<QComboBox*>("DBLookupProprietari")->currentText(), "Rossi Mario");
    auto* cells = d->findChild<QTableWidget*>("StringGridMillesimi");
    EXPECT_EQ(cells->item(1, 1)->text(), "1000.000");
    EXPECT_EQ(cells->item(1, 2)->text(), "250.000");
    EXPECT_EQ(cells->item(1, 3)->text(), "500.000");

    // A comma is refused, naming the table; nothing is written.
    cells->item(1, 3)->setText("33,5");
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"I millesimi della tabella \"Scale\" devono essere un numero non "
                                               "negativo, con il punto come separatore decimale"});
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(count("SELECT Millesimi FROM Millesimi WHERE IdLocale = 1 AND IdTabella = 1"), 500);

    cells->item(1, 3)->setText("");
    edit(d, "EditNome")->setText("Int. 1 bis");
    QTest::keyClick(cells, Qt::Key_Return); // Enter in the grid confirms
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(db().scalar("SELECT Millesimi FROM Millesimi WHERE IdLocale = 1 AND IdTabella = 1").toDouble(), 0.0);
    EXPECT_EQ(db().scalar("SELECT Millesimi FROM Millesimi WHERE IdLocale = 1 AND IdTabella = 2").toDouble(), 1000.0);
    EXPECT_EQ(form->workspace().ds("ADOQueryLocali").value("Nome").toString(), "Int. 1 bis");
    EXPECT_EQ(units->currentIndex().row(), form->workspace().ds("ADOQueryLocali").recNo());
}

TEST_F(AllocationDialogs, AUnitWhoseOwnerWasDeletedOpensAndAsksForAnOwner)
{
    showTab(app::Tab::Locali);
    ASSERT_GE(pick(grid("DBGridLocali"), "Int. 1"), 0);
    db().exec("DELETE FROM Anagrafe WHERE Cognome = 'Rossi'");
    click(form.get(), "BModifica");
    QDialog* d = dialog("TFLocali");
    ASSERT_TRUE(d && d->isVisible());
    EXPECT_EQ(d->findChild<QComboBox*>("DBLookupProprietari")->currentIndex(), -1);
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Scegliere il proprietario del locale"});
    EXPECT_TRUE(d->isVisible());
    d->reject();
}

TEST_F(AllocationDialogs, AUnitCannotBeAddedWhereThereIsNoTable)
{
    form->selectCondominium(kBeta);
    showTab(app::Tab::Locali);
    click(form.get(), "Baggiungi");
    EXPECT_EQ(app::takeMessages(), QStringList{"E' necessario inserire preventivamente almeno una tabella millesimale "
                                               "nella linguetta \"Condomini\""});
    EXPECT_FALSE(dialog("TFLocali")->isVisible());
}

// ---- TFormPreventivo ----

TEST_F(AllocationDialogs, ABudgetItemIsAddedWithOnlyTheAmountKeysTyped)
{
    showTab(app::Tab::Preventivo);
    click(form.get(), "Baggiungi");
    QDialog* d = dialog("TFormPreventivo");
    ASSERT_TRUE(d && d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(d->windowTitle(), "Preventivo");
    auto* tables = d->findChild<QComboBox*>("DBLookupTabelle");
    EXPECT_EQ(caption(d, tables), "Tabella");
    EXPECT_TRUE(tables->isEnabled());
    EXPECT_EQ(tables->currentText(), "A");
    EXPECT_EQ(tables->count(), 3);
    EXPECT_EQ(tables->model()->index(2, 1).data().toString(), "Pulizia e luce scale");
    EXPECT_GE(tables->view()->minimumWidth(), 600);
    QLineEdit* amount = edit(d, "EditSPesa");
    EXPECT_EQ(caption(d, amount), "Spesa");
    EXPECT_EQ(amount->maxLength(), 10);
    EXPECT_EQ(edit(d, "EditVoceSpesa")->maxLength(), 100);

    tables->setCurrentIndex(2);
    QTest::keyClicks(edit(d, "EditVoceSpesa"), "Luce scale");
    QTest::keyClicks(amount, "1a2x.5;0");
    EXPECT_EQ(amount->text(), "12.50");
    keepScreenshot(*d, "TFormPreventivo");
    QTest::keyClick(amount, Qt::Key_Return);
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(text("SELECT Tabella || '|' || AA || '|' || printf('%.2f', Spesa) FROM Preventivi WHERE "
                   "DescrizioneVoceSpesa = 'Luce scale'"),
              "Scale|2014|12.50");
    EXPECT_EQ(text("SELECT TipoSpesa FROM Uscite"), "Pulizia");

    auto* footer = form->findChild<app::GridFooter*>("DBGridPreventiviFooter");
    ASSERT_NE(footer, nullptr);
    QStringList sums;
    for (int c = 0; c < grid("DBGridPreventivi")->model()->columnCount(); ++c)
        if (!footer->text(c).isEmpty())
            sums << footer->text(c);
    EXPECT_TRUE(sums.contains("1012.50")) << sums.join('|').toStdString();
    // The table's subtotal is an amount too.
    const int added = pick(grid("DBGridPreventivi"), "Luce scale");
    bool subtotalShown = false;
    for (int c = 0; c < grid("DBGridPreventivi")->model()->columnCount(); ++c)
        subtotalShown |= grid("DBGridPreventivi")->model()->index(added, c).data().toString() == "312.50";
    EXPECT_TRUE(subtotalShown);
    keepScreenshot(*form, "PreventivoTab");
}

TEST_F(AllocationDialogs, ACommaInTheAmountIsRefusedAndNothingIsStored)
{
    showTab(app::Tab::Preventivo);
    click(form.get(), "Baggiungi");
    QDialog* d = dialog("TFormPreventivo");
    ASSERT_TRUE(d && d->isVisible());
    QTest::keyClicks(edit(d, "EditSPesa"), "12,50");
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(),
              QStringList{"Il campo \"Spesa\" deve contenere un importo, con il punto come separatore decimale"});
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi"), 2);
    d->reject();
}

TEST_F(AllocationDialogs, ModifyingABudgetItemKeepsItsTableAndRenamesItsExpenses)
{
    showTab(app::Tab::Preventivo);
    ASSERT_GE(pick(grid("DBGridPreventivi"), "Pulizia"), 0);
    click(form.get(), "BModifica");
    QDialog* d = dialog("TFormPreventivo");
    ASSERT_TRUE(d && d->isVisible());
    auto* tables = d->findChild<QComboBox*>("DBLookupTabelle");
    EXPECT_FALSE(tables->isEnabled());
    EXPECT_EQ(tables->currentText(), "Scale");
    EXPECT_EQ(edit(d, "EditVoceSpesa")->text(), "Pulizia");
    EXPECT_EQ(edit(d, "EditSPesa")->text(), "300.00");
    edit(d, "EditVoceSpesa")->setText("Pulizia scale");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(text("SELECT TipoSpesa FROM Uscite"), "Pulizia scale");
    EXPECT_EQ(text("SELECT Tabella FROM Preventivi WHERE DescrizioneVoceSpesa = 'Pulizia scale'"), "Scale");
    EXPECT_EQ(form->workspace().ds("ADOQueryPreventivi").value("DescrizioneVoceSpesa").toString(), "Pulizia scale")
        << "the budget grid is back on the item";
}
