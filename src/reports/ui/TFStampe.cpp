#include "reports/ui/TFStampe.h"

#include "dialogkit/Messages.h"
#include "reports/QuadroAC.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::reports::ui {

TFStampe::TFStampe(app::Workspace& ws, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), ws_(ws)
{
    setObjectName(QStringLiteral("TFStampe"));
    setWindowTitle(QStringLiteral("Stampe"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    sg_ = new QTableWidget(0, 4, this);
    sg_->setObjectName(QStringLiteral("SG"));
    sg_->setAccessibleName(QStringLiteral("Quadro AC"));
    sg_->horizontalHeader()->hide();
    sg_->verticalHeader()->hide();
    sg_->horizontalHeader()->setDefaultSectionSize(200);
    sg_->verticalHeader()->setDefaultSectionSize(20);
    sg_->setFont(QFont(QStringLiteral("Arial")));
    sg_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(sg_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* esporta = new QPushButton(QStringLiteral("Esporta"), this);
    esporta->setObjectName(QStringLiteral("BitBtn1"));
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addWidget(esporta);
    buttons->addWidget(annulla);
    layout->addLayout(buttons);
    connect(esporta, &QPushButton::clicked, this, [this] { exportGrid(); });
    connect(annulla, &QPushButton::clicked, this, &QDialog::close);
    resize(4 * 200 + 40, 500);
}

void TFStampe::showReport(const QVector<QStringList>& grid)
{
    sg_->clearContents();
    sg_->setColumnCount(4);
    sg_->setRowCount(int(grid.size()));
    QFont bold(QStringLiteral("Arial"), 10);
    bold.setBold(true);
    for (int r = 0; r < grid.size(); ++r)
        for (int c = 0; c < grid[r].size() && c < 4; ++c) {
            auto* item = new QTableWidgetItem(grid[r][c]);
            if (r == 0 && (c == 0 || c == 2))
                item->setFont(bold);
            sg_->setItem(r, c, item);
        }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

QVector<QStringList> TFStampe::cells() const
{
    QVector<QStringList> out;
    for (int r = 0; r < sg_->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < sg_->columnCount(); ++c)
            row << (sg_->item(r, c) ? sg_->item(r, c)->text() : QString());
        out << row;
    }
    return out;
}

void TFStampe::exportGrid()
{
    app::Outcome outcome;
    try {
        outcome = saveQuadroAC(ws_, cells());
    } catch (const std::exception& e) {
        outcome = app::Outcome::failed(QString::fromUtf8(e.what()));
    }
    // Closed in any case; a failure is said, the grid can be made again.
    close();
    for (const app::Message& m : outcome.messages)
        app::showMessage(parentWidget(), m);
}

} // namespace velcaris::reports::ui
