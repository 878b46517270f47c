// The main window under failures of the data store, the Stampe tab's recipient lists and the
// button order of the confirmation dialog.
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/Messages.h"
#include "window/ui/TForm1.h"
#include "support/Office.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

void clickItem(QListWidget* list, const QString& text, Qt::MouseButton button = Qt::LeftButton)
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(items.first()).center());
}

// Lays the buttons of dialog boxes out as GNOME does: the reject role before the accept role.
class GnomeButtonOrder : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_DialogButtonLayout)
            return QDialogButtonBox::GnomeLayout;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

TEST(MainWindowFailures, ACellColourOverAMissingFieldPaintsNothingInsteadOfThrowing)
{
    test::Office office;
    office.addCondominium(kAlfa);
    store::Dataset& condomini = office.ws().ds("ADOTableCondomini");
    condomini.requery();
    ASSERT_EQ(condomini.rowCount(), 1);
    app::DatasetModel model(&condomini);
    model.setLive(true);
    model.setCellBackground([&](int row, int) -> std::optional<QColor> {
        condomini.valueAt(row, QStringLiteral("NessunCampo"));
        return QColor(Qt::red);
    });
    QVariant background;
    EXPECT_NO_THROW(background = model.data(model.index(0, 0), Qt::BackgroundRole));
    EXPECT_FALSE(background.isValid());
    // The cell's text is still there.
    EXPECT_EQ(model.data(model.index(0, condomini.fieldIndex("Nome")), Qt::DisplayRole).toString(), kAlfa);
}

TEST(MainWindowFailures, ThePreventivoGridIsDrawnAgainAfterAFailedLoad)
{
    test::Office office;
    office.addCondominium(kAlfa);
    office.addYear(kAlfa, "2014", true);
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(office.folder())};
    form.show();
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    app::takeMessages();
    form.workspace().mainDb().exec("DROP VIEW QueryPreventiviAC");
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Preventivo));
    EXPECT_FALSE(app::takeMessages().isEmpty());
    EXPECT_TRUE(form.findChild<QTableView*>("DBGridPreventivi")->updatesEnabled());
}

TEST(MainWindowFailures, AFailingYearCheckIsReportedAndTheWindowGoesOn)
{
    test::Office office;
    office.addCondominium(kAlfa);
    office.addYear(kAlfa, "2014", true);
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(office.folder())};
    int opened = 0;
    form.registerDialog(app::DialogId::TFormUscite, [&](const app::DialogRequest&) { ++opened; });
    form.show();
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Uscite));
    app::takeMessages();
    // The year check re-reads AnnoAmministrativo, which is gone.
    form.workspace().mainDb().exec("DROP TABLE AnnoAmministrativo");
    EXPECT_NO_THROW(QTest::mouseClick(form.findChild<QPushButton*>("Baggiungi"), Qt::LeftButton));
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(app::takeMessages().isEmpty());
}

TEST(StampeTab, RecipientListsHoldThePersonsAndSuppliersOfTheCondominium)
{
    test::Office office;
    office.addCondominium(kAlfa);
    office.addCondominium("Beta - Via Po 2");
    const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
    const qint64 bianchi = office.addPerson(kAlfa, "Bianchi");
    office.addPerson("Beta - Via Po 2", "Verdi", "Anna");
    office.db().exec("INSERT INTO Fornitori (Cognome, Nome) VALUES ('Idraulica', 'Srl'), ('Vetri', '')");
    office.db().exec("INSERT INTO fornitori_associazione (IdCondominio, IdFornitore) VALUES (?, 1), (?, 2)",
                     {kAlfa, "Beta - Via Po 2"});
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(office.folder())};
    form.show();
    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    auto* persons = form.findChild<QListWidget*>("lista");
    auto* suppliers = form.findChild<QListWidget*>("ListaFornitori");

    // No condominium: both lists stay empty.
    tabs->setCurrentIndex(int(app::Tab::Stampe));
    EXPECT_EQ(persons->count(), 0);
    EXPECT_EQ(suppliers->count(), 0);

    tabs->setCurrentIndex(int(app::Tab::Agenda));
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    tabs->setCurrentIndex(int(app::Tab::Stampe));
    ASSERT_EQ(persons->count(), 2);
    EXPECT_EQ(persons->item(0)->text(), "Bianchi");
    EXPECT_EQ(persons->item(0)->data(Qt::UserRole).toString(), QString::number(bianchi));
    EXPECT_EQ(persons->item(1)->text(), "Rossi Mario");
    EXPECT_EQ(persons->item(1)->data(Qt::UserRole).toString(), QString::number(rossi));
    EXPECT_EQ(persons->item(1)->checkState(), Qt::Unchecked);
    ASSERT_EQ(suppliers->count(), 1);
    EXPECT_EQ(suppliers->item(0)->text(), "Idraulica Srl");

    // Reloading the tab refills the lists rather than adding to them.
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    EXPECT_EQ(persons->count(), 2);
}

