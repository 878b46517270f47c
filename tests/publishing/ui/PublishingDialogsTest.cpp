#include "dialogkit/Messages.h"
#include "publishing/ui/PublishingDialogs.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::keepScreenshot;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome) VALUES (?), ('Beta - Via Po 2')", {kAlfa});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2023', 0), (?, '2024', 1)",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Email, Comunicazioni) VALUES "
            "(?, 'Rossi', 'rossi@example.org', 'E-mail'), (?, 'Bianchi', 'bianchi@example.org', 'PEC'), "
            "(?, 'Neri', '', 'E-mail'), (?, 'Verdi', 'verdi@example.net', 'E-mail')",
            {kAlfa, kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Fornitori (Cognome, Email) VALUES ('Idraulica', 'idraulica@example.com'), "
            "('Elettrica', 'elettrica@example.com')");
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?), (2, ?)", {kAlfa, kAlfa});
    QFile ini(ws.paths().appFolder() + "/velcaris.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[destinatario]\ndestinatario=studio@example.it\n[oggetto_mail]\noggetto=Comunicazione\n");
}

class PublishingDialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({[this](const app::DialogContext& context, const app::RegisterDialog& registerDialog) {
            publishing::ui::installDialogs(context, registerDialog, [this] { return mail; });
        }});
        showWindow();
    }

    template <typename T>
    T* find(QWidget* in, const char* name) { return in->findChild<T*>(QString::fromLatin1(name)); }
    void click(QWidget* in, const char* name)
    {
        QAbstractButton* b = find<QAbstractButton>(in, name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QDialog* dialog(const char* name)
    {
        auto* d = find<QDialog>(form.get(), name);
        return d && d->isVisible() ? d : nullptr;
    }
    // `act` runs on the next modal window (a file chooser, a question) while it is open.
    void onNextModal(std::function<void(QWidget*)> act)
    {
        QTimer::singleShot(0, [act] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                act(w);
                if (w->isVisible())
                    static_cast<QDialog*>(w)->reject();
            }
        });
    }
    void chooseFile(const QString& path)
    {
        onNextModal([path](QWidget* w) {
            auto* chooser = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(chooser, nullptr);
            chooser->selectFile(path);
            static_cast<QDialog*>(chooser)->accept(); // public in QDialog
        });
    }
    QStringList logLines()
    {
        QFile f(dir.file("mail.log"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QString writeFile(const QString& relative)
    {
        const QString path = dir.file(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("%PDF-1.4");
        return path;
    }

    std::shared_ptr<platform::RecordingMailClient> mail = std::make_shared<platform::RecordingMailClient>();
};

} // namespace

TEST_F(PublishingDialogs, AllPersonsGoHiddenAndTheMessageIsLogged)
{
    form->selectCondominium(kAlfa);
    showTab(app::Tab::Anagrafe);
    click(form.get(), "Btutti2");
    QDialog* d = dialog("FormEmail");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "E-mail");
    EXPECT_EQ(find<QLineEdit>(d, "EditA")->text(), "studio@example.it");
    EXPECT_EQ(find<QPlainTextEdit>(d, "EditCCn")->toPlainText(), "rossi@example.org;bianchi@example.org;verdi@example.net;");
    EXPECT_TRUE(find<QPlainTextEdit>(d, "EditCCn")->isReadOnly());
    EXPECT_EQ(find<QLineEdit>(d, "EditObject")->text(), "Comunicazione - " + kAlfa);
    EXPECT_FALSE(find<QLabel>(d, "LabelScartati")->isVisible());
    find<QPlainTextEdit>(d, "MemoMsg")->insertPlainText("L'assemblea è convocata.");
    keepScreenshot(*d, "TFormEmail");
    click(d, "OK");

    EXPECT_FALSE(d->isVisible());
    ASSERT_EQ(mail->messages().size(), 1);
    const platform::MailMessage& m = mail->messages().first();
    EXPECT_EQ(m.to, QStringList({"studio@example.it"}));
    EXPECT_EQ(m.bcc, QStringList({"rossi@example.org", "bianchi@example.org", "verdi@example.net"}));
    EXPECT_EQ(m.body, "L'assemblea è convocata.");
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 8);
    EXPECT_TRUE(log[0].contains("C O N D O M I N I"));
    EXPECT_EQ(log[3], "Destinatari nascosti: rossi@example.org;bianchi@example.org;verdi@example.net;");
    EXPECT_EQ(log[5], "Testo: L'assemblea è convocata.");
    EXPECT_EQ(log[7], "Esito: consegnato al programma di posta");
}

