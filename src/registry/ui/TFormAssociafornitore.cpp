#include "registry/ui/TFormAssociafornitore.h"

#include "registry/Suppliers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace velcaris::registry::ui {

namespace {
const QString kSuppliers = QStringLiteral("ADOQueryFornitori");
}

TFormAssociafornitore::TFormAssociafornitore(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormAssociafornitore"), QStringLiteral("Associa fornitore"), 400, 165)
{
    auto* grid = new QGridLayout(this);
    auto* prompt = new QLabel(QStringLiteral("Selezionare il condominio da associare al fornitore:"), this);
    prompt->setObjectName(QStringLiteral("Label1"));
    supplier_ = new QLabel(this);
    supplier_->setObjectName(QStringLiteral("LabelFornitore"));
    QFont bold = supplier_->font();
    bold.setBold(true);
    supplier_->setFont(bold);
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("ComboCondomini"));
    combo_->setMaxVisibleItems(15);
    combo_->setAccessibleName(QStringLiteral("Condominio:"));
    auto* comboLabel = new QLabel(QStringLiteral("Condominio:"), this);
    comboLabel->setObjectName(QStringLiteral("Label2"));
    comboLabel->setBuddy(combo_);
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    conferma->setDefault(true);

    grid->addWidget(prompt, 0, 0, 1, 3);
    grid->addWidget(supplier_, 1, 0, 1, 3);
    grid->addWidget(comboLabel, 2, 0);
    grid->addWidget(combo_, 2, 1, 1, 2);
    grid->addWidget(conferma, 3, 2);
    grid->setColumnStretch(1, 1);
    setTabOrder(combo_, conferma);
    connect(conferma, &QPushButton::clicked, this, [this] { confirm(); });
}

bool TFormAssociafornitore::prepare(const app::DialogRequest& request)
{
    suppliers_ = request.selectedSuppliers;
    combo_->clear();
    combo_->addItems(associationCondominiums(ws()));
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
    store::Dataset& suppliers = ws().ds(kSuppliers);
    // Only the supplier current in the grid is named, however many are selected.
    supplier_->setText(suppliers.isActive() && suppliers.recNo() >= 0
                           ? suppliers.value(QStringLiteral("Fornitore")).toString()
                           : QString());
    memory_ = app::rememberView(suppliers);
    combo_->setFocus();
    return true;
}

void TFormAssociafornitore::confirm()
{
    if (!runEdit([&] { return associateSuppliers(ws(), suppliers_, combo_->currentText()); }))
        return;
    finish({false, kSuppliers, memory_});
}

} // namespace velcaris::registry::ui
