#include "cashbook/ui/OpeningsAndTransfersDialog.h"

#include "agenda/ui/AmountKeys.h"
#include "dialogkit/BoxTable.h"
#include "cashbook/PaymentPlace.h"
#include "store/RowStamp.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::cashbook::ui {

namespace {

const QString kIncome = QStringLiteral("ADOQueryEntrate");

store::RowStamp stampIncomeRow(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Entrate"), QStringLiteral("id"), id);
}

QLabel* caption(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

} // namespace

TFEntrateSpeciali::TFEntrateSpeciali(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFEntrateSpeciali"), QStringLiteral("Entrate"), 420, 280)
{
    auto* form = new QFormLayout;
    condominio_ = new QLabel(this);
    condominio_->setObjectName(QStringLiteral("LabelCondominio"));
    condominio_->setAccessibleName(QStringLiteral("Condominio"));
    QFont bold = condominio_->font();
    bold.setBold(true);
    condominio_->setFont(bold);
    form->addRow(new QLabel(QStringLiteral("Condominio"), this), condominio_);

    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("ComboTipoMovimento"));
    tipo_->addItems({kOpeningAmount, kTransferToBank, kTransferToCash});
    form->addRow(caption(QStringLiteral("Tipo movimento"), tipo_, this), tipo_);
    importo_ = new QLineEdit(this);
    importo_->setObjectName(QStringLiteral("EditImporto"));
    app::limitTyping(importo_, 20);
    importo_->setAlignment(Qt::AlignRight);
    agenda::ui::acceptAmountKeysOnly(importo_);
    form->addRow(caption(QStringLiteral("Importo"), importo_, this), importo_);
    data_ = new QDateEdit(this);
    data_->setObjectName(QStringLiteral("ComboData"));
    data_->setCalendarPopup(true);
    data_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    form->addRow(caption(QStringLiteral("Data"), data_, this), data_);
    metodo_ = new QComboBox(this);
    metodo_->setObjectName(QStringLiteral("ComboMetodoPagamento"));
    metodo_->addItems({kPlaceCassa, kPlaceContoCorrente});
    form->addRow(caption(QStringLiteral("Metodo di pagamento"), metodo_, this), metodo_);
    tipologia_ = new QComboBox(this);
    tipologia_->setObjectName(QStringLiteral("ComboTipologia"));
    form->addRow(caption(QStringLiteral("Tipologia"), tipologia_, this), tipologia_);
    nota_ = new QLineEdit(this);
    nota_->setObjectName(QStringLiteral("EditNota"));
    app::limitTyping(nota_, 200);
    form->addRow(caption(QStringLiteral("Nota"), nota_, this), nota_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    QPushButton* conferma = addButtons(layout, QStringLiteral("Conferma"), QStringLiteral("Annulla"));
    conferma->setDefault(true);
    app::chainTabOrder({tipo_, importo_, data_, metodo_, tipologia_, nota_, conferma,
                        findChild<QPushButton*>(QStringLiteral("Annulla"))});
    connect(tipo_, &QComboBox::currentIndexChanged, this, &TFEntrateSpeciali::applyEnabling);
}

bool TFEntrateSpeciali::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    store::Dataset& income = ws.ds(kIncome);
    tipologia_->clear();
    tipologia_->addItems(openingTypes(ws));
    if (ws.editMode == app::EditMode::Add) {
        rowId_.reset();
        asRead_ = {};
        condominio_->setText(ws.selection.condominium);
        tipo_->setEnabled(true);
        tipo_->setCurrentIndex(0);
        importo_->setText(QStringLiteral("0.00"));
        data_->setDate(QDate::currentDate());
        metodo_->setCurrentIndex(0);
        // The types lack "Spese personali": the first offered is the table's second.
        tipologia_->setCurrentIndex(0);
        nota_->clear();
    } else {
        if (!income.isActive() || income.recNo() < 0)
            return false;
        const qint64 id = income.value(QStringLiteral("Id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampIncomeRow(ws, id);
        const std::optional<IncomeRow> row = readIncomeRow(ws, id);
        if (!row)
            return false;
        rowId_ = id;
        showRow(*row);
    }
    applyEnabling();
    memory_ = app::rememberView(income);
    (tipo_->isEnabled() ? static_cast<QWidget*>(tipo_) : importo_)->setFocus();
    return true;
}

void TFEntrateSpeciali::showRow(const IncomeRow& row)
{
    condominio_->setText(row.condominio);
    tipo_->setEnabled(false);
    tipo_->setCurrentIndex(tipo_->findText(row.input.tipoMovimento, Qt::MatchExactly));
    importo_->setText(row.input.importo);
    data_->setDate(row.input.data.isValid() ? row.input.data : QDate::currentDate());
    metodo_->setCurrentIndex(metodo_->findText(row.input.metodoPagamento, Qt::MatchExactly));
    tipologia_->setCurrentIndex(tipologia_->findText(row.input.tipologia, Qt::MatchExactly));
    app::putText(nota_, row.input.nota);
}

void TFEntrateSpeciali::showRowAsNow()
{
    if (!rowId_)
        return;
    asRead_ = stampIncomeRow(ws(), *rowId_);
    // A row deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    if (const std::optional<IncomeRow> row = readIncomeRow(ws(), *rowId_)) {
        showRow(*row);
        applyEnabling();
    }
}

void TFEntrateSpeciali::applyEnabling()
{
    const QString type = tipo_->currentIndex() >= 0 ? tipo_->currentText() : QString();
    const bool opening = type == kOpeningAmount;
    const bool ownMovement = isOpeningOrTransfer(type);
    metodo_->setEnabled(opening || !ownMovement);
    tipologia_->setEnabled(opening);
    importo_->setEnabled(ownMovement);
}

void TFEntrateSpeciali::confirm()
{
    MovementInput in;
    in.tipoMovimento = tipo_->currentIndex() >= 0 ? tipo_->currentText() : QString();
    in.importo = importo_->text();
    in.data = data_->date();
    in.metodoPagamento = metodo_->currentText();
    in.tipologia = tipologia_->currentText();
    in.nota = nota_->text();
    in.asRead = asRead_;
    app::Workspace& ws = this->ws();
    const QString condominium = condominio_->text();
    if (!runEdit([&] {
            return rowId_ ? modifyIncomeRow(ws, *rowId_, in) : addOpeningOrTransfer(ws, condominium, in);
        }))
        return;
    finish({false, kIncome, memory_});
}

} // namespace velcaris::cashbook::ui
