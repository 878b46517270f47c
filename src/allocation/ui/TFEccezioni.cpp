#include "allocation/ui/TFEccezioni.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

TFEccezioni::TFEccezioni(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFEccezioni"));
    setWindowTitle(QStringLiteral("Eccezioni"));
    setModal(true);
    resize(420, 420);
    auto* outer = new QVBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ListaLocali"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("nome"), QStringLiteral("proprietario"), QStringLiteral("inquilino"),
                            QStringLiteral("id")});
    list_->setColumnHidden(3, true);
    outer->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BtnAnnulla"));
    buttons->addWidget(conferma);
    buttons->addWidget(annulla);
    outer->addLayout(buttons);
    connect(conferma, &QPushButton::clicked, this, [this] {
        Q_EMIT confirmed();
        accept();
    });
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

void TFEccezioni::fill(const AllocationUnits& units)
{
    list_->clear();
    for (int u = 0; u < units.units.size(); ++u) {
        auto* item = new QTreeWidgetItem(list_, {units.units[u].nome, units.owners.value(u), units.tenants.value(u),
                                                 QString::number(units.units[u].id)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
}

QVector<qint64> TFEccezioni::unchecked() const
{
    QVector<qint64> out;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->checkState(0) != Qt::Checked)
            out << item->text(3).toLongLong();
    }
    return out;
}

} // namespace velcaris::allocation::ui
