// The Uscite tab: the expense register with its cash, bank and total figures in maroon, and the
// import of the suppliers' electronic invoices.
#include "window/RowColours.h"
#include "window/ui/tabs/TabParts.h"

#include <QColor>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildUsciteTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const QColor maroon(128, 0, 0);
    addFigureBar(parts, layout, page, QStringLiteral("ToolBarUscite"),
                 {{"EditUsciteC", "Uscite cassa"}, {"EditUsciteCC", "Uscite conto corrente"},
                  {"EditUsciteTOT", "Uscite totali"}},
                 &maroon);
    // The suppliers' electronic invoices become expenses without retyping.
    auto* actions = new QHBoxLayout;
    QPushButton* import = parts.button(QStringLiteral("BImportaFatture"), QStringLiteral("Importa fatture elettroniche"), page);
    import->setToolTip(QStringLiteral("Registra come uscite le fatture elettroniche dei fornitori (.xml, .p7m, .zip)"));
    QObject::connect(import, &QPushButton::clicked, page, [&parts] { parts.openDialog(DialogId::TFImportaFatture, {}); });
    actions->addWidget(import);
    actions->addStretch();
    layout->addLayout(actions);
    QTableView* grid = parts.grid(QStringLiteral("DBGridUscite"), QStringLiteral("ADOQueryUscite"), page);
    grid->setProperty("enterMoves", true);
    parts.paintRows(grid, [](int) { return std::optional<Rgb>(expenseRowColour()); });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
