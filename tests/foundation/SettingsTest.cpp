#include "foundation/Settings.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::app;
using velcaris::test::TempDir;

namespace {

QString writeIni(const TempDir& dir, const QByteArray& bytes)
{
    const QString path = dir.file("velcaris.ini");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the settings file");
    return path;
}

} // namespace

TEST(Settings, ReadsAllFiveValues)
{
    TempDir dir;
    const QString ini = writeIni(dir,
                                 "; impostazioni di Velcaris\r\n"
                                 "[destinatario]\r\n"
                                 "destinatario=studio@example.it\r\n"
                                 "\r\n"
                                 "[oggetto_mail]\r\n"
                                 "oggetto=Comunicazione condominiale\r\n"
                                 "[ricevute]\r\n"
                                 "stamparicevute=1\r\n"
                                 "[messa_in_mora]\r\n"
                                 "mora=La presente vale come formale messa in mora.\r\n"
                                 "[amministratore]\r\n"
                                 "amministratore=Rag. Mario Rossi\r\n");
    const Settings s = ReadSettings(ini);
    EXPECT_EQ(s.destinatario, "studio@example.it");
    EXPECT_EQ(s.oggetto, "Comunicazione condominiale");
    EXPECT_EQ(s.stamparicevuteText, "1");
    EXPECT_TRUE(s.stamparicevute());
    EXPECT_EQ(s.mora, "La presente vale come formale messa in mora.");
    EXPECT_EQ(s.amministratore, "Rag. Mario Rossi");
}

TEST(Settings, MissingFileGivesEmptyValues)
{
    TempDir dir;
    const Settings s = ReadSettings(dir.file("absent.ini"));
    EXPECT_TRUE(s.destinatario.isEmpty());
    EXPECT_TRUE(s.oggetto.isEmpty());
    EXPECT_TRUE(s.mora.isEmpty());
    EXPECT_TRUE(s.amministratore.isEmpty());
    EXPECT_TRUE(s.stamparicevuteText.isEmpty());
    EXPECT_FALSE(s.stamparicevute());
}

TEST(Settings, KeysAreFoundOnlyInTheirOwnSection)
{
    TempDir dir;
    const QString ini = writeIni(dir,
                                 "[oggetto]\n"
                                 "oggetto=nella sezione sbagliata\n"
                                 "[amministratore]\n"
                                 "destinatario=fuori posto\n"
                                 "name=Mario\n"
                                 "[destinatario]\n"
                                 "[oggetto_mail]\n"
                                 "soggetto=chiave sbagliata\n");
    const Settings s = ReadSettings(ini);
    EXPECT_TRUE(s.oggetto.isEmpty());
    EXPECT_TRUE(s.destinatario.isEmpty());
    EXPECT_TRUE(s.amministratore.isEmpty());
}

// The studio's identity beside the administrator's name, and the rate of the reminders' interest:
// the legal one when unset, none when set to 0, "nessuno" or something that is no rate.
TEST(Settings, TheStudioAndTheLateInterest)
{
    TempDir dir;
    const QString ini = writeIni(dir,
                                 "[amministratore]\n"
                                 "amministratore=Nome vecchio\n"
                                 "nome=Rag. Anna Neri\n"
                                 "studio=Studio Neri\n"
                                 "indirizzo=Via Po 3\n"
                                 "cap=10123\n"
                                 "citta=Torino\n"
                                 "telefono=011 555 1234\n"
                                 "email=studio@example.it\n"
                                 "pec=studio@pec.example.it\n"
                                 "codicefiscale=NRENNA70A41L219X\n"
                                 "[solleciti]\n"
                                 "interessi=2,5\n");
    const Settings s = ReadSettings(ini);
    EXPECT_EQ(s.amministratore, "Rag. Anna Neri") << "nome comes before the older key";
    EXPECT_EQ(s.studio.nome, "Rag. Anna Neri");
    EXPECT_EQ(s.studio.studio, "Studio Neri");
    EXPECT_EQ(s.studio.indirizzo + "|" + s.studio.cap + "|" + s.studio.citta, "Via Po 3|10123|Torino");
    EXPECT_EQ(s.studio.telefono + "|" + s.studio.email + "|" + s.studio.pec + "|" + s.studio.codiceFiscale,
              "011 555 1234|studio@example.it|studio@pec.example.it|NRENNA70A41L219X");
    EXPECT_FALSE(s.studio.isEmpty());
    EXPECT_TRUE(s.lateInterest().enabled);
    EXPECT_FALSE(s.lateInterest().legal);
    EXPECT_DOUBLE_EQ(s.lateInterest().ratePercent, 2.5);

    EXPECT_TRUE(ReadSettings(dir.file("absent.ini")).studio.isEmpty());
    Settings rate;
    EXPECT_TRUE(rate.lateInterest().enabled && rate.lateInterest().legal) << "unset: the legal rate";
    for (const char* none : {"0", "nessuno", "NESSUNO", "-1", "due"}) {
        rate.interessiText = QString::fromLatin1(none);
        EXPECT_FALSE(rate.lateInterest().enabled) << none;
    }
    rate.interessiText = "8.5%";
    EXPECT_DOUBLE_EQ(rate.lateInterest().ratePercent, 8.5);
}

