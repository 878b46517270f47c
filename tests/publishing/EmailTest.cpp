#include "publishing/Email.h"
#include "publishing/MailTransport.h"
#include "support/Office.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::publishing;
using velcaris::test::Office;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

class Mail : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        rossi = person(kAlfa, "Rossi", "rossi@example.org", "E-mail");
        bianchi = person(kAlfa, "Bianchi", "bianchi@example.org", "PEC");
        person(kAlfa, "Neri", "", "E-mail");
        verdi = person(kAlfa, "Verdi", " verdi@example.net ", "E-mail");
        storto = person(kAlfa, "Storto", "mario storto@example.org", "E-mail");
        person(kAlfa, "Senza", "senza.chiocciola.example.org", "Raccomandata");
        person(kBeta, "Gialli", "gialli@example.org", "E-mail");
        settings.destinatario = "studio@example.it";
        settings.oggetto = "Comunicazione";
    }
    qint64 person(const QString& cond, const QString& surname, const QString& email, const QString& channel)
    {
        const qint64 id = office.addPerson(cond, surname);
        office.db().exec("UPDATE Anagrafe SET Email = ?, Comunicazioni = ? WHERE Id = ?", {email, channel, id});
        return id;
    }
    qint64 supplier(const QString& surname, const QString& email, const QString& cond)
    {
        office.db().exec("INSERT INTO Fornitori (Cognome, Email) VALUES (?, ?)", {surname, email});
        const qint64 id = office.db().lastInsertId();
        if (!cond.isEmpty())
            office.db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)", {id, cond});
        return id;
    }
    EmailDraft draft(RecipientMode mode, const QVector<qint64>& persons = {}, const QVector<qint64>& suppliers = {})
    {
        return prepareEmail(office.ws(), mode, persons, suppliers, settings);
    }

    Office office;
    app::Settings settings;
    qint64 rossi = 0, bianchi = 0, verdi = 0, storto = 0;
};

} // namespace

TEST_F(Mail, AllPersonsOfTheCondominiumGoHiddenBehindTheDefaultRecipient)
{
    office.ws().selection.condominium = kAlfa;
    const EmailDraft d = draft(RecipientMode::Tutti);
    EXPECT_EQ(d.to, "studio@example.it");
    EXPECT_EQ(d.hidden, QStringList({"rossi@example.org", "bianchi@example.org", "verdi@example.net"}));
    EXPECT_EQ(joinedWithSemicolons(d.hidden), "rossi@example.org;bianchi@example.org;verdi@example.net;");
    // Addresses that would reach nobody (or somebody else) are set apart, not sent to.
    EXPECT_EQ(d.skipped, QStringList({"mario storto@example.org", "senza.chiocciola.example.org"}));
    EXPECT_EQ(d.subject, "Comunicazione - Alfa - Via Roma 1");
}

TEST_F(Mail, WithoutACondominiumEveryPersonAndThePrefixAlone)
{
    const EmailDraft d = draft(RecipientMode::Tutti);
    EXPECT_TRUE(d.hidden.contains("gialli@example.org"));
    EXPECT_EQ(d.hidden.size(), 4);
    EXPECT_EQ(d.subject, "Comunicazione");
}

TEST_F(Mail, CommunicationsByEmailFollowTheSecondKindOfTheLookupTable)
{
    office.ws().selection.condominium = kAlfa;
    const EmailDraft d = draft(RecipientMode::Liberatorie);
    // Neri receives by e-mail but has no address: no empty entry.
    EXPECT_EQ(d.hidden, QStringList({"rossi@example.org", "verdi@example.net"}));
    EXPECT_EQ(d.skipped, QStringList({"mario storto@example.org"}));

    office.db().exec("UPDATE TipoAvvisi SET Tipo = 'PEC' WHERE Id = 2");
    EXPECT_EQ(draft(RecipientMode::Liberatorie).to, "bianchi@example.org");
    office.db().exec("DELETE FROM TipoAvvisi WHERE Id > 1");
    const EmailDraft none = draft(RecipientMode::Liberatorie);
    EXPECT_TRUE(none.hidden.isEmpty());
    EXPECT_EQ(none.to, "studio@example.it");
}

