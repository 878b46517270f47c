#include "cashbook/ui/TFormUscite.h"

#include "agenda/ui/AmountKeys.h"
#include "allocation/QuotaSchedule.h"
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/Messages.h"
#include "cashbook/PaymentPlace.h"
#include "cashbook/ui/TFPercentualeRipartizione.h"
#include "registry/Suppliers.h"
#include "store/RowStamp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::cashbook::ui {

namespace {

using Box = app::Box<ExpenseInput>;
const QString kExpenses = QStringLiteral("ADOQueryUscite");

store::RowStamp stampExpense(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Uscite"), QStringLiteral("id"), id);
}

const Box kCausale{"EditCausale", "Causale", 50, &ExpenseInput::causale};
const Box kNumFattura{"EditNumFattura", "Numero fattura", 50, &ExpenseInput::numFattura};
const Box kLordo{"EditImportoLordo", "Importo lordo", 20, &ExpenseInput::importoLordo};
const Box kImponibile{"EditImponibileIVA", "Imponibile IVA", 20, &ExpenseInput::imponibileIVA};
const Box kCommissione{"EditCommissione", "Commissione", 20, &ExpenseInput::commissione};
const Box kNota{"EditNota", "Nota", 200, &ExpenseInput::nota};
const Box kNetto{"EditImportoNetto", "Importo netto", 20, &ExpenseInput::importoNetto};
const Box kRitenute{"EditRitenuteOperate", "Ritenute operate", 20, &ExpenseInput::ritenuteOperate};
const Box kInteressi{"EditInteressi", "Interessi", 20, &ExpenseInput::interessi};
const Box kCodTributo{"EditCodTributo", "Codice tributo", 50, &ExpenseInput::codTributo};

QComboBox* placeCombo(const char* name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems({kPlaceCassa, kPlaceContoCorrente});
    return combo;
}

QDateEdit* datePicker(const char* name, QWidget* parent, const QString& format = QStringLiteral("dd/MM/yyyy"))
{
    auto* d = new QDateEdit(parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(format);
    return d;
}

// A caption named after the control, its buddy.
QLabel* caption(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

void selectText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

} // namespace

TFormUscite::TFormUscite(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormUscite"), QStringLiteral("Uscite"), 640, 560)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);
    int row = 0;

    condominio_ = new QLabel(this);
    condominio_->setObjectName(QStringLiteral("LabelCondominio"));
    condominio_->setAccessibleName(QStringLiteral("Condominio"));
    anno_ = new QLabel(this);
    anno_->setObjectName(QStringLiteral("LabelAnnoAmministrativo"));
    anno_->setAccessibleName(QStringLiteral("Anno amministrativo"));
    QFont bold = condominio_->font();
    bold.setBold(true);
    condominio_->setFont(bold);
    anno_->setFont(bold);
    grid->addWidget(new QLabel(QStringLiteral("Condominio"), this), row, 0);
    grid->addWidget(condominio_, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("Anno amministrativo"), this), row, 2);
    grid->addWidget(anno_, row++, 3);

    suppliers_ = new QComboBox(this);
    suppliers_->setObjectName(QStringLiteral("ComboFornitori"));
    grid->addWidget(caption(QStringLiteral("Fornitore"), suppliers_, this), row, 0);
    grid->addWidget(suppliers_, row, 1);

    // The budget items list their table, the table's description and the item; the closed box
    // shows the item.
    items_ = new QComboBox(this);
    items_->setObjectName(QStringLiteral("ComboTipoSpesa"));
    items_->setModel(new QStandardItemModel(0, 3, items_));
    auto* list = new QTableView(items_);
    list->horizontalHeader()->hide();
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setShowGrid(false);
    list->setMinimumWidth(415);
    items_->setView(list);
    items_->setModelColumn(2);
    const int charWidth = QFontMetrics(list->font()).averageCharWidth();
    list->setColumnWidth(0, 10 * charWidth);
    list->setColumnWidth(1, 26 * charWidth);
    list->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(caption(QStringLiteral("Spesa"), items_, this), row, 2);
    grid->addWidget(items_, row++, 3);

    auto addBox = [&](const Box& box, int r, int c, int span = 1) {
        auto* edit = new QLineEdit(this);
        grid->addWidget(boxes_.add(box, edit, this), r, c);
        grid->addWidget(edit, r, c + 1, 1, span);
        return edit;
    };
    QLineEdit* causale = addBox(kCausale, row++, 0, 3);
    QLineEdit* numFattura = addBox(kNumFattura, row, 0);
    dataFattura_ = datePicker("DataFattura", this);
    grid->addWidget(caption(QStringLiteral("Data fattura"), dataFattura_, this), row, 2);
    grid->addWidget(dataFattura_, row++, 3);
    QLineEdit* lordo = addBox(kLordo, row, 0);
    QLineEdit* imponibile = addBox(kImponibile, row++, 2);
    iva_ = new QLineEdit(this);
    iva_->setObjectName(QStringLiteral("EditIVA"));
    iva_->setReadOnly(true);
    grid->addWidget(app::captionFor(iva_, QStringLiteral("Importo IVA"), this), row, 0);
    grid->addWidget(iva_, row, 1);
    QLineEdit* commissione = addBox(kCommissione, row++, 2);
    dataPagamento_ = datePicker("DataPagamento", this);
    grid->addWidget(caption(QStringLiteral("Data pagamento"), dataPagamento_, this), row, 0);
    grid->addWidget(dataPagamento_, row, 1);
    pagamento_ = placeCombo("ComboPagamento", this);
    grid->addWidget(caption(QStringLiteral("Metodo di pagamento"), pagamento_, this), row, 2);
    grid->addWidget(pagamento_, row++, 3);
    tipologia_ = new QComboBox(this);
    tipologia_->setObjectName(QStringLiteral("ComboTipologia"));
    grid->addWidget(caption(QStringLiteral("Tipologia"), tipologia_, this), row, 0);
    grid->addWidget(tipologia_, row, 1);
    pagato_ = new QCheckBox(QStringLiteral("Pagato"), this);
    pagato_->setObjectName(QStringLiteral("CheckPagato"));
    grid->addWidget(pagato_, row++, 3);
    QLineEdit* nota = addBox(kNota, row++, 0, 3);
    ritenuta_ = new QCheckBox(QStringLiteral("Ritenuta d'acconto"), this);
    ritenuta_->setObjectName(QStringLiteral("CheckRitenuta"));
    grid->addWidget(ritenuta_, row, 1);
    splitButton_ = new QPushButton(QStringLiteral("%"), this);
    splitButton_->setObjectName(QStringLiteral("SpeedButton1"));
    splitButton_->setToolTip(QStringLiteral("Percentuali di ripartizione"));
    splitButton_->setAccessibleName(splitButton_->toolTip());
    splitButton_->setAutoDefault(false);
    grid->addWidget(splitButton_, row++, 3, Qt::AlignRight);

    group_ = new QGroupBox(QStringLiteral("Ritenuta d'acconto"), this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    auto* g = new QGridLayout(group_);
    auto addGroupBox = [&](const Box& box, int r, int c) {
        auto* edit = new QLineEdit(group_);
        g->addWidget(boxes_.add(box, edit, group_), r, c);
        g->addWidget(edit, r, c + 1);
        return edit;
    };
    QLineEdit* netto = addGroupBox(kNetto, 0, 0);
    QLineEdit* ritenute = addGroupBox(kRitenute, 0, 2);
    QLineEdit* interessi = addGroupBox(kInteressi, 1, 0);
    periodo_ = datePicker("PeriodoRiferimento", group_, QStringLiteral("MM/yyyy"));
    g->addWidget(caption(QStringLiteral("Periodo di riferimento"), periodo_, group_), 1, 2);
    g->addWidget(periodo_, 1, 3);
    ravvedimento_ = new QCheckBox(QStringLiteral("Check ravvedimento"), group_);
    ravvedimento_->setObjectName(QStringLiteral("CheckRavvedimento"));
    g->addWidget(ravvedimento_, 2, 1);
    QLineEdit* codTributo = addGroupBox(kCodTributo, 2, 2);
    dataRitenuta_ = datePicker("DataRitenuta", group_);
    g->addWidget(caption(QStringLiteral("Data versamento"), dataRitenuta_, group_), 3, 0);
    g->addWidget(dataRitenuta_, 3, 1);
    metodoRitenuta_ = placeCombo("ComboMetodoRitenuta", group_);
    g->addWidget(caption(QStringLiteral("Metodo di pagamento"), metodoRitenuta_, group_), 3, 2);
    g->addWidget(metodoRitenuta_, 3, 3);
    outer->addWidget(group_);
    outer->addStretch(1);

    for (QLineEdit* amount : {lordo, imponibile, commissione, ritenute, interessi}) {
        agenda::ui::acceptAmountKeysOnly(amount);
        amount->setAlignment(Qt::AlignRight);
    }
    QPushButton* conferma = addButtons(outer, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(true);
    app::chainTabOrder({suppliers_, items_, causale, numFattura, dataFattura_, lordo, imponibile, iva_, commissione,
                        dataPagamento_, pagamento_, tipologia_, nota, pagato_, ritenuta_, netto, ritenute, interessi,
                        periodo_, ravvedimento_, codTributo, dataRitenuta_, metodoRitenuta_, splitButton_, conferma,
                        findChild<QPushButton*>(QStringLiteral("BtnAnnulla"))});

    connect(pagato_, &QCheckBox::toggled, this, &TFormUscite::applyEnabling);
    connect(numFattura, &QLineEdit::textChanged, this, &TFormUscite::applyEnabling);
    connect(ritenuta_, &QCheckBox::toggled, group_, &QWidget::setVisible);
    // The VAT follows the gross and the taxable base as they are typed.
    connect(lordo, &QLineEdit::textChanged, this, &TFormUscite::computeVat);
    connect(imponibile, &QLineEdit::textChanged, this, &TFormUscite::computeVat);
    connect(codTributo, &QLineEdit::textChanged, this, &TFormUscite::computeVat);

    split_ = new TFPercentualeRipartizione(context, this);
    connect(splitButton_, &QPushButton::clicked, this, &TFormUscite::openSplit);
    connect(split_, &TFPercentualeRipartizione::splitChanged, this, [this](bool active) {
        // The split's items replace the one chosen here.
        items_->setEnabled(!active);
    });
    connect(split_, &QDialog::finished, this, [this] {
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    });
}

void TFormUscite::fillLists(const QString& condominium)
{
    app::Workspace& ws = this->ws();
    suppliers_->clear();
    for (const SupplierChoice& s : expenseSuppliers(ws, condominium))
        suppliers_->addItem(s.fornitore, s.id);
    auto* model = static_cast<QStandardItemModel*>(items_->model());
    model->removeRows(0, model->rowCount());
    for (const BudgetChoice& b : expenseBudgetItems(ws, condominium)) {
        auto* tabella = new QStandardItem(b.tabella);
        tabella->setData(b.id, Qt::UserRole);
        model->appendRow({tabella, new QStandardItem(b.descrizione), new QStandardItem(b.voce)});
    }
    tipologia_->clear();
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Tipologia FROM Tipologia ORDER BY Id"));
    while (st.step())
        tipologia_->addItem(st.value(0).toString());
}

bool TFormUscite::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    store::Dataset& expenses = ws.ds(kExpenses);
    std::optional<ExpenseInput> shown;
    if (ws.editMode == app::EditMode::Add) {
        expenseId_.reset();
        asRead_ = {};
        ExpenseInput in;
        in.condominio = ws.selection.condominium;
        in.aa = allocation::currentYearOf(ws.mainDb(), in.condominio);
        const QDate today = QDate::currentDate();
        in.dataFattura = in.dataPagamento = in.periodoRiferimento = in.dataRitenuta = today;
        in.imponibileIVA = in.commissione = QStringLiteral("0.00");
        in.pagamento = kPlaceCassa;
        shown = in;
    } else {
        if (!expenses.isActive() || expenses.recNo() < 0)
            return false;
        const qint64 id = expenses.value(QStringLiteral("id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampExpense(ws, id);
        shown = readExpense(ws, id);
        if (!shown)
            return false;
        expenseId_ = id;
    }
    fillLists(shown->condominio);
    const QString missing = expensePrecondition(ws, shown->condominio);
    if (!missing.isEmpty()) {
        app::showInformation(window(), missing);
        return false;
    }
    split_->clearSplit();
    items_->setEnabled(true);
    splitButton_->setEnabled(!expenseId_);
    showExpense(*shown);
    memory_ = app::rememberView(expenses);
    suppliers_->setFocus();
    return true;
}

void TFormUscite::showExpense(const ExpenseInput& in)
{
    condominio_->setText(in.condominio);
    anno_->setText(in.aa);
    boxes_.fill(in);
    // A new expense starts on the first supplier and item, without withholding. An expense whose
    // supplier no longer serves the condominium still shows it.
    if (in.fornitore && suppliers_->findData(*in.fornitore) < 0)
        suppliers_->addItem(registry::supplierDisplayName(ws(), *in.fornitore), *in.fornitore);
    suppliers_->setCurrentIndex(in.fornitore ? suppliers_->findData(*in.fornitore) : 0);
    items_->setCurrentIndex(0);
    auto* model = static_cast<QStandardItemModel*>(items_->model());
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->item(r, 2)->text() == in.tipoSpesa && (in.tabella.isEmpty() || model->item(r, 0)->text() == in.tabella))
            items_->setCurrentIndex(r);
    if (expenseId_) {
        selectText(pagamento_, in.pagamento);
        selectText(tipologia_, in.tipologia);
        selectText(metodoRitenuta_, in.metodoRitenuta);
    } else {
        pagamento_->setCurrentIndex(0);
        tipologia_->setCurrentIndex(tipologia_->count() > 1 ? 1 : 0);
        metodoRitenuta_->setCurrentIndex(1);
        boxes_.edit(&ExpenseInput::importoNetto)->setText(QStringLiteral("0.00"));
        boxes_.edit(&ExpenseInput::ritenuteOperate)->setText(QStringLiteral("0.00"));
        boxes_.edit(&ExpenseInput::interessi)->setText(QStringLiteral("0.00"));
    }
    dataFattura_->setDate(in.dataFattura.isValid() ? in.dataFattura : QDate::currentDate());
    dataPagamento_->setDate(in.dataPagamento.isValid() ? in.dataPagamento : QDate::currentDate());
    periodo_->setDate(in.periodoRiferimento.isValid() ? in.periodoRiferimento : QDate::currentDate());
    dataRitenuta_->setDate(in.dataRitenuta.isValid() ? in.dataRitenuta : QDate::currentDate());
    pagato_->setChecked(in.pagato);
    ravvedimento_->setChecked(in.ravvedimento);
    ritenuta_->setChecked(in.ritenuta);
    group_->setVisible(in.ritenuta);
    iva_->setText(vatText(in.importoLordo, in.imponibileIVA));
    applyEnabling();
}

ExpenseInput TFormUscite::input() const
{
    ExpenseInput in;
    boxes_.read(in);
    in.condominio = condominio_->text();
    in.aa = anno_->text();
    if (suppliers_->currentIndex() >= 0)
        in.fornitore = suppliers_->currentData().toLongLong();
    if (const int r = items_->currentIndex(); r >= 0) {
        auto* model = static_cast<QStandardItemModel*>(items_->model());
        in.tabella = model->item(r, 0)->text();
        in.tipoSpesa = model->item(r, 2)->text();
    }
    in.dataFattura = dataFattura_->date();
    in.dataPagamento = dataPagamento_->date();
    in.pagamento = pagamento_->currentText();
    in.tipologia = tipologia_->currentText();
    in.pagato = pagato_->isChecked();
    in.ritenuta = ritenuta_->isChecked();
    in.periodoRiferimento = periodo_->date();
    in.ravvedimento = ravvedimento_->isChecked();
    in.dataRitenuta = dataRitenuta_->date();
    in.metodoRitenuta = metodoRitenuta_->currentText();
    in.asRead = asRead_;
    return in;
}

void TFormUscite::showRowAsNow()
{
    if (!expenseId_)
        return;
    asRead_ = stampExpense(ws(), *expenseId_);
    // An expense deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    const std::optional<ExpenseInput> shown = readExpense(ws(), *expenseId_);
    if (!shown)
        return;
    fillLists(shown->condominio);
    showExpense(*shown);
}

void TFormUscite::applyEnabling()
{
    dataPagamento_->setEnabled(pagato_->isChecked());
    pagamento_->setEnabled(pagato_->isChecked());
    const bool invoice = !boxes_.edit(&ExpenseInput::numFattura)->text().isEmpty();
    dataFattura_->setEnabled(invoice);
    boxes_.edit(&ExpenseInput::imponibileIVA)->setEnabled(invoice);
    ritenuta_->setEnabled(invoice);
}

void TFormUscite::computeVat()
{
    const QString gross = boxes_.edit(&ExpenseInput::importoLordo)->text();
    const QString base = boxes_.edit(&ExpenseInput::imponibileIVA)->text();
    if (!gross.isEmpty() && !base.isEmpty())
        iva_->setText(vatText(gross, base));
}

void TFormUscite::openSplit()
{
    // The two dialogs stand side by side over the main window.
    const int left = (window()->width() - width() - split_->width()) / 2;
    move(window()->mapToGlobal(QPoint(0, 0)).x() + left, y());
    split_->move(x() + frameGeometry().width(), y());
    split_->openFor(condominio_->text());
}

void TFormUscite::confirm()
{
    computeVat();
    const ExpenseInput in = input();
    const QStringList problems = expenseProblems(in);
    if (!problems.isEmpty()) {
        app::showInformation(this, problems.join(u'\n'));
        return;
    }
    if (netAndWithholdingDiffer(in) && app::ConfirmWithCaptions(kNetAndWithholdingQuestion,
                                                                 app::DialogKind::Confirmation, {"Si", "No"}, this) != 1)
        return;
    app::Workspace& ws = this->ws();
    const bool saved = runEdit([&] {
        if (expenseId_)
            return modifyExpense(ws, *expenseId_, in);
        return addExpense(ws, in, split_->splitActive() ? split_->lines() : QVector<SplitLine>{});
    });
    if (!saved)
        return;
    finish({false, kExpenses, memory_});
}

void TFormUscite::done(int result)
{
    // A confirmed split lasts until the dialog closes.
    split_->clearSplit();
    items_->setEnabled(true);
    EditDialog::done(result);
}

} // namespace velcaris::cashbook::ui
