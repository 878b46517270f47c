#include "cashbook/ui/TFEntrate.h"

#include "foundation/Settings.h"
#include "dialogkit/Messages.h"
#include "dialogkit/ValueLabel.h"
#include "cashbook/PaymentPlace.h"
#include "cashbook/Receipt.h"
#include "cashbook/ReceiptNumbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::cashbook::ui {

namespace {

enum Column { Quota = 0, Importo = 1, Tipologia = 2, Nota = 3 };

// A value in bold beside its caption; app::setValue shows the value and makes it the accessible
// description, the caption being the accessible name.
QLabel* valueLabel(QWidget* parent, const char* name, const QString& caption, QFormLayout* form)
{
    auto* value = new QLabel(parent);
    value->setObjectName(QString::fromLatin1(name));
    value->setAccessibleName(caption.trimmed());
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    form->addRow(caption, value);
    return value;
}

QTableWidgetItem* fixedItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// The hourglass while the payment and its receipt are written; it comes back whatever happens.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFEntrate::TFEntrate(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFEntrate"), QStringLiteral("Entrate"), 560, 440)
{
    auto* form = new QFormLayout;
    condominio_ = valueLabel(this, "LabelCondominio", QStringLiteral("Condominio"), form);
    ricevuta_ = valueLabel(this, "LabelRicevuta", QStringLiteral("Ricevuta n."), form);

    data_ = new QDateEdit(this);
    data_->setObjectName(QStringLiteral("Data"));
    data_->setCalendarPopup(true);
    data_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    data_->setAccessibleName(QStringLiteral("del"));
    form->addRow(QStringLiteral("del"), data_);

    persona_ = valueLabel(this, "LabelPersona", QStringLiteral("Ricevo da "), form);
    importo_ = valueLabel(this, "LabelImporto", QStringLiteral("la somma di € "), form);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("quale pagamento delle seguenti quote:"), this));

    grid_ = new QTableWidget(0, 4, this);
    grid_->setObjectName(QStringLiteral("GridRicevuta"));
    grid_->setAccessibleName(QStringLiteral("Quote pagate"));
    grid_->setHorizontalHeaderLabels(
        {QStringLiteral("Quota"), QStringLiteral("Importo"), QStringLiteral("Tipologia"), QStringLiteral("Nota")});
    const int widths[] = {120, 70, 120, 200};
    for (int c = 0; c < 4; ++c)
        grid_->setColumnWidth(c, widths[c]);
    grid_->verticalHeader()->setDefaultSectionSize(22);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(grid_, 1);
    // An amount changed by typing (Enter or leaving the cell) gives the total again.
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == Importo)
            recomputeTotal(true);
    });

    auto* bottom = new QFormLayout;
    pagamento_ = new QComboBox(this);
    pagamento_->setObjectName(QStringLiteral("Combopagamento"));
    pagamento_->addItems({kPlaceCassa, kPlaceContoCorrente});
    pagamento_->setAccessibleName(QStringLiteral("Metodo di pagamento"));
    bottom->addRow(QStringLiteral("Metodo di pagamento"), pagamento_);
    stampa_ = new QCheckBox(QStringLiteral("Stampa ricevuta"), this);
    stampa_->setObjectName(QStringLiteral("CheckBoxRicevute"));
    bottom->addRow(QString(), stampa_);
    layout->addLayout(bottom);

    QPushButton* conferma = addButtons(layout, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(false);
    conferma->setAutoDefault(false);

    connect(&pdf_, &platform::PdfConverter::finished, this, [this](const QStringList&, const QString& error) {
        if (!error.isEmpty())
            app::showWarning(window(), error);
    });
}