TEST_F(PublishingDialogs, OneSelectedPersonIsTheRecipientAndTheSelectionIsClearedAfterwards)
{
    form->selectCondominium(kAlfa);
    showTab(app::Tab::Anagrafe);
    auto* grid = find<QTableView>(form.get(), "DBGridAnagrafe");
    grid->selectRow(1); // Bianchi
    click(form.get(), "Bselezionati2");
    QDialog* d = dialog("FormEmail");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(find<QLineEdit>(d, "EditA")->text(), "bianchi@example.org");
    EXPECT_EQ(find<QPlainTextEdit>(d, "EditCCn")->toPlainText(), "");
    click(d, "OK");
    ASSERT_EQ(mail->messages().size(), 1);
    EXPECT_EQ(mail->messages()[0].to, QStringList({"bianchi@example.org"}));
    EXPECT_EQ(mail->messages()[0].cc, QStringList({"bianchi@example.org"}));
    EXPECT_TRUE(mail->messages()[0].bcc.isEmpty());
    EXPECT_FALSE(grid->selectionModel()->hasSelection());
}

TEST_F(PublishingDialogs, AttachmentsAreChosenAndDoNotCarryOverToTheNextMessage)
{
    const QString pdf = writeFile("allegati/verbale.pdf");
    showTab(app::Tab::Anagrafe);
    click(form.get(), "BComunicazioni");
    QDialog* d = dialog("FormEmail");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(find<QLineEdit>(d, "EditObject")->text(), "Comunicazione"); // no condominium chosen
    chooseFile(pdf);
    click(d, "attach");
    EXPECT_EQ(find<QLineEdit>(d, "EditAttach")->text(), pdf + ";");
    click(d, "OK");
    ASSERT_EQ(mail->messages().size(), 1);
    EXPECT_EQ(mail->messages()[0].attachments, QStringList({pdf}));

    click(form.get(), "BComunicazioni");
    d = dialog("FormEmail");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(find<QLineEdit>(d, "EditAttach")->text(), "");
    click(d, "OK");
    ASSERT_EQ(mail->messages().size(), 2);
    EXPECT_TRUE(mail->messages()[1].attachments.isEmpty());
}

TEST_F(PublishingDialogs, AFailureIsShownTheDialogStaysAndTheLogSaysNotSent)
{
    form->selectCondominium(kAlfa);
    showTab(app::Tab::Fornitori);
    mail->answerWith(platform::MailResult::failure(14, "Server x: 550 5.1.1 utente sconosciuto"));
    click(form.get(), "BTutti");
    QDialog* d = dialog("FormEmail");
    ASSERT_NE(d, nullptr);
    // In the order the suppliers' grid shows them (by name).
    EXPECT_EQ(find<QPlainTextEdit>(d, "EditCCn")->toPlainText(), "elettrica@example.com;idraulica@example.com;");
    app::takeMessages();
    click(d, "OK");
    EXPECT_EQ(app::takeMessages(), QStringList({"Messaggio non inviato: Server x: 550 5.1.1 utente sconosciuto"}));
    EXPECT_TRUE(d->isVisible());
    const QStringList log = logLines();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log[0].contains("F O R N I T O R I"));
    EXPECT_TRUE(log.last().startsWith("Esito: NON INVIATO, codice 14"));
    d->reject();
}

