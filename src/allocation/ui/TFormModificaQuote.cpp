#include "allocation/ui/TFormModificaQuote.h"

#include "allocation/QuotaRegister.h"
#include "foundation/Selection.h"
#include "foundation/TypedDate.h"
#include "dialogkit/DateField.h"
#include "dialogkit/Messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {
const QString kGrouped = QStringLiteral("ADOQueryQuoteAccorpate");
const QString kNoColumn = QStringLiteral("Selezionare nella tabella una colonna di quota da modificare");
} // namespace

TFormModificaQuote::TFormModificaQuote(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormModificaQuote"), QStringLiteral("Modifica Quota"), 340, 170)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);

    name_ = new QLabel(this);
    name_->setObjectName(QStringLiteral("LabelNomeQuota"));
    name_->setAccessibleName(QStringLiteral("Quota"));
    grid->addWidget(new QLabel(QStringLiteral("Quota:"), this), 0, 0);
    grid->addWidget(name_, 0, 1);

    dueDate_ = new app::DateField(this);
    dueDate_->setObjectName(QStringLiteral("DataScadenzaQuota"));
    auto* dueLabel = new QLabel(QStringLiteral("Data scadenza:"), this);
    dueLabel->setBuddy(dueDate_);
    dueDate_->setAccessibleName(QStringLiteral("Data scadenza"));
    grid->addWidget(dueLabel, 1, 0);
    grid->addWidget(dueDate_, 1, 1);

    types_ = new QComboBox(this);
    types_->setObjectName(QStringLiteral("ComboTipologia"));
    types_->setAccessibleName(QStringLiteral("Tipologia"));
    auto* typeLabel = new QLabel(QStringLiteral("Tipologia:"), this);
    typeLabel->setBuddy(types_);
    grid->addWidget(typeLabel, 2, 0);
    grid->addWidget(types_, 2, 1);
    outer->addStretch(1);
    addButtons(outer, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"))->setDefault(true);
}

bool TFormModificaQuote::prepare(const app::DialogRequest& request)
{
    if (request.quotaColumn.isEmpty()) {
        app::showInformation(window(), kNoColumn);
        return false;
    }
    const std::optional<QuotaNameDetails> details = readQuotaName(ws(), request.quotaColumn);
    if (!details) {
        app::showInformation(window(), kNoColumn);
        return false;
    }
    name_->setText(request.quotaColumn);
    name_->setAccessibleDescription(request.quotaColumn);
    dueDate_->setDate(details->dueDate.isValid() ? details->dueDate : QDate::currentDate());
    types_->clear();
    types_->addItems(quotaTypes(ws().mainDb()));
    // A type no longer in the list is still shown as the quotas hold it.
    if (types_->findText(details->type, Qt::MatchExactly) < 0)
        types_->addItem(details->type);
    types_->setCurrentIndex(types_->findText(details->type, Qt::MatchExactly));
    memory_ = app::rememberView(ws().ds(kGrouped));
    dueDate_->setFocus();
    return true;
}

void TFormModificaQuote::confirm()
{
    if (!dueDate_->holdsDateOrNothing()) {
        runEdit([&] { return app::Outcome::refused(app::notADateMessage(dueDate_->text())); });
        return;
    }
    const QuotaScheduleInput input{name_->text(), dueDate_->date(), types_->currentText()};
    if (!runEdit([&] { return modifyQuotas(ws(), input); }))
        return;
    finish({false, kGrouped, memory_});
}

} // namespace velcaris::allocation::ui
