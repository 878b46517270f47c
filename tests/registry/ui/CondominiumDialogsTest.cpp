#include "dialogkit/Messages.h"
#include "registry/ui/RegistryDialogs.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

class Dialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        openWindow({registry::ui::installDialogs});
        showWindow(QString(), app::Tab::Condomini);
    }

    QDialog* condominiumDialog() { return form->findChild<QDialog*>("FormCondomini"); }
    QDialog* yearDialog() { return form->findChild<QDialog*>("FormAA"); }
    QLineEdit* edit(QDialog* d, const char* name) { return d->findChild<QLineEdit*>(name); }
    QStringList listed()
    {
        QStringList out;
        auto* list = form->findChild<QListWidget*>("ListBox1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    QString chosen()
    {
        auto* item = form->findChild<QListWidget*>("ListBox1")->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    // Adds a condominium through the dialog.
    void addThroughDialog(const QString& nome, const QString& indirizzo)
    {
        click(form.get(), "Baggiungi");
        QDialog* d = condominiumDialog();
        ASSERT_TRUE(d->isVisible());
        QTest::keyClicks(edit(d, "EditNome"), nome);
        QTest::keyClicks(edit(d, "EditIndirizzo"), indirizzo);
        click(d, "BtnConferma");
        ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    }
};

} // namespace

// ---- the condominium dialog ----

TEST_F(Dialogs, CondominiumDialogHasItsBoxesLabelsLimitsAndTabOrder)
{
    click(form.get(), "Baggiungi");
    QDialog* d = condominiumDialog();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Condominio");
    EXPECT_EQ(d->size(), QSize(381, 541));
    const std::tuple<const char*, const char*, int> boxes[] = {
        {"EditNome", "Nome", 59}, {"EditIndirizzo", "Indirizzo", 58}, {"EditComune", "Comune", 50},
        {"EditCodiceFiscale", "Codice fiscale", 50}, {"EditContoCorrente", "Conto corrente", 50},
        {"EditIntestatario", "Intestatario C.C.", 50}, {"EditBanca", "Banca", 50}, {"EditAscensore", "Ascensore", 50},
        {"EditSezioneUrbana", "Sezione urbana", 50}, {"EditFoglio", "Foglio", 50},
        {"EditParticella", "Particella", 200}, {"EditSub", "Sub.", 50}, {"EditMicrozona", "Microzona", 50},
        {"EditZonaCensuaria", "Zona censuaria", 50}};
    QWidget* expected = nullptr;
    for (const auto& [name, label, max] : boxes) {
        QLineEdit* e = edit(d, name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->maxLength(), max) << name;
        EXPECT_TRUE(e->text().isEmpty());
        bool buddied = false;
        for (QLabel* l : d->findChildren<QLabel*>())
            buddied |= l->buddy() == e && l->text() == QString::fromUtf8(label);
        EXPECT_TRUE(buddied) << name;
        if (expected) {
            // The next control that takes focus from the keyboard.
            QWidget* next = expected->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            EXPECT_EQ(next, e) << name;
        }
        expected = e;
    }
    EXPECT_EQ(d->findChild<QPushButton*>("BtnConferma")->text(), "Conferma");
    EXPECT_EQ(d->findChild<QPushButton*>("BtnAnnulla")->text(), "Annulla");
    test::keepScreenshot(*d, "TFormCondomini");
    click(d, "BtnAnnulla");
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(Dialogs, AddingRefusesAHyphenThenWritesAndChoosesTheCondominium)
{
    addThroughDialog("Beta", "Via Po 2");
    click(form.get(), "Baggiungi");
    QDialog* d = condominiumDialog();
    EXPECT_TRUE(edit(d, "EditNome")->text().isEmpty()); // emptied again in add mode
    QTest::keyClicks(edit(d, "EditNome"), "Al-fa");
    EXPECT_EQ(edit(d, "EditNome")->text(), "Alfa");
    EXPECT_EQ(app::takeMessages(), QStringList{"Carattere non ammesso"});

    // Missing address: the dialog stays open with its input.
    click(d, "BtnConferma");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"I campi \"Nome\" e \"Indirizzo\" sono obbligatori"});
    QTest::keyClicks(edit(d, "EditIndirizzo"), "  Via Roma 1 ");
    QTest::keyClicks(edit(d, "EditComune"), "Torino");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(listed(), QStringList({"Alfa - Via Roma 1", "Beta - Via Po 2"}));
    EXPECT_EQ(chosen(), "Alfa - Via Roma 1");
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Alfa - Via Roma 1 - A.A. ");
    EXPECT_EQ(form->findChild<QLabel*>("LabelComune")->text(), "Torino");
    EXPECT_TRUE(QFileInfo(dir.path() + "/Output/Alfa - Via Roma 1/Ricevute").isDir());
}

