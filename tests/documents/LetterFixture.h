#pragma once
// A condominium with owners, a tenant and their instalments, and helpers to write a template
// into Output and read a document back as text.
#include "foundation/Selection.h"
#include "foundation/Settings.h"
#include "documents/RtfReader.h"
#include "documents/RtfReport.h"
#include "platform/Shell.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace velcaris::test {

inline const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
inline const QDate kToday(2024, 6, 15);

class LetterFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.db().exec("UPDATE Condomini SET Conto_corrente = 'IT60X0542811101000000123456', "
                         "Intestatario = 'Condominio Alfa' WHERE Nome = ?",
                         {kAlfa});
        office.addYear(kAlfa, QStringLiteral("2024"), true);
        rossi = office.addPerson(kAlfa, QStringLiteral("Rossi"), QStringLiteral("Mario"));
        bianchi = office.addPerson(kAlfa, QStringLiteral("Bianchi"));
        verdi = office.addPerson(kAlfa, QStringLiteral("Verdi"), QStringLiteral("Anna"));
        office.db().exec("UPDATE Anagrafe SET Indirizzo = 'Via Roma 1', CAP = '10100', \"Città\" = 'Torino'");
        a1 = office.addUnit(kAlfa, QStringLiteral("A1"), rossi, bianchi);
        for (const auto& [name, type, due] :
             {std::tuple{"Rata 1", "Spese ordinarie", QDate(2024, 6, 10)},
              std::tuple{"Rata 1", "Spese straordinarie", QDate(2024, 6, 15)},
              std::tuple{"Rata 2", "Spese ordinarie", QDate(2024, 6, 20)}})
            office.addQuota(kAlfa, QStringLiteral("2024"), a1, QString::fromLatin1(name), QString::fromLatin1(type),
                            100, due, 10);
        app::chooseCondominium(office.ws(), kAlfa);
        app::currentSettings().mora = QStringLiteral("Con la presente la costituisco formalmente in mora.");
        app::currentSettings().amministratore = QStringLiteral("Studio Neri");
        report.SetShell(&shell);
    }
    void TearDown() override { app::currentSettings() = app::Settings{}; }

    void writeTemplate(const QString& kind, const QByteArray& body)
    {
        QFile f(office.ws().paths().outputFolder() + kind + ".rtf");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " + body + "\\par}");
    }
    static QString textOf(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<missing %1>").arg(path);
        return documents::rtf::plainText(f.readAll()).trimmed();
    }
    QString folder() { return office.ws().paths().outputFolder() + kAlfa + "/"; }

    Office office;
    documents::TRtfReport report;
    platform::RecordingShell shell;
    qint64 rossi = 0, bianchi = 0, verdi = 0, a1 = 0;
};

} // namespace velcaris::test
