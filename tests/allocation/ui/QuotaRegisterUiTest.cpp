// The Quote tab's register (column order, colours, "Somma quote", the amount panel,
// "Modifica Quota") and the owner statement opened from the Locali grid, offscreen.
#include "allocation/OwnerStatement.h"
#include "allocation/ui/AllocationDialogs.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/DateField.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"
#include "support/ui/MainWindowFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

// Rossi owns Int. 1 (rented by Verdi) and Box 1 (rented by Neri); Verdi owns and lives in Int. 2.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome) VALUES (?)", {kAlfa});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2013', 0), (?, '2014', 1)",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Verdi', 'Anna'), "
            "(?, 'Neri', '')",
            {kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, 'A', 'clAqua')", {kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) VALUES "
            "(?, 'Int. 1', 1, 2, 'Appartamento'), (?, 'Box 1', 1, 3, 'Appartamento'), (?, 'Int. 2', 2, 2, 'Appartamento')",
            {kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 500), "
            "(?, 2, 1, 100), (?, 3, 1, 400)",
            {kAlfa, kAlfa, kAlfa});
    const char* quotas[] = {
        "(1, 'Rata 1', 'Spese ordinarie', 100, 0, '2014-01-31', 1, 0, '2014')",
        "(2, 'Rata 1', 'Spese ordinarie', 100, 0, '2014-01-31', 1, 0, '2014')",
        "(1, 'Rata 2', 'Spese ordinarie', 50, 0, '2014-06-30', 0, 0, '2014')",
        "(1, 'Rata 3', 'Spese ordinarie', 20, 20, '2014-09-30', 1, 5, '2014')",
        "(3, 'Acconto', 'Spese straordinarie', -5, 0, '2014-02-01', 1, 0, '2014')",
        "(1, 'Rata 1', 'Spese ordinarie', 999, 0, '2013-01-31', 1, 0, '2013')",
    };
    for (const char* q : quotas)
        db.exec(QString("INSERT INTO Quote (IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato, DataScadenza, "
                        "PagabiliSiNo, idEntrata, AA, IdCondominio) VALUES %1")
                    .arg(QString(q).replace(")", ", ?)")),
                {kAlfa});
}

class QuotaRegisterUi : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({allocation::ui::installDialogs});
        form->dialogRegistrar()(app::DialogId::TFEntrate, [this](const app::DialogRequest& r) {
            payments.push_back(r.payment);
        });
        showWindow(kAlfa);
    }

    QTableView* grid(const char* name) { return form->findChild<QTableView*>(name); }
    store::Dataset& dataset(QTableView* view) { return *qobject_cast<app::DatasetModel*>(view->model())->dataset(); }
    QModelIndex cell(QTableView* view, const QString& keyField, const QVariant& key, const QString& field)
    {
        store::Dataset& ds = dataset(view);
        for (int r = 0; r < ds.rowCount(); ++r)
            if (ds.valueAt(r, keyField) == key)
                return view->model()->index(r, ds.fieldIndex(field));
        return {};
    }
    void press(QTableView* view, const QModelIndex& index, Qt::MouseButton button = Qt::LeftButton)
    {
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), button, {}, view->visualRect(index).center());
    }
    QPushButton* button(QWidget* parent, const char* name) { return parent->findChild<QPushButton*>(name); }

    QVector<app::PaymentDraft> payments;
};

TEST_F(QuotaRegisterUi, ColumnsFollowTheSelectedUnitAndCellsArePaintedByValue)
{
    showTab(app::Tab::Quote);
    QTableView* single = grid("DBGridQuoteSingole");
    QTableView* grouped = grid("DBGridQuoteAccorpate");
    store::Dataset& s = dataset(single);
    ASSERT_EQ(s.value("idLocale").toLongLong(), 1);
    // Int. 1 has Rata 1, 2 and 3: Acconto, first by name, goes after them.
    for (const auto& [view, fixed] : {std::pair{single, 7}, std::pair{grouped, 6}}) {
        store::Dataset& ds = dataset(view);
        QHeaderView* header = view->horizontalHeader();
        EXPECT_EQ(header->visualIndex(ds.fieldIndex("Rata 1")), fixed);
        EXPECT_EQ(header->visualIndex(ds.fieldIndex("Rata 2")), fixed + 1);
        EXPECT_EQ(header->visualIndex(ds.fieldIndex("Rata 3")), fixed + 2);
        EXPECT_EQ(header->visualIndex(ds.fieldIndex("Acconto")), fixed + 3);
    }
    auto colour = [](const QModelIndex& i) { return i.data(Qt::BackgroundRole).value<QColor>(); };
    EXPECT_EQ(colour(cell(single, "idLocale", 1, "Rata 1")), QColor(0xC0, 0xDC, 0xC0));
    EXPECT_EQ(colour(cell(single, "idLocale", 1, "Rata 3")), QColor(Qt::white)); // paid: nothing to pay
    EXPECT_EQ(colour(cell(single, "idLocale", 3, "Acconto")), QColor(0xFF, 0xBF, 0xBF));
    EXPECT_EQ(colour(cell(single, "idLocale", 3, "Rata 1")), QColor(Qt::white)); // no value
    EXPECT_FALSE(cell(single, "idLocale", 1, "Nome").data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(cell(single, "idLocale", 1, "Rata 1").data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));

    // "Pagato" down: the paid amounts.
    QTest::mouseClick(button(form.get(), "Bpagato"), Qt::LeftButton);
    EXPECT_EQ(cell(single, "idLocale", 1, "Rata 3").data().toString(), "20.00");
    EXPECT_EQ(colour(cell(single, "idLocale", 1, "Rata 3")), QColor(0xC0, 0xDC, 0xC0));
}