TEST_F(Dialogs, ADuplicateNameKeepsTheDialogOpen)
{
    addThroughDialog("Alfa", "Via Roma 1");
    click(form.get(), "Baggiungi");
    QDialog* d = condominiumDialog();
    QTest::keyClicks(edit(d, "EditNome"), "Alfa");
    QTest::keyClicks(edit(d, "EditIndirizzo"), "Via Roma 1");
    click(d, "BtnConferma");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"Esiste già un condominio di nome \"Alfa - Via Roma 1\""});
    EXPECT_EQ(listed().size(), 1);
    click(d, "BtnAnnulla");
}

TEST_F(Dialogs, ModifyOpensTheChosenCondominiumAndRenamesIt)
{
    addThroughDialog("Alfa", "Via Roma 1");
    addThroughDialog("Beta", "Via Po 2");
    form->selectCondominium("Alfa - Via Roma 1");
    click(form.get(), "BModifica");
    QDialog* d = condominiumDialog();
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(edit(d, "EditNome")->text(), "Alfa");
    EXPECT_EQ(edit(d, "EditIndirizzo")->text(), "Via Roma 1");
    edit(d, "EditNome")->clear();
    QTest::keyClicks(edit(d, "EditNome"), "Zeta");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(listed(), QStringList({"Beta - Via Po 2", "Zeta - Via Roma 1"}));
    EXPECT_EQ(chosen(), "Zeta - Via Roma 1");
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Zeta - Via Roma 1 - A.A. ");
    EXPECT_EQ(form->findChild<QLabel*>("LabelNome")->text(), "Zeta");
    EXPECT_TRUE(QFileInfo(dir.path() + "/Output/Zeta - Via Roma 1/Ricevute").isDir());
    EXPECT_FALSE(QFileInfo(dir.path() + "/Output/Alfa - Via Roma 1").exists());
}

TEST_F(Dialogs, ModifyWithNoCondominiumChosenOpensNothing)
{
    addThroughDialog("Alfa", "Via Roma 1");
    form->selectCondominium(QString());
    click(form.get(), "BModifica");
    EXPECT_FALSE(condominiumDialog()->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"Selezionare prima un condominio"});
}

