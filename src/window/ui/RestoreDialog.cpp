#include "window/ui/RestoreDialog.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace velcaris::app {

TFRipristino::TFRipristino(const QVector<BackupEntry>& backups, QWidget* parent)
    : QDialog(parent), backups_(backups)
{
    setObjectName(QStringLiteral("TFRipristino"));
    setWindowTitle(QStringLiteral("Ripristina da copia di sicurezza"));
    resize(820, 320);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Scegliere la copia da rimettere al posto del suo database. Il file attuale "
                                            "non viene cancellato: resta accanto con un nome datato."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    grid_ = new QTableWidget(int(backups_.size()), 4, this);
    grid_->setObjectName(QStringLiteral("GridCopie"));
    grid_->setAccessibleName(QStringLiteral("Copie di sicurezza"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Database"), QStringLiteral("Copia"), QStringLiteral("Del"),
                                      QStringLiteral("Contenuto")});
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < backups_.size(); ++row) {
        const BackupEntry& b = backups_[row];
        const QStringList cells{databaseTitle(b.kind), QFileInfo(b.file).fileName(), b.date, b.summary};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!b.usable)
                item->setForeground(Qt::darkRed);
            grid_->setItem(row, column, item);
        }
    }
    grid_->resizeColumnsToContents();
    if (!backups_.isEmpty())
        grid_->selectRow(0);
    layout->addWidget(grid_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* restore = new QPushButton(QStringLiteral("Ripristina"), this);
    restore->setObjectName(QStringLiteral("BtnRipristina"));
    restore->setEnabled(!backups_.isEmpty());
    auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("BtnAnnulla"));
    buttons->addWidget(restore);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(restore, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

BackupEntry TFRipristino::chosen() const
{
    const int row = grid_->currentRow();
    return backups_.value(row < 0 ? 0 : row);
}

} // namespace velcaris::app
