// An office kept in files moved onto a server with "Trasferisci su server", then opened by two
// desks at once: both show the registers the files showed, and what one desk records the other
// sees. Runs when VELCARIS_TEST_PG names a server where the user may create databases.
#include "cashbook/Payments.h"
#include "cashbook/ReceiptNumbers.h"
#include "dialogkit/Messages.h"
#include "support/Screenshot.h"
#include "support/ServerDatabase.h"
#include "support/ui/MainWindowFixture.h"
#include "window/ui/TFTrasferisciServer.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

using namespace velcaris;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
const QString kBeta = QStringLiteral("Beta - Corso Re Umberto 12");
const char* const kRegisters[] = {"ADOTableCondomini", "ADOTableAnagrafe", "ADOQueryLocali",      "ADOTableQuote",
                                  "ADOQueryEntrate",   "ADOWEBDBQuote",    "ADOQueryQuoteSingole"};

QString conninfoValue(const QString& key)
{
    for (const QString& part : qEnvironmentVariable("VELCARIS_TEST_PG").split(u' ', Qt::SkipEmptyParts))
        if (part.startsWith(key + u'='))
            return part.mid(key.size() + 1);
    return QString();
}

// Every row of every register the window has read for the chosen condominium, as text.
QStringList registers(app::Workspace& ws)
{
    QStringList out;
    for (const char* name : kRegisters) {
        store::Dataset& d = ws.ds(QString::fromLatin1(name));
        if (!d.isActive()) {
            out << QString::fromLatin1(name) + QStringLiteral(": chiuso");
            continue;
        }
        for (int r = 0; r < d.rowCount(); ++r) {
            QStringList cells;
            for (const QString& field : d.fieldNames())
                cells << d.valueAt(r, field).toString();
            out << QString::fromLatin1(name) + u':' + cells.join(u'|');
        }
    }
    return out;
}

class SharedOffice : public test::MainWindowFixture {
protected:
    void TearDown() override
    {
        second.reset();
        MainWindowFixture::TearDown();
        server.reset();
    }
    std::unique_ptr<test::ServerDatabase> server;
    test::TempDir secondDesk;
    std::unique_ptr<app::TForm1> second;
};

} // namespace

TEST_F(SharedOffice, AFileOfficeMovedToTheServerOpensOnTwoDesksWithTheSameRegisters)
{
    if (!test::serverAvailable())
        GTEST_SKIP() << "VELCARIS_TEST_PG non impostata: nessun server PostgreSQL per la prova";
    writeOffice([](app::Workspace& ws) {
        store::Database& db = ws.mainDb();
        test::addCondominiumsWithYear(db, {kAlfa, kBeta}, QStringLiteral("2024"));
        db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, "
                "'D''Angelo', 'Niccolò')",
                {kAlfa});
        const qint64 owner = db.lastInsertId();
        db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, "
                "idInquilino) VALUES (?, 'Int. 1', ?, ?)",
                {kAlfa, owner, owner});
        const qint64 unit = db.lastInsertId();
        for (int q = 1; q <= 3; ++q)
            db.exec("INSERT INTO Quote (IdCondominio, AA, IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato, "
                    "DataScadenza) VALUES (?, '2024', ?, ?, 'Spese ordinarie', 120.5, 0, ?)",
                    {kAlfa, unit, QStringLiteral("Rata %1").arg(q), QDate(2024, q * 3, 1)});
        cashbook::PaymentInput in;
        in.condominium = kAlfa;
        in.receiptNumber = cashbook::nextReceiptNumber(ws, kAlfa);
        in.date = QDate(2024, 3, 2);
        in.method = QStringLiteral("Cassa");
        in.ownerPays = true;
        in.payerId = owner;
        in.rows = {{QStringLiteral("Rata 1"), QStringLiteral("120.50"), QStringLiteral("Spese ordinarie"), QString()}};
        ASSERT_TRUE(cashbook::recordPayment(ws, in).done);
    });
    openWindow({});
    showWindow(kAlfa);
    const QStringList fromFiles = registers(form->workspace());
    ASSERT_EQ(fromFiles.filter(QRegularExpression("^ADOTableQuote:\\d")).size(), 3) << fromFiles.join('\n').toStdString();
    ASSERT_EQ(fromFiles.filter(QRegularExpression("^ADOQueryEntrate:")).size(), 1) << fromFiles.join('\n').toStdString();

    // The transfer, as the user fills the dialog.
    server = std::make_unique<test::ServerDatabase>(QStringLiteral("w"));
    const QString database = server->name();
    QString section;
    {
        app::TFTrasferisciServer dialog(form->workspace().paths(), form.get());
        dialog.findChild<QLineEdit*>("EditServer")->setText(conninfoValue("host"));
        dialog.findChild<QLineEdit*>("EditDatabase")->setText(database);
        dialog.findChild<QLineEdit*>("EditUtente")->setText(conninfoValue("user"));
        dialog.show();
        dialog.transfer();
        ASSERT_TRUE(dialog.lastResult().done) << dialog.lastResult().message.toStdString();
        section = dialog.findChild<QPlainTextEdit*>("TestoSezioneServer")->toPlainText();
        EXPECT_TRUE(section.startsWith("[server]")) << section.toStdString();
        test::keepScreenshot(dialog, "trasferisci-su-server");
    }
    form.reset();

    // Both desks put the section the dialog gave into their settings files.
    for (const QString& folder : {dir.path(), secondDesk.path()}) {
        QFile ini(app::AppPaths(folder).settingsFile());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(section.toUtf8());
    }
    openWindow({});
    showWindow(kAlfa);
    second = std::make_unique<app::TForm1>(app::AppPaths(secondDesk.path()));
    second->resize(1280, 800);
    second->show();
    second->selectCondominium(kAlfa);
    app::takeMessages();
    for (app::TForm1* desk : {form.get(), second.get()}) {
        ASSERT_TRUE(desk->workspace().isServer());
        EXPECT_TRUE(desk->startUpError().isEmpty()) << desk->startUpError().toStdString();
        EXPECT_EQ(registers(desk->workspace()), fromFiles);
        EXPECT_TRUE(desk->findChild<QWidget*>("LabelCartellaDati")->property("text").toString().contains(database));
        // The server keeps its own copies; nothing here restores or transfers files.
        for (const char* button : {"BRipristina", "BTrasferisciServer"})
            EXPECT_FALSE(desk->findChild<QWidget*>(button)->isVisible()) << button;
    }
    test::keepScreenshot(*second, "ufficio-condiviso");

    // A payment on the first desk is in the second's register once it reads it again.
    app::Workspace& ws = form->workspace();
    cashbook::PaymentInput in;
    in.condominium = kAlfa;
    in.receiptNumber = cashbook::nextReceiptNumber(ws, kAlfa);
    in.date = QDate(2024, 6, 1);
    in.method = QStringLiteral("Conto Corrente");
    in.ownerPays = true;
    in.payerId = ws.mainDb().scalar("SELECT Id FROM Anagrafe WHERE Cognome = 'D''Angelo'").toLongLong();
    in.rows = {{QStringLiteral("Rata 2"), QStringLiteral("20.00"), QStringLiteral("Spese ordinarie"), QString()}};
    int number = 0;
    ASSERT_TRUE(cashbook::recordPayment(ws, in, &number).done);
    EXPECT_EQ(number, 2);
    store::Dataset& income = second->workspace().ds("ADOQueryEntrate");
    income.requery();
    EXPECT_EQ(income.rowCount(), 2);
}
