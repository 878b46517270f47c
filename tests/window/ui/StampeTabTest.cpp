// The Stampe tab: its controls, the selection buttons, a run of letters with the gauge and the
// cursor, a failing run and a notice.
#include "foundation/Tab.h"
#include "dialogkit/Messages.h"
#include "window/ui/TForm1.h"
#include "platform/Shell.h"
#include "support/Office.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

struct StampeWindow {
    test::Office office;
    qint64 rossi = 0, bianchi = 0, verdi = 0;
    std::unique_ptr<app::TForm1> form;

    StampeWindow()
    {
        office.addCondominium(kAlfa);
        office.addYear(kAlfa, "2024", true);
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        bianchi = office.addPerson(kAlfa, "Bianchi");
        verdi = office.addPerson(kAlfa, "Verdi", "Anna");
        const qint64 a1 = office.addUnit(kAlfa, "A1", rossi, bianchi);
        office.addQuota(kAlfa, "2024", a1, "Rata 1", "Spese ordinarie", 100, QDate(2024, 1, 31));
        app::TForm1::setShowErrors(false);
        form = std::make_unique<app::TForm1>(app::AppPaths(office.folder()));
        form->show();
        auto* list = form->findChild<QListWidget*>("ListBox1");
        const auto items = list->findItems(kAlfa, Qt::MatchExactly);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
        form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Stampe));
        app::takeMessages();
    }
    template <class W>
    W* get(const char* name) const
    {
        W* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList checked() const
    {
        QStringList out;
        auto* list = get<QListWidget>("lista");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                out << list->item(i)->text();
        return out;
    }
    QString folder() { return office.ws().paths().outputFolder() + kAlfa + "/"; }
    QString stamp() const { return QDate::currentDate().toString("dd.MM.yyyy"); }
};

} // namespace

TEST(StampeTab, ControlsStartAsTheAdministratorExpectsThem)
{
    StampeWindow w;
    auto* notices = w.get<QComboBox>("TipoModello2");
    EXPECT_EQ(notices->currentIndex(), -1);
    ASSERT_EQ(notices->count(), 7);
    EXPECT_EQ(notices->itemText(0), "Avviso assemblea");
    EXPECT_EQ(notices->itemText(6), "Modello 770");
    auto* letters = w.get<QComboBox>("TipoModello");
    EXPECT_EQ(letters->currentIndex(), -1);
    EXPECT_EQ(letters->itemText(3), "Sollecito");
    EXPECT_TRUE(w.get<QRadioButton>("TipoAssembleaOrdinaria")->isChecked());
    EXPECT_FALSE(w.get<QProgressBar>("Gauge1")->isVisible());
    // The year takes digits only.
    auto* year = w.get<QLineEdit>("EditAnno");
    QTest::keyClicks(year, "20a2-4");
    EXPECT_EQ(year->text(), "2024");
    // The shipped templates are in Output after the first start.
    EXPECT_TRUE(QFile::exists(w.office.ws().paths().outputFolder() + "Sollecito.rtf"));
}

TEST(StampeTab, SelectionButtonsCheckOwnersTenantsEveryoneOrNoOne)
{
    StampeWindow w;
    ASSERT_EQ(w.get<QListWidget>("lista")->count(), 3);
    w.get<QPushButton>("BselPropr")->click();
    EXPECT_EQ(w.checked(), QStringList{"Rossi Mario"});
    w.get<QPushButton>("BSelInq")->click();
    EXPECT_EQ(w.checked(), QStringList{"Bianchi"});
    w.get<QPushButton>("BSelTutti")->click();
    EXPECT_EQ(w.checked(), (QStringList{"Bianchi", "Rossi Mario", "Verdi Anna"}));
    w.get<QPushButton>("Button2")->click();
    EXPECT_TRUE(w.checked().isEmpty());
}

TEST(StampeTab, ALetterRunWritesOneLetterPerCheckedPersonAndRestoresGaugeAndCursor)
{
    StampeWindow w;
    w.get<QComboBox>("TipoModello")->setCurrentText("Sollecito");
    w.get<QPushButton>("BSelTutti")->click();
    w.get<QPushButton>("Bstampa")->click();
    EXPECT_TRUE(app::takeMessages().isEmpty());
    for (const char* who : {"Bianchi", "Rossi Mario", "Verdi Anna"})
        EXPECT_TRUE(QFile::exists(w.folder() + "Sollecito - " + who + " - " + w.stamp() + ".rtf")) << who;
    EXPECT_FALSE(w.get<QProgressBar>("Gauge1")->isVisible());
    EXPECT_EQ(w.get<QProgressBar>("Gauge1")->value(), 100);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Either the PDF copies are on their way or the missing LibreOffice is said.
    EXPECT_FALSE(w.get<QLabel>("LabelStatoStampe")->text().isEmpty());
}

TEST(StampeTab, AFailingRunSaysWhoAndWhichTemplateAndGivesTheWindowBack)
{
    StampeWindow w;
    QFile bad(w.office.ws().paths().outputFolder() + "Accompagnamento verbale.rtf");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("non RTF");
    bad.close();
    w.get<QComboBox>("TipoModello")->setCurrentText("Accompagnamento verbale");
    w.get<QPushButton>("BselPropr")->click();
    w.get<QPushButton>("Bstampa")->click();
    const QStringList messages = app::takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("Rossi Mario")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("Template is not RTF file.")) << messages[0].toStdString();
    EXPECT_FALSE(w.get<QProgressBar>("Gauge1")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(StampeTab, ANoticeIsWrittenWithTheMeetingTypeInCapitals)
{
    StampeWindow w;
    platform::RecordingShell shell;
    w.form->modello().SetShell(&shell);
    w.get<QComboBox>("TipoModello2")->setCurrentText("Avviso assemblea");
    w.get<QRadioButton>("TipoAssembleaStraordinaria")->setChecked(true);
    QTest::keyClicks(w.get<QLineEdit>("OraPrima"), "1830");
    w.get<QPushButton>("BStampa2")->click();
    EXPECT_TRUE(app::takeMessages().isEmpty());
    const QString path = w.folder() + "Avviso assemblea - " + w.stamp() + ".rtf";
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].path, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray doc = f.readAll();
    EXPECT_TRUE(doc.contains("STRAORDINARIA"));
    EXPECT_TRUE(doc.contains("18:30"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