TEST_F(Mail, OneSelectedPersonBecomesTheRecipientInTheSelectionsOrder)
{
    office.ws().selection.condominium = kAlfa;
    const EmailDraft one = draft(RecipientMode::Selezionati, {bianchi});
    EXPECT_EQ(one.to, "bianchi@example.org");
    EXPECT_TRUE(one.hidden.isEmpty());
    const EmailDraft two = draft(RecipientMode::Selezionati, {verdi, rossi});
    EXPECT_EQ(two.hidden, QStringList({"verdi@example.net", "rossi@example.org"}));
    EXPECT_EQ(two.to, "studio@example.it");
    const EmailDraft nobody = draft(RecipientMode::Selezionati);
    EXPECT_TRUE(nobody.hidden.isEmpty());
    EXPECT_EQ(nobody.to, "studio@example.it");
}

TEST_F(Mail, SuppliersOfTheCondominiumOrEverySupplier)
{
    const qint64 idraulico = supplier("Idraulica", "idraulica@example.com", kAlfa);
    supplier("Elettrica", "", kAlfa);
    const qint64 pulizie = supplier("Pulizie", "pulizie@example.com", kBeta);
    supplier("Giardini", "giardini@example.com", {});
    office.ws().selection.condominium = kAlfa;
    EXPECT_EQ(draft(RecipientMode::TuttiFornitori).to, "idraulica@example.com");
    office.ws().selection.condominium.clear();
    EXPECT_EQ(draft(RecipientMode::TuttiFornitori).hidden,
              QStringList({"idraulica@example.com", "pulizie@example.com", "giardini@example.com"}));
    EXPECT_EQ(draft(RecipientMode::SelezionatiFornitori, {}, {pulizie, idraulico}).hidden,
              QStringList({"pulizie@example.com", "idraulica@example.com"}));
}

TEST(RecipientMode, NamesAndAddresses)
{
    for (RecipientMode m : {RecipientMode::Tutti, RecipientMode::Liberatorie, RecipientMode::Selezionati,
                            RecipientMode::TuttiFornitori, RecipientMode::SelezionatiFornitori})
        EXPECT_EQ(recipientModeFromText(recipientModeText(m)), m);
    EXPECT_FALSE(recipientModeFromText("Tutti"));
    EXPECT_EQ(recipientModeText(RecipientMode::SelezionatiFornitori), "selezionatiFornitori");
    EXPECT_TRUE(isSupplierMode(RecipientMode::TuttiFornitori));
    EXPECT_FALSE(isSupplierMode(RecipientMode::Liberatorie));

    for (const char* good : {"a@b.it", "mario.rossi+cond@example.org"})
        EXPECT_TRUE(isUsableAddress(good)) << good;
    for (const char* bad : {"", "rossi", "@example.org", "rossi@", "a b@c.it", "a@b@c.it", "a@b.it;c@d.it",
                            "Rossi <a@b.it>", "a@b.it\r\nBcc: x@y.z"})
        EXPECT_FALSE(isUsableAddress(bad)) << bad;
}

TEST(MailTransport, TheSmtpSectionChoosesDirectSending)
{
    velcaris::test::TempDir dir;
    const QString ini = dir.file("velcaris.ini");
    auto write = [&](const QByteArray& text) {
        QFile f(ini);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    };
    write("[destinatario]\ndestinatario=a@b.it\n");
    EXPECT_FALSE(readSmtpSettings(ini));
    EXPECT_TRUE(dynamic_cast<platform::DesktopMailClient*>(mailClientFor(ini).get()));

    write("[SMTP]\nserver = mail.example.it\nuser=studio\npassword=\"p;a=ss\"\nsender=studio@example.it\n");
    auto s = readSmtpSettings(ini);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->server, "mail.example.it");
    EXPECT_EQ(s->password, "p;a=ss");
    EXPECT_EQ(s->security, platform::SmtpSecurity::StartTls);
    EXPECT_EQ(s->effectivePort(), 587);
    EXPECT_TRUE(dynamic_cast<platform::SmtpMailClient*>(mailClientFor(ini).get()));

    write("[smtp]\nserver=mail.example.it\nport=465\ntls=on\n");
    EXPECT_EQ(readSmtpSettings(ini)->security, platform::SmtpSecurity::Implicit);
    write("[smtp]\nserver=mail.example.it\ntls=ssl\n");
    EXPECT_EQ(readSmtpSettings(ini)->effectivePort(), 465);
    write("[smtp]\nserver=relay.lan\ntls=off\n");
    EXPECT_EQ(readSmtpSettings(ini)->security, platform::SmtpSecurity::None);
    EXPECT_EQ(readSmtpSettings(ini)->effectivePort(), 25);
}
