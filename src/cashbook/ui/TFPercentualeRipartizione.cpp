#include "cashbook/ui/TFPercentualeRipartizione.h"

#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::cashbook::ui {

namespace {

enum Column { Fixed = 0, Description = 1, Table = 2, Percentage = 3 };

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

TFPercentualeRipartizione::TFPercentualeRipartizione(const app::DialogContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), context_(context)
{
    setObjectName(QStringLiteral("TFPercentualeRipartizione"));
    setWindowTitle(QStringLiteral("Percentuali di ripartizione"));
    setModal(true);
    resize(500, 420);
    auto* layout = new QVBoxLayout(this);
    grid_ = new QTableWidget(1, 4, this);
    grid_->setObjectName(QStringLiteral("StringGridPercRip"));
    grid_->setAccessibleName(windowTitle());
    grid_->setHorizontalHeaderLabels({QString(), QStringLiteral("Descrizione di spesa"), QStringLiteral("Tabella"),
                                      QStringLiteral("Punti percentuali di ripartizione")});
    grid_->verticalHeader()->hide();
    grid_->setColumnWidth(Fixed, 25);
    grid_->setColumnWidth(Description, 200);
    grid_->setColumnWidth(Table, 60);
    grid_->setColumnWidth(Percentage, 155);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(grid_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    conferma->setDefault(true);
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BtnAnnulla"));
    buttons->addWidget(conferma);
    buttons->addWidget(annulla);
    layout->addLayout(buttons);
    connect(conferma, &QPushButton::clicked, this, &TFPercentualeRipartizione::confirmSplit);
    connect(annulla, &QPushButton::clicked, this, &TFPercentualeRipartizione::cancelSplit);
}

void TFPercentualeRipartizione::openFor(const QString& condominium)
{
    if (!active_) {
        const QVector<SplitLine> items = splitLines(*context_.workspace, condominium);
        grid_->clearContents();
        // With no item the grid keeps one empty row.
        grid_->setRowCount(std::max<int>(1, int(items.size())));
        for (int r = 0; r < grid_->rowCount(); ++r) {
            const SplitLine line = r < items.size() ? items[r] : SplitLine{};
            grid_->setItem(r, Fixed, readOnlyItem(QString()));
            grid_->setItem(r, Description, readOnlyItem(line.descrizione));
            grid_->setItem(r, Table, readOnlyItem(line.tabella));
            grid_->setItem(r, Percentage, new QTableWidgetItem(QString()));
            if (r >= items.size())
                grid_->item(r, Percentage)->setFlags(Qt::ItemIsEnabled);
        }
    }
    grid_->setCurrentCell(0, Percentage);
    if (app::EditDialog::blocking())
        exec();
    else
        show();
}

QVector<SplitLine> TFPercentualeRipartizione::lines() const
{
    QVector<SplitLine> out;
    for (int r = 0; r < grid_->rowCount(); ++r) {
        auto text = [&](int c) { return grid_->item(r, c) ? grid_->item(r, c)->text() : QString(); };
        if (!text(Description).isEmpty())
            out.push_back({text(Description), text(Table), text(Percentage)});
    }
    return out;
}

void TFPercentualeRipartizione::confirmSplit()
{
    // Leaving the cell commits what is being typed in it.
    grid_->setCurrentCell(std::max(0, grid_->currentRow()), Fixed);
    const app::Outcome check = checkSplit(lines());
    if (!check.done) {
        for (const app::Message& m : check.messages)
            app::showMessage(this, m);
        return;
    }
    active_ = true;
    Q_EMIT splitChanged(true);
    accept();
}

void TFPercentualeRipartizione::cancelSplit()
{
    active_ = false;
    Q_EMIT splitChanged(false);
    reject();
}

} // namespace velcaris::cashbook::ui
