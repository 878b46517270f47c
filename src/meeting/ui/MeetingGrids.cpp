#include "meeting/ui/MeetingGrids.h"

#include <QHeaderView>
#include <QTableWidget>

namespace velcaris::meeting::ui {

QTableWidget* grid(const QString& name, const QStringList& titles, QWidget* parent)
{
    auto* g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(name);
    g->setHorizontalHeaderLabels(titles);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return g;
}

void setCell(QTableWidget* g, int row, int column, const QString& text, bool right)
{
    auto* item = g->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        g->setItem(row, column, item);
    }
    item->setText(text);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace velcaris::meeting::ui
