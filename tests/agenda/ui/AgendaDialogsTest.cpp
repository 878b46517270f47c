#include "agenda/ui/AgendaDialogs.h"
#include "dialogkit/Messages.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via dell'Orso 3");

class AgendaDialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        openWindow({agenda::ui::installDialogs});
        form->workspace().mainDb().exec(
            "INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2014/15', 1)", {kAlfa});
        addCondominium(kAlfa);
        showWindow();
    }
    QDialog* dialog(const char* name) { return form->findChild<QDialog*>(name); }
    QColor background(const char* grid, int row)
    {
        auto* view = form->findChild<QTableView*>(grid);
        return view->model()->index(row, 1).data(Qt::BackgroundRole).value<QColor>();
    }
};

} // namespace

TEST_F(AgendaDialogs, AddDoesNothingWithoutACondominiumThenAddsADeadlineThatTakesItsColour)
{
    showTab(app::Tab::Agenda);
    click(form.get(), "Baggiungi");
    EXPECT_FALSE(dialog("FScadenzario")->isVisible());
    EXPECT_TRUE(app::takeMessages().isEmpty());

    form->selectCondominium(kAlfa);
    click(form.get(), "Baggiungi");
    QDialog* d = dialog("FScadenzario");
    ASSERT_TRUE(d->isVisible()) << form->lastMessage().toStdString() << app::takeMessages().join('|').toStdString()
                                << int(form->lastDialogOpened());
    EXPECT_EQ(d->windowTitle(), "Scadenzario");
    EXPECT_EQ(d->findChild<QLabel*>("EditCondominio")->text(), kAlfa);
    auto* importo = d->findChild<QLineEdit*>("EditImporto");
    EXPECT_EQ(importo->text(), "0.00");
    EXPECT_EQ(d->findChild<QDateEdit*>("EditData")->date(), QDate::currentDate());
    QTest::keyClicks(d->findChild<QLineEdit*>("EditSoggetto"), "Ascensore");
    QTest::keyClicks(d->findChild<QLineEdit*>("EditDescrizione"), "Revisione");
    d->findChild<QDateEdit*>("EditData")->setDate(QDate::currentDate().addDays(-1));
    importo->clear();
    QTest::keyClicks(importo, "1a2,b.5e -");
    EXPECT_EQ(importo->text(), "12.5-") << "only digits, '-' and '.' are typed";
    test::keepScreenshot(*d, "agenda-scadenzario");
    click(d, "BitBtn2");
    EXPECT_TRUE(d->isVisible()) << "a bad amount keeps the dialog open";
    ASSERT_EQ(app::takeMessages().size(), 1);
    EXPECT_EQ(form->workspace().mainDb().scalar("SELECT COUNT(*) FROM Scadenzario").toInt(), 0);

    importo->clear();
    QTest::keyClicks(importo, "12.5");
    QTest::keyClick(importo, Qt::Key_Return); // Enter confirms
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_DOUBLE_EQ(form->workspace().mainDb().scalar("SELECT Importo FROM Scadenzario").toDouble(), 12.5);
    auto* grid = form->findChild<QTableView*>("DBGridScadenzario");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(background("DBGridScadenzario", 0), QColor(255, 191, 191)) << "overdue";

    // Modify: the outcome set, the row turns green and leaves the agenda while the toggle is up.
    click(form.get(), "BModifica");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(importo->text(), "12.50");
    EXPECT_EQ(d->findChild<QLineEdit*>("EditSoggetto")->text(), "Ascensore");
    d->findChild<QCheckBox*>("EditEsito")->setChecked(true);
    click(d, "BitBtn2");
    ASSERT_FALSE(d->isVisible());
    EXPECT_EQ(grid->model()->rowCount(), 0);
    click(form.get(), "ButtonPositivo");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(background("DBGridScadenzario", 0), QColor(192, 220, 192));
    test::keepScreenshot(*form, "agenda-tab");
}

TEST_F(AgendaDialogs, InterventionsAreLoggedWithTheCurrentYearAndColouredByConclusion)
{
    form->selectCondominium(kAlfa);
    showTab(app::Tab::Interventi);
    click(form.get(), "Baggiungi");
    QDialog* d = dialog("FInterventi");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Interventi e contatti");
    EXPECT_EQ(d->findChild<QLabel*>("LabelCondominio")->text(), kAlfa);
    EXPECT_EQ(d->findChild<QLabel*>("LabelAnnoAmministrativo")->text(), "2014/15");
    auto* tipo = d->findChild<QComboBox*>("ComboTipoContatto");
    EXPECT_GT(tipo->count(), 0);
    EXPECT_EQ(tipo->maxVisibleItems(), 20);
    EXPECT_EQ(d->findChild<QTimeEdit*>("EditOra")->displayFormat(), "HH.mm");
    QTest::keyClicks(d->findChild<QLineEdit*>("EditContatto"), "Portiere");
    QTest::keyClicks(d->findChild<QLineEdit*>("EditMotivo"), "Cancello rotto");
    tipo->setCurrentIndex(tipo->findText("Telefono"));
    d->findChild<QTimeEdit*>("EditOra")->setTime(QTime(8, 5));
    QTest::keyClicks(d->findChild<QLineEdit*>("EditDurata"), "12");
    test::keepScreenshot(*d, "agenda-interventi");
    click(d, "ButtonOK");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();

    auto* grid = form->findChild<QTableView*>("DBGridInterventi");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(background("DBGridInterventi", 0), QColor(255, 191, 191));
    store::Database& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT TipoContatto || '|' || Ora || '|' || Durata || '|' || AA FROM Interventi").toString(),
              "Telefono|08:05|12|2014/15");

    click(form.get(), "BModifica");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->findChild<QLineEdit*>("EditMotivo")->text(), "Cancello rotto");
    EXPECT_EQ(tipo->currentText(), "Telefono");
    d->findChild<QCheckBox*>("CheckConcluso")->setChecked(true);
    click(d, "ButtonOK");
    ASSERT_FALSE(d->isVisible());
    EXPECT_EQ(grid->model()->rowCount(), 0) << "concluded ones hidden while Mostra conclusi is up";
    click(form.get(), "ButtonConclusi");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(background("DBGridInterventi", 0), QColor(192, 220, 192));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Interventi").toInt(), 1);
}
