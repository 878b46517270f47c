#include "dialogkit/Messages.h"
#include "registry/ui/RegistryDialogs.h"
#include "store/Schema.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::keepScreenshot;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Conto_corrente) VALUES (?, 'IT00A'), (?, 'IT00B')", {kAlfa, kBeta});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2014', 1)", {kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome, Comunicazioni) VALUES (?, 'Rossi', 'Mario', 'PEC'), "
            "(?, ?, '', 'Raccomandata')",
            {kAlfa, kAlfa, QString(60, u'L')});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'Int. 1', 1, 1)", {kAlfa});
    db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, DataScadenza) VALUES "
            "(?, 1, '2014', 'Rata 1', 100, '2014-03-01')",
            {kAlfa});
    db.exec("INSERT INTO Fornitori (Cognome, Nome) VALUES ('Idraulica', 'Srl'), ('Elettrica', ''), ('Pulizie', 'Snc')");
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (3, ?)", {kAlfa});
}

// The dialogs here run their own modal loop: the tests answer them from a timer.
class PersonDialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({registry::ui::installDialogs}, Dialogs::Blocking);
        showWindow();
    }

    QPushButton* button(const char* name) { return form->findChild<QPushButton*>(name); }
    void choose(const QString& condominium) { form->selectCondominium(condominium); }
    QTableView* grid(const char* name) { return form->findChild<QTableView*>(name); }
    int rowOf(QTableView* view, const QString& text)
    {
        auto* model = view->model();
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->index(r, c).data().toString() == text)
                    return r;
        return -1;
    }
    void makeCurrent(QTableView* view, int row) { view->setCurrentIndex(view->model()->index(row, 1)); }

    // Clicks `trigger`; `act` runs on the modal dialog that opens. Whatever happens, the dialog is
    // closed afterwards so that a failing check cannot leave the test waiting. Returns the dialog.
    QDialog* withDialog(QPushButton* trigger, const std::function<void(QDialog*)>& act)
    {
        QDialog* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (seen) {
                act(seen);
                if (seen->isVisible())
                    seen->reject();
            }
        });
        QTest::mouseClick(trigger, Qt::LeftButton);
        QApplication::processEvents();
        return seen;
    }
    QLineEdit* edit(QDialog* d, const char* name) { return d->findChild<QLineEdit*>(name); }
};

} // namespace

// ---- persons ----

TEST_F(PersonDialogs, AddingAPersonWithCredentialsShowsItInTheGridAndOnTheWeb)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    QString channel, userId, password;
    bool councilChecked = true;
    QDialog* dialog = withDialog(button("Baggiungi"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Anagrafe condomino");
        EXPECT_EQ(d->size(), QSize(424, 585));
        channel = d->findChild<QComboBox*>("EditComunicazioni")->currentText();
        councilChecked = d->findChild<QCheckBox*>("EditConsiglio")->isChecked();
        EXPECT_EQ(edit(d, "EditCognome")->text(), "");
        QTest::keyClicks(edit(d, "EditCognome"), "D'Ang/elo");
        EXPECT_EQ(app::takeMessages(), QStringList{"Carattere non ammesso"});
        QTest::keyClicks(edit(d, "EditNome"), "Anna");
        QTest::keyClicks(edit(d, "EditCitta"), "Torino");
        QTest::mouseClick(d->findChild<QPushButton*>("BTNgeneraPassword"), Qt::LeftButton);
        userId = edit(d, "Edituserid")->text();
        password = edit(d, "Editpassword")->text();
        keepScreenshot(*d, "TFormAnagrafe");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        EXPECT_FALSE(d->isVisible());
    });
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "TFormAnagrafe");
    EXPECT_EQ(channel, "Raccomandata");
    EXPECT_FALSE(councilChecked);
    EXPECT_EQ(userId, "DAngelo");
    EXPECT_EQ(password.size(), 6);
    EXPECT_GE(rowOf(grid("DBGridAnagrafe"), "D'Angelo"), 0);
    auto& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT \"Città\" FROM Anagrafe WHERE Cognome = 'D''Angelo'").toString(), "Torino");
    EXPECT_EQ(db.scalar("SELECT Persona FROM web.Accesso").toString(), "D'Angelo Anna");
    EXPECT_EQ(db.scalar("SELECT Password FROM web.Accesso").toString(), password);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM web.CodiceCondominio").toInt(), 1);

    // The same dialog is reused; a second opening starts empty again.
    QDialog* again = withDialog(button("Baggiungi"), [&](QDialog* d) {
        EXPECT_EQ(edit(d, "EditCognome")->text(), "");
        EXPECT_EQ(edit(d, "Editpassword")->text(), "");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    });
    EXPECT_EQ(again, dialog);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Anagrafe").toInt(), 3);
}