TEST(Settings, NamesIgnoreLetterCaseAndBlanks)
{
    TempDir dir;
    const QString ini = writeIni(dir,
                                 "[ Oggetto_Mail ]\n"
                                 "  OGGETTO  =   Avviso  \n"
                                 "[AMMINISTRATORE]\n"
                                 "Amministratore=Anna Bianchi\n");
    const Settings s = ReadSettings(ini);
    EXPECT_EQ(s.oggetto, "Avviso");
    EXPECT_EQ(s.amministratore, "Anna Bianchi");
}

TEST(Settings, ValueKeepsEqualsSignsAndCommentsAreSkipped)
{
    TempDir dir;
    const QString ini = writeIni(dir,
                                 "[messa_in_mora]\n"
                                 "# mora=commentata\n"
                                 "; mora=anche questa\n"
                                 "mora=art. 1219 c.c. = messa in mora; entro 15 giorni\n"
                                 "mora=seconda riga ignorata\n"
                                 "[destinatario]\n"
                                 "destinatario=\"tutti@example.it\"\n");
    const Settings s = ReadSettings(ini);
    EXPECT_EQ(s.mora, "art. 1219 c.c. = messa in mora; entro 15 giorni");
    EXPECT_EQ(s.destinatario, "tutti@example.it");
}

TEST(Settings, Latin1AndUtf8FilesBothDecode)
{
    TempDir dir;
    // "è" as the single Latin-1 byte 0xE8.
    Settings s = ReadSettings(writeIni(dir, "[amministratore]\namministratore=Societ\xE0 \xE8 Co.\n"));
    EXPECT_EQ(s.amministratore, QString::fromUtf8("Società è Co."));

    s = ReadSettings(writeIni(dir, "\xEF\xBB\xBF[amministratore]\namministratore=Societ\xC3\xA0 \xC3\xA8 Co.\n"));
    EXPECT_EQ(s.amministratore, QString::fromUtf8("Società è Co."));
}

TEST(Settings, ReceiptPrintingBooleanText)
{
    const struct {
        const char* text;
        bool expected;
    } cases[] = {
        {"1", true},     {"true", true},   {"TRUE", true},  {"True", true},   {"-1", true},
        {"2.5", true},   {"0.001", true},  {"False", false}, {"false", false}, {"0", false},
        {"0.0", false},  {"", false},      {"si", false},   {"2,5", false},   {"yes", false},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const QString ini = writeIni(dir, QByteArray("[ricevute]\nstamparicevute=") + c.text + "\n");
        const Settings s = ReadSettings(ini);
        EXPECT_EQ(s.stamparicevuteText, QString::fromLatin1(c.text));
        EXPECT_EQ(s.stamparicevute(), c.expected) << "value: '" << c.text << "'";
    }
}

TEST(Settings, EachReadingReplacesTheCurrentValues)
{
    TempDir dir;
    currentSettings() = ReadSettings(writeIni(dir, "[amministratore]\namministratore=Primo\n[destinatario]\ndestinatario=a@b.it\n"));
    EXPECT_EQ(currentSettings().amministratore, "Primo");
    currentSettings() = ReadSettings(writeIni(dir, "[amministratore]\namministratore=Secondo\n"));
    EXPECT_EQ(currentSettings().amministratore, "Secondo");
    EXPECT_TRUE(currentSettings().destinatario.isEmpty());
}