TEST_F(Dialogs, TheDialogsHaveAFixedBorderAndOpenCentredOnTheScreen)
{
    click(form.get(), "Baggiungi");
    QDialog* d = condominiumDialog();
    ASSERT_TRUE(d->isVisible());
    const QRect area = form->screen()->availableGeometry();
    EXPECT_TRUE(d->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_EQ(d->minimumSize(), d->maximumSize());
    EXPECT_EQ(d->pos(), area.center() - QPoint(d->width() / 2, d->height() / 2));
    click(d, "BtnAnnulla");

    addThroughDialog("Alfa", "Via Roma 1");
    click(form.get(), "AAaggiungi");
    QDialog* y = yearDialog();
    ASSERT_TRUE(y->isVisible());
    EXPECT_TRUE(y->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_EQ(y->minimumSize(), y->maximumSize());
    EXPECT_EQ(y->pos(), area.center() - QPoint(y->width() / 2, y->height() / 2));
    click(y, "BtnAnnulla");
}

TEST_F(Dialogs, StoredTextsLongerThanTheTypingLimitAreShownAndWrittenBackWhole)
{
    addThroughDialog("Alfa", "Via Roma 1");
    auto& db = form->workspace().mainDb();
    const QString comune(60, u'C');
    db.exec("UPDATE Condomini SET Comune = ?", {comune});
    form->selectCondominium("Alfa - Via Roma 1");
    click(form.get(), "BModifica");
    QDialog* d = condominiumDialog();
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(edit(d, "EditComune")->text(), comune);
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(db.scalar("SELECT Comune FROM Condomini").toString(), comune);
    // Typing is still limited in a box that holds nothing longer.
    click(form.get(), "BModifica");
    QLineEdit* banca = edit(d, "EditBanca");
    QTest::keyClicks(banca, QString(60, u'b'));
    EXPECT_EQ(banca->text().size(), 50);
    click(d, "BtnAnnulla");

    // A year name longer than the box's limit is not cut, so saving does not rename the year.
    click(form.get(), "AAaggiungi");
    QDialog* y = yearDialog();
    QTest::keyClicks(edit(y, "EditNome"), "2014");
    click(y, "BtnConferma");
    ASSERT_FALSE(y->isVisible());
    const QString longName(60, u'7');
    db.exec("UPDATE AnnoAmministrativo SET nome = ?", {longName});
    db.exec("INSERT INTO Preventivi (Condominio, DescrizioneVoceSpesa, Spesa, Tabella, AA) VALUES (?, 'Pulizia', 10, 'A', ?)",
            {QString("Alfa - Via Roma 1"), longName});
    click(form.get(), "AAmodifica");
    ASSERT_TRUE(y->isVisible());
    EXPECT_EQ(edit(y, "EditNome")->text(), longName);
    click(y, "BtnConferma");
    EXPECT_FALSE(y->isVisible());
    EXPECT_EQ(db.scalar("SELECT nome FROM AnnoAmministrativo").toString(), longName);
    EXPECT_EQ(db.scalar("SELECT AA FROM Preventivi").toString(), longName);
    // The next new year starts from an empty box limited to 50 again.
    click(form.get(), "AAaggiungi");
    EXPECT_EQ(edit(y, "EditNome")->text(), "");
    EXPECT_EQ(edit(y, "EditNome")->maxLength(), 50);
    click(y, "BtnAnnulla");
}

TEST_F(Dialogs, AFailingDataStoreWhilePreparingOpensNothingAndIsShown)
{
    auto& ws = form->workspace();
    ws.mainDb().exec("DROP TABLE main.Tabelle");
    // The register is read again when next asked for.
    ws.ds("ADOTableTabelle").setFilter("Id_Condominio=''");
    app::takeMessages();
    click(form.get(), "Baggiungi");
    EXPECT_FALSE(condominiumDialog()->isVisible());
    const QStringList messages = app::takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains("Tabelle")) << messages.first().toStdString();
}

// ---- the year dialog ----

TEST_F(Dialogs, YearDialogAddsTheCurrentYearAndRenamesIt)
{
    addThroughDialog("Alfa", "Via Roma 1");
    click(form.get(), "AAaggiungi");
    QDialog* d = yearDialog();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Anno amministrativo");
    EXPECT_EQ(d->size(), QSize(263, 205));
    test::keepScreenshot(*d, "TFormAA");
    auto* import = d->findChild<QCheckBox*>("CheckImportaPreventivo");
    EXPECT_EQ(import->text(), "Importa preventivo da A.A. precedente");
    EXPECT_TRUE(import->isEnabled());
    EXPECT_TRUE(import->isChecked());
    EXPECT_EQ(d->findChild<QDateEdit*>("DataInizio")->date(), QDate::currentDate());
    EXPECT_EQ(d->findChild<QCheckBox*>("CheckApprovato")->text(), "Bilanci approvati");
    QLineEdit* name = edit(d, "EditNome");
    EXPECT_EQ(name->maxLength(), 50);
    for (QLabel* l : d->findChildren<QLabel*>())
        if (l->text() == "Anno Amministrativo")
            EXPECT_EQ(l->buddy(), name);

    click(d, "BtnConferma");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire il nome dell'anno amministrativo"});
    QTest::keyClicks(name, "2014/15");
    EXPECT_EQ(name->text(), "201415");
    EXPECT_EQ(app::takeMessages(), QStringList{"Carattere non ammesso"});
    name->clear();
    QTest::keyClicks(name, "2014-15");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2014-15");
    EXPECT_EQ(form->findChild<QComboBox*>("ComboAA")->currentText(), "2014-15");

    click(form.get(), "AAmodifica");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(name->text(), "2014-15");
    EXPECT_FALSE(import->isEnabled());
    EXPECT_FALSE(import->isChecked());
    QTest::keyClick(name, Qt::Key_End); // the name comes selected
    QTest::keyClicks(name, " bis");
    auto* approved = d->findChild<QCheckBox*>("CheckApprovato");
    QTest::mouseClick(approved, Qt::LeftButton, {}, QPoint(8, approved->height() / 2));
    EXPECT_TRUE(approved->isChecked());
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2014-15 bis");
    EXPECT_EQ(form->findChild<QComboBox*>("ComboAA")->currentText(), "2014-15 bis");
    EXPECT_TRUE(form->findChild<QWidget*>("TabCondomini")->findChild<QCheckBox*>("CheckApprovato")->isChecked());
}

TEST_F(Dialogs, YearModifyWithoutAnyYearOpensNothing)
{
    addThroughDialog("Alfa", "Via Roma 1");
    click(form.get(), "AAmodifica");
    EXPECT_FALSE(yearDialog()->isVisible());
    EXPECT_EQ(app::takeMessages(),
              QStringList{"E' necessario inserire prima un anno amministrativo nella linguetta \"Condomini\""});
}

TEST_F(Dialogs, ARenameKeepsTheYearInTheCaptionAcrossTheTabs)
{
    auto* hint = form->findChild<QLabel*>("LabelPrimoAvvio");
    EXPECT_TRUE(hint->isVisible());
    addThroughDialog("Alfa", "Via 1");
    EXPECT_FALSE(hint->isVisible()); // gone with the first condominium
    click(form.get(), "AAaggiungi");
    QDialog* year = yearDialog();
    ASSERT_TRUE(year->isVisible());
    QTest::keyClicks(edit(year, "EditNome"), "2025");
    click(year, "BtnConferma");
    ASSERT_FALSE(year->isVisible());
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Alfa - Via 1 - A.A. 2025");

    click(form.get(), "BModifica");
    QDialog* d = condominiumDialog();
    ASSERT_TRUE(d->isVisible());
    edit(d, "EditNome")->clear();
    QTest::keyClicks(edit(d, "EditNome"), "Beta");
    click(d, "BtnConferma");
    ASSERT_FALSE(d->isVisible());
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Beta - Via 1 - A.A. 2025");
    EXPECT_EQ(form->findChild<QComboBox*>("ComboAA")->currentText(), "2025");
    auto* tabs = form->findChild<QTabWidget*>("PageControl1");
    for (app::Tab tab : {app::Tab::Entrate, app::Tab::Quote, app::Tab::Condomini}) {
        tabs->setCurrentIndex(int(tab));
        EXPECT_EQ(form->windowTitle(), "Velcaris 2014 - Beta - Via 1 - A.A. 2025") << int(tab);
    }
    EXPECT_EQ(form->findChild<QLabel*>("LabelNome")->text(), "Beta");
}