TEST_F(PersonDialogs, ModifyEditsThePersonCurrentInTheGrid)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    auto* persons = grid("DBGridAnagrafe");
    const int rossi = rowOf(persons, "Rossi");
    ASSERT_GE(rossi, 0);
    makeCurrent(persons, rossi);
    QString shownName, shownChannel;
    withDialog(button("BModifica"), [&](QDialog* d) {
        shownName = edit(d, "EditNome")->text();
        shownChannel = d->findChild<QComboBox*>("EditComunicazioni")->currentText();
        QLineEdit* nome = edit(d, "EditNome");
        nome->selectAll();
        QTest::keyClicks(nome, "Giuseppe");
        d->findChild<QCheckBox*>("EditConsiglio")->setChecked(true);
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    EXPECT_EQ(shownName, "Mario");
    EXPECT_EQ(shownChannel, "PEC");
    auto& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT Nome FROM Anagrafe WHERE Id = 1").toString(), "Giuseppe");
    EXPECT_EQ(db.scalar("SELECT Consiglio FROM Anagrafe WHERE Id = 1").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Anagrafe").toInt(), 2);
    // The grid is back on the row it had.
    EXPECT_EQ(form->workspace().ds("ADOTableAnagrafe").value("Id").toInt(), 1);
    EXPECT_GE(rowOf(persons, "Giuseppe"), 0);
}

// Another desk saves the person while the dialog is open: the confirmation is refused, the dialog
// shows the person as stored now, and a second confirmation (over what is shown) goes through.
TEST_F(PersonDialogs, AModificationOverAnotherDesksChangeShowsTheRowAsNowInsteadOfOverwritingIt)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    auto* persons = grid("DBGridAnagrafe");
    makeCurrent(persons, rowOf(persons, "Rossi"));
    store::Database otherDesk;
    store::openDatabase(otherDesk, form->workspace().paths().mainDatabase(), store::DatabaseKind::Main);
    QString shownAfterRefusal;
    QStringList messages;
    bool openAfterRefusal = false;
    withDialog(button("BModifica"), [&](QDialog* d) {
        otherDesk.exec("UPDATE Anagrafe SET Nome = 'Marco', Note = 'dalla segreteria' WHERE Id = 1");
        QLineEdit* nome = edit(d, "EditNome");
        nome->selectAll();
        QTest::keyClicks(nome, "Giuseppe");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        messages = app::takeMessages();
        openAfterRefusal = d->isVisible();
        shownAfterRefusal = edit(d, "EditNome")->text();
        keepScreenshot(*d, "modifica-superata");
        nome->selectAll();
        QTest::keyClicks(nome, "Giuseppe");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("modificato da un'altra postazione")) << messages[0].toStdString();
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(shownAfterRefusal, "Marco");
    auto& db = form->workspace().mainDb();
    // The second confirmation wrote the name typed over the row as it was, the other desk's note kept.
    EXPECT_EQ(db.scalar("SELECT Nome || '|' || Note FROM Anagrafe WHERE Id = 1").toString(), "Giuseppe|dalla segreteria");
}

TEST_F(PersonDialogs, MaximumLengthsLimitTypingButNotStoredTexts)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    auto* persons = grid("DBGridAnagrafe");
    makeCurrent(persons, rowOf(persons, QString(60, u'L')));
    int shown = 0, afterTyping = 0, userIdTyped = 0, passwordTyped = 0;
    QString buddy;
    withDialog(button("BModifica"), [&](QDialog* d) {
        QLineEdit* cognome = edit(d, "EditCognome");
        shown = int(cognome->text().size());
        cognome->end(false);
        QTest::keyClicks(cognome, "xyz");
        afterTyping = int(cognome->text().size());
        QTest::keyClicks(edit(d, "Edituserid"), QString(30, u'u'));
        userIdTyped = int(edit(d, "Edituserid")->text().size());
        QTest::keyClicks(edit(d, "Editpassword"), QString(30, u'p'));
        passwordTyped = int(edit(d, "Editpassword")->text().size());
        buddy = d->findChild<QLabel*>("LabelCognome")->buddy()->objectName();
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    });
    EXPECT_EQ(shown, 60);
    EXPECT_EQ(afterTyping, 60);
    EXPECT_EQ(userIdTyped, 20);
    EXPECT_EQ(passwordTyped, 10);
    EXPECT_EQ(buddy, "EditCognome");
    // "Annulla" wrote nothing.
    EXPECT_EQ(form->workspace().mainDb().scalar("SELECT COUNT(*) FROM web.Accesso").toInt(), 0);
}

TEST_F(PersonDialogs, AFailingWebDatabaseKeepsTheDialogOpenAndSavesNothing)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    auto& db = form->workspace().mainDb();
    db.exec("CREATE TRIGGER web.NoAccess BEFORE INSERT ON Accesso BEGIN SELECT RAISE(ABORT, 'accesso bloccato'); END");
    bool stillOpen = false;
    QStringList messages;
    withDialog(button("Baggiungi"), [&](QDialog* d) {
        QTest::keyClicks(edit(d, "EditCognome"), "Neri");
        QTest::mouseClick(d->findChild<QPushButton*>("BTNgeneraPassword"), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        stillOpen = d->isVisible();
        messages = app::takeMessages();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains("accesso bloccato"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Anagrafe WHERE Cognome = 'Neri'").toInt(), 0);
}

// The controls that take focus from the keyboard, from `first` on, in the order Tab visits them.
static QStringList tabChain(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    while (names.size() < count) {
        names << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled());
    }
    return names;
}

TEST_F(PersonDialogs, PersonAndSupplierDialogsVisitTheirControlsInOrder)
{
    choose(kAlfa);
    showTab(app::Tab::Anagrafe);
    QStringList persons, personLabels;
    withDialog(button("Baggiungi"), [&](QDialog* d) {
        persons = tabChain(edit(d, "EditCognome"), 18);
        for (const char* name : {"EditCognome", "EditNome", "EditMobile", "EditTelefono", "EditFax", "EditIndirizzo",
                                 "EditCAP", "EditCitta", "EditEmail", "EditCodiceFiscale", "EditNote", "Edituserid",
                                 "Editpassword"})
            for (QLabel* l : d->findChildren<QLabel*>())
                if (l->buddy() && l->buddy()->objectName() == QLatin1String(name))
                    personLabels << l->text();
        EXPECT_EQ(d->findChild<QCheckBox*>("EditConsiglio")->text(), "Membro del consiglio dei condomini");
        EXPECT_EQ(d->findChild<QPushButton*>("BTNgeneraPassword")->text(), "Genera User ID e Password");
        EXPECT_EQ(d->findChild<QGroupBox*>()->title(), "Web Data Base");
    });
    EXPECT_EQ(persons, QStringList({"EditCognome", "EditNome", "EditMobile", "EditTelefono", "EditFax", "EditIndirizzo",
                                    "EditCAP", "EditCitta", "EditEmail", "EditCodiceFiscale", "EditComunicazioni",
                                    "EditConsiglio", "EditNote", "Edituserid", "Editpassword", "BTNgeneraPassword",
                                    "BitBtn1", "BitBtn2"}));
    EXPECT_EQ(personLabels, QStringList({"Cognome", "Nome", "Mobile", "Telefono", "Fax", "Indirizzo", "CAP",
                                         QString::fromUtf8("Città"), "E-Mail", "Codice fiscale", "Nota", "User ID",
                                         "Password"}));

    choose(QString());
    showTab(app::Tab::Fornitori);
    grid("DBGridFornitori")->clearSelection();
    QStringList suppliers;
    QString noteLabel;
    int noteLimit = 0;
    withDialog(button("Baggiungi"), [&](QDialog* d) {
        suppliers = tabChain(edit(d, "EditCognome"), 15);
        noteLabel = d->findChild<QLabel*>("LabelNote")->text();
        noteLimit = edit(d, "EditNote")->maxLength();
    });
    EXPECT_EQ(suppliers, QStringList({"EditCognome", "EditNome", "EditMobile", "EditTelefono", "EditFax",
                                      "EditIndirizzo", "EditCAP", "EditCitta", "EditEmail", "EditCodiceFiscale",
                                      "EditPIVA", "EditIban", "EditNote", "BitBtn1", "BitBtn2"}));
    EXPECT_EQ(noteLabel, "Note");
    EXPECT_EQ(noteLimit, 200);
}

// ---- suppliers ----

TEST_F(PersonDialogs, AddingAndChangingASupplierFromTheFornitoriTab)
{
    showTab(app::Tab::Fornitori);
    auto* suppliers = grid("DBGridFornitori");
    suppliers->clearSelection();
    QDialog* dialog = withDialog(button("Baggiungi"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Anagrafe fornitore");
        EXPECT_EQ(d->size(), QSize(424, 445));
        QTest::keyClicks(edit(d, "EditCognome"), "Edil*izia");
        EXPECT_EQ(app::takeMessages(), QStringList{"Carattere non ammesso"});
        QTest::keyClicks(edit(d, "EditPIVA"), "01234567890");
        QTest::keyClicks(edit(d, "EditIban"), "IT99Z");
        keepScreenshot(*d, "TFormFornitore");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "TFormFornitore");
    auto& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT PartitaIVA FROM Fornitori WHERE Cognome = 'Edilizia'").toString(), "01234567890");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM fornitori_associazione").toInt(), 1);
    const int row = rowOf(suppliers, "Edilizia");
    ASSERT_GE(row, 0);

    makeCurrent(suppliers, rowOf(suppliers, "Elettrica"));
    QString shown;
    withDialog(button("BModifica"), [&](QDialog* d) {
        shown = edit(d, "EditCognome")->text();
        QTest::keyClicks(edit(d, "EditNome"), "Spa");
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    EXPECT_EQ(shown, "Elettrica");
    EXPECT_GE(rowOf(suppliers, "Elettrica Spa"), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Fornitori").toInt(), 4);
}

TEST_F(PersonDialogs, AssociatingTheSelectedSuppliers)
{
    showTab(app::Tab::Fornitori);
    auto* suppliers = grid("DBGridFornitori");
    auto* model = suppliers->model();
    ASSERT_EQ(model->rowCount(), 3);
    makeCurrent(suppliers, rowOf(suppliers, "Idraulica Srl"));
    suppliers->selectAll();
    QString label, condominium;
    QDialog* dialog = withDialog(button("Baggiungi"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Associa fornitore");
        EXPECT_EQ(d->size(), QSize(400, 165));
        label = d->findChild<QLabel*>("LabelFornitore")->text();
        condominium = d->findChild<QComboBox*>("ComboCondomini")->currentText();
        keepScreenshot(*d, "TFormAssociafornitore");
        QTest::mouseClick(d->findChild<QPushButton*>("BtnConferma"), Qt::LeftButton);
    });
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "TFormAssociafornitore");
    EXPECT_EQ(label, "Idraulica Srl");
    EXPECT_EQ(condominium, kAlfa);
    EXPECT_EQ(app::takeMessages(),
              QStringList{QString::fromUtf8("ATTENZIONE: Il fornitore \"Pulizie Snc\" e' già associato al condominio ") +
                          kAlfa});
    auto& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM fornitori_associazione WHERE IdCondominio = ?", {kAlfa}).toInt(), 3);
    EXPECT_EQ(suppliers->selectionModel()->selectedRows().size(), 3);

    choose(kAlfa);
    EXPECT_EQ(model->rowCount(), 3);
}
