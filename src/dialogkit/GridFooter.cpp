#include "dialogkit/GridFooter.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace velcaris::app {

GridFooter::GridFooter(QTableView* grid, QWidget* parent) : QWidget(parent), grid_(grid)
{
    setObjectName(grid->objectName() + QStringLiteral("Footer"));
    QHeaderView* header = grid->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this] { update(); });
    connect(header, &QHeaderView::sectionMoved, this, [this] { update(); });
    connect(header, &QHeaderView::geometriesChanged, this, [this] { update(); });
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void GridFooter::setTexts(const QHash<int, QString>& byColumn)
{
    texts_ = byColumn;
    update();
}

void GridFooter::clear()
{
    texts_.clear();
    update();
}

QSize GridFooter::sizeHint() const
{
    return {100, fontMetrics().height() + 8};
}

void GridFooter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().alternateBase());
    p.setPen(palette().mid().color());
    p.drawLine(0, 0, width(), 0);
    p.setPen(palette().text().color());
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    QHeaderView* header = grid_->horizontalHeader();
    const int offset = grid_->verticalHeader()->isVisible() ? grid_->verticalHeader()->width() : 0;
    for (auto it = texts_.cbegin(); it != texts_.cend(); ++it) {
        if (it.key() >= header->count() || header->isSectionHidden(it.key()))
            continue;
        const int x = offset + grid_->frameWidth() + header->sectionViewportPosition(it.key());
        const QRect cell(x + 2, 0, header->sectionSize(it.key()) - 6, height());
        p.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, it.value());
    }
}

} // namespace velcaris::app