TEST_F(PublishingDialogs, PublishingNeedsACondominiumAndADocument)
{
    click(form.get(), "ButtonPubblica");
    EXPECT_EQ(dialog("FormPubbica"), nullptr);
    EXPECT_EQ(app::takeMessages(), QStringList({"Selezionare un condominio"}));

    form->selectCondominium(kAlfa);
    click(form.get(), "ButtonPubblica");
    QDialog* d = dialog("FormPubbica");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Pubblica - " + kAlfa);
    auto* years = find<QComboBox>(d, "ComboAA");
    EXPECT_EQ(years->count(), 2);
    EXPECT_EQ(years->currentText(), "2024");
    EXPECT_EQ(find<QDateEdit>(d, "ComboData")->date(), QDate::currentDate());
    click(d, "BitBtn1");
    EXPECT_EQ(app::takeMessages(), QStringList({"Selezionare un documento"}));
    EXPECT_TRUE(d->isVisible());

    const QString pdf = writeFile("archivio/2024/Verbale.pdf");
    chooseFile(pdf);
    click(d, "SpeedButton1");
    EXPECT_EQ(find<QLineEdit>(d, "EditDocumento")->text(), "Verbale.pdf");
    // A cancelled choice keeps the last file chosen.
    onNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    click(d, "SpeedButton1");
    EXPECT_EQ(find<QLineEdit>(d, "EditDocumento")->text(), "Verbale.pdf");
    keepScreenshot(*d, "TFormPubbica");
    find<QCheckBox>(d, "CheckBoxAAPubblica")->setChecked(false);
    EXPECT_FALSE(years->isEnabled());
    find<QDateEdit>(d, "ComboData")->setDate(QDate(2024, 6, 30));
    click(d, "BitBtn1");
    EXPECT_FALSE(d->isVisible());
    auto& db = form->workspace().mainDb();
    EXPECT_EQ(db.scalar("SELECT File || '|' || COALESCE(AA, '') || '|' || Data FROM web.Files").toString(),
              "Verbale.pdf||2024-06-30");
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST_F(PublishingDialogs, WithdrawingListsTheCondominiumsDocumentsChangesAYearAndDeletes)
{
    auto& db = form->workspace().mainDb();
    db.exec("INSERT INTO web.Files (Condominio, AA, File, Data) VALUES (?, '2024', 'B.pdf', '2024-02-01'), "
            "(?, '2023', 'A.pdf', '2023-05-01'), ('Beta - Via Po 2', '2024', 'Altro.pdf', '2024-01-01'), "
            "(?, '2024', 'C.pdf', '2024-01-15')",
            {kAlfa, kAlfa, kAlfa});
    form->selectCondominium(kAlfa);
    click(form.get(), "ButtonPubblica");
    QDialog* publish = dialog("FormPubbica");
    ASSERT_NE(publish, nullptr);
    click(publish, "SpeedButton2");
    QDialog* d = dialog("FormCancellaFiles");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Cancella documento");
    auto* grid = find<QTableView>(d, "DBGridDocumenti");
    auto* model = grid->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_TRUE(grid->isColumnHidden(0));
    EXPECT_EQ(grid->columnWidth(1), 300);
    EXPECT_EQ(model->index(0, 3).data().toString(), "A.pdf");
    EXPECT_EQ(model->index(1, 3).data().toString(), "C.pdf");
    EXPECT_EQ(model->index(2, 3).data().toString(), "B.pdf");
    auto* years = find<QComboBox>(d, "ComboAA");
    EXPECT_FALSE(years->isVisible());

    // A click on the year of A.pdf lays the year list over that cell, showing its year.
    const QModelIndex aa = model->index(0, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(aa).center());
    ASSERT_TRUE(years->isVisible());
    EXPECT_TRUE(grid->visualRect(aa).intersects(years->geometry()));
    EXPECT_EQ(years->currentText(), "2023");
    keepScreenshot(*d, "TFormCancellaFiles");
    QTest::keyClick(years, Qt::Key_Up); // to 2024, the newest
    EXPECT_FALSE(years->isVisible());
    EXPECT_EQ(db.scalar("SELECT AA FROM web.Files WHERE File = 'A.pdf'").toString(), "2024");
    EXPECT_EQ(model->index(0, 2).data().toString(), "2024"); // read again
    EXPECT_EQ(model->index(0, 3).data().toString(), "A.pdf"); // still first by its date

    // A click on another column leaves the list hidden; the navigator's delete asks, then
    // withdraws the current row.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(1, 3)).center());
    EXPECT_FALSE(years->isVisible());
    onNextModal([](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("ButtonSecond"), Qt::LeftButton); });
    click(d, "NavDelete");
    EXPECT_EQ(model->rowCount(), 3);
    onNextModal([](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("ButtonFirst"), Qt::LeftButton); });
    click(d, "NavDelete");
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM web.Files WHERE File = 'C.pdf'").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM web.Files").toInt(), 3);
    click(d, "NavLast");
    EXPECT_EQ(grid->currentIndex().row(), 1);
    click(d, "BitBtnChiudi");
    EXPECT_FALSE(d->isVisible());
    publish->reject();
}
