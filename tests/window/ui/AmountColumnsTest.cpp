// The registers' amount columns show a six-figure amount with its cents whole, in the grid's own
// font (here twice the usual size), on every tab.
#include "dialogkit/DatasetModel.h"
#include "support/ui/MainWindowFixture.h"

#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

// Alfa, year 2024: Rossi owns A1, which carries Rata 1, so that the quota views have quota columns.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    test::addCondominiumsWithYear(db, {kAlfa}, "2024");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario')", {kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) "
            "VALUES (?, 'A1', 1, 1, 'Appartamento')",
            {kAlfa});
    db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, Tipologia) "
            "VALUES (?, 1, '2024', 'Rata 1', 999999.99, 0, 'Spese ordinarie')",
            {kAlfa});
}

class AmountColumns : public test::MainWindowFixture {};

} // namespace

TEST_F(AmountColumns, EveryAmountColumnShowsSixFiguresWithCents)
{
    writeOffice(fillOffice);
    openWindow({});
    QFont big = form->font();
    if (big.pointSize() > 0)
        big.setPointSize(big.pointSize() * 2);
    else
        big.setPixelSize(big.pixelSize() * 2);
    form->setFont(big);
    showWindow(kAlfa);

    QStringList checked;
    auto* tabs = form->findChild<QTabWidget*>("PageControl1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        showTab(app::Tab(tab));
        for (QTableView* grid : tabs->widget(tab)->findChildren<QTableView*>()) {
            auto* model = qobject_cast<app::DatasetModel*>(grid->model());
            if (!model || !model->dataset()->isActive())
                continue;
            // A cell's text lies inside the style's text margins and left of the grid line.
            const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
            const int needed = QFontMetrics(grid->font()).horizontalAdvance(QStringLiteral("999999.99")) + 2 * margin + 1;
            const QStringList fields = model->dataset()->fieldNames();
            for (int column = 0; column < fields.size(); ++column) {
                // Amounts are the columns shown with two decimals.
                if (grid->isColumnHidden(column) || model->dataset()->displayFormat(fields[column]) != QLatin1String("0.00"))
                    continue;
                EXPECT_GE(grid->columnWidth(column), needed)
                    << grid->objectName().toStdString() << ": " << fields[column].toStdString();
                checked << grid->objectName() + u'.' + fields[column];
            }
        }
    }
    for (const char* column : {"DBGridScadenzario.Importo", "DBGridPreventivi.Spesa", "DBGridPreventivi.TotaleParziale",
                               "DBGridEntrate.Importo", "DBGridUscite.TotaleUscito", "DBGridQuoteSingole.Rata 1",
                               "DBGridQuoteAccorpate.Rata 1"})
        EXPECT_TRUE(checked.contains(QString::fromUtf8(column), Qt::CaseInsensitive)) << column << " was not checked";
}