TEST_F(QuotaRegisterUi, SumOfClickedCellsIsShownOnRightClick)
{
    showTab(app::Tab::Quote);
    QTableView* grouped = grid("DBGridQuoteAccorpate");
    QPushButton* sum = button(form.get(), "BSomma");
    ASSERT_NE(sum, nullptr);
    sum->click();
    EXPECT_EQ(grouped->viewport()->cursor().shape(), Qt::PointingHandCursor);
    press(grouped, cell(grouped, "IdInquilino", 2, "Rata 1"));
    press(grouped, cell(grouped, "IdInquilino", 3, "Rata 1"));
    press(grouped, cell(grouped, "IdInquilino", 3, "Proprietario")); // adds nothing
    press(grouped, cell(grouped, "IdProprietario", 2, "Acconto"));   // Verdi's own unit: -5
    app::takeMessages();
    press(grouped, cell(grouped, "IdInquilino", 3, "Rata 1"), Qt::RightButton);
    EXPECT_EQ(app::takeMessages(), QStringList({"La somma è: 195.00"}));
    EXPECT_FALSE(sum->isChecked());
    EXPECT_NE(grouped->viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(QuotaRegisterUi, AmountPanelRefusesAPaidQuotaChangesOneAndAddsAMissingOne)
{
    showTab(app::Tab::Quote);
    QTableView* single = grid("DBGridQuoteSingole");
    auto* panel = form->findChild<QWidget*>("PannelloModificaQuota");
    auto* edit = form->findChild<QLineEdit*>("EditModificaQuota");
    ASSERT_TRUE(panel && edit);
    auto* toolbar = form->findChild<QToolBar*>("ToolBar1");

    Q_EMIT single->doubleClicked(cell(single, "idLocale", 1, "Nome"));
    EXPECT_FALSE(panel->isVisible());

    Q_EMIT single->doubleClicked(cell(single, "idLocale", 1, "Rata 3"));
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(edit->text(), "0.00");
    EXPECT_FALSE(toolbar->isEnabled());
    edit->setText("30");
    app::takeMessages();
    QTest::mouseClick(button(panel, "ConfermaModificaQuota"), Qt::LeftButton);
    EXPECT_EQ(app::takeMessages(), QStringList({"La quota non può essere modificata perchè risulta già pagata"}));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_DOUBLE_EQ(number("SELECT Importo FROM Quote WHERE IdLocale = 1 AND NomeQuote = 'Rata 3'"), 20);
    QTest::mouseClick(button(panel, "AnnullaModificaQuota"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(toolbar->isEnabled());

    Q_EMIT single->doubleClicked(cell(single, "idLocale", 1, "Rata 1"));
    EXPECT_EQ(edit->text(), "100.00");
    edit->setText("80.5");
    QTest::mouseClick(button(panel, "ConfermaModificaQuota"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_DOUBLE_EQ(number("SELECT Importo FROM Quote WHERE IdLocale = 1 AND NomeQuote = 'Rata 1' AND AA = '2014'"), 80.5);
    EXPECT_DOUBLE_EQ(number("SELECT Importo FROM Quote WHERE IdLocale = 1 AND NomeQuote = 'Rata 1' AND AA = '2013'"), 999);
    EXPECT_EQ(cell(single, "idLocale", 1, "Rata 1").data().toString(), "80.50");
    // The views were read again: the selected unit's row comes back, its quotas still lead.
    EXPECT_EQ(dataset(single).value("idLocale").toLongLong(), 1);
    EXPECT_EQ(single->horizontalHeader()->visualIndex(dataset(single).fieldIndex("Acconto")), 10);

    // Int. 2 has no Rata 1: one is made with the type and due date of the others.
    Q_EMIT single->doubleClicked(cell(single, "idLocale", 3, "Rata 1"));
    edit->setText("15");
    QTest::mouseClick(button(panel, "ConfermaModificaQuota"), Qt::LeftButton);
    EXPECT_EQ(db().scalar("SELECT Tipologia || ' ' || DataScadenza || ' ' || Importo FROM Quote "
                          "WHERE IdLocale = 3 AND NomeQuote = 'Rata 1'").toString(),
              "Spese ordinarie 2014-01-31 15.0");
    EXPECT_EQ(cell(single, "idLocale", 3, "Rata 1").data().toString(), "15.00");
}

TEST_F(QuotaRegisterUi, ModificaQuotaChangesDueDateAndTypeOfTheSelectedColumn)
{
    showTab(app::Tab::Quote);
    QTableView* grouped = grid("DBGridQuoteAccorpate");
    grouped->setCurrentIndex(cell(grouped, "IdInquilino", 2, "Proprietario"));
    app::takeMessages();
    QTest::mouseClick(button(form.get(), "BModifica"), Qt::LeftButton);
    auto* d = form->findChild<QDialog*>("TFormModificaQuote");
    EXPECT_FALSE(d && d->isVisible());
    EXPECT_EQ(app::takeMessages().size(), 1);

    grouped->setCurrentIndex(cell(grouped, "IdInquilino", 2, "Rata 1"));
    QTest::mouseClick(button(form.get(), "BModifica"), Qt::LeftButton);
    d = form->findChild<QDialog*>("TFormModificaQuote");
    ASSERT_TRUE(d && d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Modifica Quota");
    EXPECT_EQ(d->findChild<QLabel*>("LabelNomeQuota")->text(), "Rata 1");
    auto* date = d->findChild<app::DateField*>("DataScadenzaQuota");
    auto* type = d->findChild<QComboBox*>("ComboTipologia");
    EXPECT_EQ(date->date(), QDate(2014, 1, 31));
    EXPECT_EQ(type->currentText(), "Spese ordinarie");
    date->setDate(QDate(2014, 2, 15));
    type->setCurrentText("Spese straordinarie");
    QTest::mouseClick(button(d, "BtnConferma"), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Rata 1' AND DataScadenza = '2014-02-15' "
                          "AND Tipologia = 'Spese straordinarie'").toInt(), 2);
    EXPECT_EQ(db().scalar("SELECT DataScadenza FROM Quote WHERE AA = '2013'").toString(), "2013-01-31");
}

// ---- Owner statement ----

class OwnerStatementUi : public QuotaRegisterUi {
protected:
    QDialog* openStatement(const QString& clickedColumn)
    {
        showTab(app::Tab::Locali);
        QTableView* units = grid("DBGridLocali");
        const QModelIndex unit = cell(units, "Nome", "Int. 1", "Nome");
        units->setCurrentIndex(unit);
        if (!clickedColumn.isEmpty())
            press(units, cell(units, "Nome", "Int. 1", clickedColumn));
        Q_EMIT units->doubleClicked(unit);
        auto* d = form->findChild<QDialog*>("TFSituazioneCondomino");
        return d && d->isVisible() ? d : nullptr;
    }
    QTableView* statementGrid(QDialog* d) { return d->findChild<QTableView*>("GridSC"); }
    QStringList column(QDialog* d, const QString& field)
    {
        QTableView* g = statementGrid(d);
        store::Dataset& ds = dataset(g);
        QStringList out;
        for (int r = 0; r < ds.rowCount(); ++r)
            out << g->model()->index(r, ds.fieldIndex(field)).data().toString();
        return out;
    }
    void select(QDialog* d, std::initializer_list<int> rows)
    {
        QTableView* g = statementGrid(d);
        g->clearSelection();
        for (int r : rows)
            g->selectionModel()->select(g->model()->index(r, 3), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(OwnerStatementUi, OwnersStatementSumsHisUnitsAndHandsTheSelectionToThePayment)
{
    QDialog* d = openStatement("Proprietario");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Situazione condomino");
    EXPECT_EQ(d->findChild<QLabel*>("LabelProprietario")->text(), "Rossi Mario");
    EXPECT_EQ(d->findChild<QLabel*>("LabelInquilino")->text(), "Verdi Anna");
    EXPECT_EQ(column(d, "NomeQuote"), QStringList({"Rata 1", "Rata 2", "Rata 3"}));
    EXPECT_EQ(column(d, "Importo"), QStringList({"200.00", "50.00", "20.00"}));
    EXPECT_EQ(column(d, "ImportoDaPagare"), QStringList({"200.00", "50.00", "0.00"}));
    QTableView* g = statementGrid(d);
    store::Dataset& ds = dataset(g);
    EXPECT_TRUE(g->isColumnHidden(ds.fieldIndex("IdProprietario")));
    EXPECT_EQ(g->model()->headerData(ds.fieldIndex("ImportoDaPagare"), Qt::Horizontal).toString(), "Importo da pagare");
    auto* footer = d->findChild<app::GridFooter*>();
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->text(ds.fieldIndex("Importo")), "270.00");
    EXPECT_EQ(footer->text(ds.fieldIndex("ImportoPagato")), "20.00");
    EXPECT_EQ(g->selectionModel()->selectedRows().size(), 1);

    // Three rows, the second not payable: the message, then the payment with the selection.
    select(d, {2, 1, 0});
    app::takeMessages();
    QTest::mouseClick(button(d, "ok"), Qt::LeftButton);
    EXPECT_EQ(app::takeMessages(), QStringList({allocation::kNonPayableMessage}));
    ASSERT_EQ(payments.size(), 1);
    const app::PaymentDraft& draft = payments[0];
    EXPECT_TRUE(draft.ownerPays);
    EXPECT_EQ(draft.payerId, 1);
    EXPECT_EQ(draft.payerName, "Rossi Mario");
    store::Dataset& units = form->workspace().ds("ADOQueryLocali");
    EXPECT_EQ(draft.unitsView.mark.row, units.recNo());
    EXPECT_EQ(units.valueAt(draft.unitsView.mark.row, "Nome").toString(), "Int. 1");
    EXPECT_EQ(draft.unitsView.sort, units.sort());
    ASSERT_EQ(draft.lines.size(), 3);
    QStringList payable;
    for (const auto& line : draft.lines)
        if (line.payable)
            payable << line.quotaName + " " + QString::number(line.amountDue);
    EXPECT_EQ(payable, QStringList({"Rata 3 0", "Rata 1 200"}));
    EXPECT_EQ(draft.lines[1].quotaName, "Rata 2");
    EXPECT_FALSE(draft.lines[1].payable);

    // The one row selected is not payable: the message and no payment.
    select(d, {1});
    QTest::mouseClick(button(d, "ok"), Qt::LeftButton);
    EXPECT_EQ(app::takeMessages(), QStringList({allocation::kNonPayableMessage}));
    EXPECT_EQ(payments.size(), 1);
}

TEST_F(OwnerStatementUi, WithoutAClickOnProprietarioTheTenantsStatementOpensAndRowsFlip)
{
    QDialog* d = openStatement(QString());
    ASSERT_NE(d, nullptr);
    // Verdi rents Int. 1 and lives in Int. 2.
    EXPECT_EQ(column(d, "NomeQuote"), QStringList({"Rata 1", "Acconto", "Rata 2", "Rata 3"}));

    QPushButton* flip = button(d, "ButtonPagabili");
    flip->click();
    QTableView* g = statementGrid(d);
    press(g, g->model()->index(2, 3)); // Rata 2, not payable
    EXPECT_EQ(db().scalar("SELECT PagabiliSiNo FROM Quote WHERE NomeQuote = 'Rata 2'").toInt(), 1);
    EXPECT_EQ(column(d, "PagabiliSiNo").size(), 4);
    EXPECT_TRUE(dataset(g).valueAt(2, "PagabiliSiNo").toBool());
    flip->click();

    // "Somma quote": amounts of the three amount columns only.
    QPushButton* sum = button(d, "ButtonSomma");
    sum->click();
    store::Dataset& ds = dataset(g);
    press(g, g->model()->index(0, ds.fieldIndex("Importo")));       // 100
    press(g, g->model()->index(1, ds.fieldIndex("ImportoDaPagare"))); // -5
    press(g, g->model()->index(1, ds.fieldIndex("NomeQuote")));       // nothing
    app::takeMessages();
    press(g, g->model()->index(0, ds.fieldIndex("ImportoPagato")), Qt::RightButton);
    EXPECT_EQ(app::takeMessages(), QStringList({"La somma è: 95.00"}));
    EXPECT_FALSE(sum->isChecked());
}

} // namespace