bool TFEntrate::prepare(const app::DialogRequest& request)
{
    app::Workspace& ws = this->ws();
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(window(), QStringLiteral("Scegliere prima il condominio"));
        return false;
    }
    draft_ = request.payment;
    number_ = nextReceiptNumber(ws, ws.selection.condominium);
    app::setValue(condominio_, ws.selection.condominium);
    app::setValue(ricevuta_, QString::number(number_));
    data_->setDate(QDate::currentDate());
    app::setValue(persona_, draft_.payerName);

    filling_ = true;
    grid_->setRowCount(0);
    for (const app::PaymentLine& line : draft_.lines) {
        if (!line.payable)
            continue;
        const int r = grid_->rowCount();
        grid_->insertRow(r);
        grid_->setItem(r, Quota, fixedItem(line.quotaName));
        auto* amount = new QTableWidgetItem(store::formatAmount(line.amountDue));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid_->setItem(r, Importo, amount);
        grid_->setItem(r, Tipologia, fixedItem(line.type));
        grid_->setItem(r, Nota, new QTableWidgetItem(QString()));
    }
    filling_ = false;
    recomputeTotal(false);
    pagamento_->setCurrentIndex(0);
    stampa_->setChecked(app::currentSettings().stamparicevute());
    if (grid_->rowCount() > 0) {
        grid_->setCurrentCell(0, Importo);
        grid_->setFocus();
    }
    return true;
}

QVector<PaymentRow> TFEntrate::gridRows() const
{
    QVector<PaymentRow> rows;
    auto text = [this](int r, int c) {
        const QTableWidgetItem* item = grid_->item(r, c);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < grid_->rowCount(); ++r)
        rows.push_back({text(r, Quota), text(r, Importo), text(r, Tipologia), text(r, Nota)});
    return rows;
}

QString TFEntrate::recomputeTotal(bool tell)
{
    const QVector<PaymentRow> rows = gridRows();
    filling_ = true;
    for (int r = 0; r < rows.size(); ++r)
        if (const std::optional<store::Money> amount = paymentAmount(rows[r].amount))
            grid_->item(r, Importo)->setText(amount->toString());
    filling_ = false;
    const PaymentTotal total = paymentTotal(rows);
    app::setValue(importo_, total.total.toString());
    if (tell && !total.problem.isEmpty())
        app::showWarning(this, total.problem);
    return total.problem;
}

void TFEntrate::confirm()
{
    // A cell still being edited gives its text to the grid first.
    const QModelIndex current = grid_->currentIndex();
    grid_->setCurrentIndex(QModelIndex());
    grid_->setCurrentIndex(current);
    recomputeTotal(false);

    app::Workspace& ws = this->ws();
    PaymentInput input;
    input.condominium = ws.selection.condominium;
    input.receiptNumber = number_;
    input.date = data_->date();
    input.method = pagamento_->currentText();
    input.ownerPays = draft_.ownerPays;
    input.payerId = draft_.payerId;
    input.rows = gridRows();

    ReceiptRun receipt;
    {
        const WaitCursor wait;
        // Another desk may have used the proposed number meanwhile: the receipt bears the one written.
        if (!runEdit([&] { return recordPayment(ws, input, &number_); }))
            return;
        // The payment is recorded: whatever happens to its document, the money stays recorded.
        PaidReceipt paid;
        paid.condominium = input.condominium;
        paid.number = number_;
        paid.year = currentYearName(ws, input.condominium);
        paid.date = input.date;
        paid.payer = persona_->text();
        paid.total = paymentTotal(input.rows).total;
        for (const PaymentRow& row : input.rows)
            paid.lines.push_back({row.quotaName, paymentAmount(row.amount)->toString(), row.note});
        receipt = writePaymentReceipt(ws, engine_, paid, stampa_->isChecked(), *shell_);
    }
    if (receipt.written)
        pdf_.convert({receipt.path}, QFileInfo(receipt.path).absolutePath());
    for (const QString& problem : receipt.problems)
        app::showWarning(this, problem);
    // The notes are not kept for the next payment.
    for (int r = 0; r < grid_->rowCount(); ++r)
        if (QTableWidgetItem* note = grid_->item(r, Nota))
            note->setText(QString());
    finish(app::Change{false, QStringLiteral("ADOQueryLocali"), draft_.unitsView});
}

} // namespace velcaris::cashbook::ui