TEST(ConfirmWidget, SiComesBeforeNoAlsoWhereCancelIsLaidOutFirst)
{
    const QString previous = QApplication::style()->name();
    QApplication::setStyle(new GnomeButtonOrder(QStyleFactory::create(QStringLiteral("Fusion"))));
    int firstX = -1, secondX = -1;
    QString firstText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* first = box->findChild<QPushButton*>("ButtonFirst");
        auto* second = box->findChild<QPushButton*>("ButtonSecond");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        firstX = first->mapTo(box, QPoint()).x();
        secondX = second->mapTo(box, QPoint()).x();
        firstText = first->text();
        QTest::mouseClick(second, Qt::LeftButton);
    });
    EXPECT_EQ(app::ConfirmWithCaptions("Eliminare?", app::DialogKind::Confirmation), 2);
    QApplication::setStyle(previous);
    EXPECT_EQ(firstText, "Si");
    EXPECT_LT(firstX, secondX);
}

TEST(SelectionWidgets, AMiddleClickLeavesTheChosenCondominiumSelected)
{
    test::Office office;
    office.addCondominium(kAlfa);
    office.addCondominium("Beta - Via Po 2");
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(office.folder())};
    form.show();
    auto* list = form.findChild<QListWidget*>("ListBox1");
    clickItem(list, kAlfa);
    clickItem(list, "Beta - Via Po 2", Qt::MiddleButton);
    EXPECT_EQ(form.workspace().selection.condominium, kAlfa);
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), kAlfa);
    EXPECT_TRUE(list->currentItem()->isSelected());
    // The arrow keys choose from the item the list really shows.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form.workspace().selection.condominium, "Beta - Via Po 2");
}

TEST(SelectionWidgets, ADoubleClickInTheUnitGridOpensTheOwnerStatementForTheClickedPerson)
{
    test::Office office;
    office.addCondominium(kAlfa);
    const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
    const qint64 bianchi = office.addPerson(kAlfa, "Bianchi");
    office.db().exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione) VALUES (?, 'A', 'Generale')", {kAlfa});
    office.db().exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) "
                     "VALUES (?, 'Int. 1', ?, ?, 'Appartamento')",
                     {kAlfa, rossi, bianchi});
    office.db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 1000)",
                     {kAlfa});
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(office.folder())};
    QString subjectWhenOpened;
    form.registerDialog(app::DialogId::TFSituazioneCondomino,
                        [&](const app::DialogRequest&) { subjectWhenOpened = form.workspace().selection.statementSubject; });
    form.resize(1280, 800);
    form.show();
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Locali));
    auto* grid = form.findChild<QTableView*>("DBGridLocali");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    int tenantColumn = -1;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == "Inquilino")
            tenantColumn = c;
    ASSERT_GE(tenantColumn, 0);
    grid->scrollTo(grid->model()->index(0, tenantColumn));
    const QPoint at = grid->visualRect(grid->model()->index(0, tenantColumn)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    Q_EMIT grid->doubleClicked(grid->model()->index(0, tenantColumn));
    EXPECT_EQ(form.lastDialogOpened(), app::DialogId::TFSituazioneCondomino);
    EXPECT_EQ(subjectWhenOpened, "inquilino");
}
