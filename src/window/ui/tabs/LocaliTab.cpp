// The Locali tab: the units with their thousandths per table. A click in the owner or tenant
// column chooses whom the statement addresses; a double click opens that statement.
#include "dialogkit/GridFooter.h"
#include "window/ui/tabs/TabParts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildLocaliTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    addToggleRow(parts, layout, page, {{"BProprietario", "Proprietario"}, {"BInquilino", "Inquilino"}}, true);
    QTableView* units = parts.grid(QStringLiteral("DBGridLocali"), QStringLiteral("ADOQueryLocali"), page, true);
    units->setSelectionBehavior(QAbstractItemView::SelectItems);
    layout->addWidget(units);
    layout->addWidget(parts.footer(units->objectName()));

    QObject::connect(units, &QTableView::clicked, page, [&parts, units](const QModelIndex& index) {
        const QString title = units->model()->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
        if (title == QLatin1String("Proprietario"))
            parts.ws.selection.statementSubject = QStringLiteral("proprietario");
        else if (title == QLatin1String("Inquilino"))
            parts.ws.selection.statementSubject = QStringLiteral("inquilino");
    });
    QObject::connect(units, &QTableView::doubleClicked, page,
                     [&parts] { parts.openDialog(DialogId::TFSituazioneCondomino, {}); });
    return page;
}

} // namespace velcaris::app
