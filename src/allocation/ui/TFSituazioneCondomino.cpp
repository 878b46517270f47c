#include "allocation/ui/TFSituazioneCondomino.h"

#include "allocation/QuotaBreakdown.h"
#include "allocation/QuotaRegister.h"
#include "allocation/QuotaSchedule.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"
#include "dialogkit/ValueLabel.h"
#include "store/Dataset.h"
#include "store/Money.h"

#include <QDialog>
#include <QEvent>
#include <QPlainTextEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {

const QString kUnits = QStringLiteral("ADOQueryLocali");

// Shown columns: field, title, width.
struct Column {
    const char* field;
    const char* title;
    int width;
};
const Column kColumns[] = {{"NomeQuote", "Quota", 140},           {"Importo", "Importo totale", 90},
                           {"ImportoPagato", "Importo pagato", 90}, {"ImportoDaPagare", "Importo da pagare", 90},
                           {"Tipologia", "Tipologia", 120},        {"DataScadenza", "Data di scadenza", 100},
                           {"PagabiliSiNo", "Pagabile", 50}};
const char* const kHidden[] = {"IdCondominio", "IdProprietario", "IdInquilino"};
const char* const kAmounts[] = {"Importo", "ImportoPagato", "ImportoDaPagare"};

QLabel* personLabel(QGridLayout* grid, int row, const QString& caption, const QString& name, QWidget* parent)
{
    auto* value = new QLabel(parent);
    value->setObjectName(name);
    value->setAccessibleName(caption);
    grid->addWidget(new QLabel(caption + u':', parent), row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

} // namespace

TFSituazioneCondomino::TFSituazioneCondomino(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFSituazioneCondomino"), QStringLiteral("Situazione condomino"), 760, 460),
      context_(context)
{
    auto* outer = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    sumButton_ = new QPushButton(QStringLiteral("Somma quote"), this);
    sumButton_->setObjectName(QStringLiteral("ButtonSomma"));
    sumButton_->setCheckable(true);
    payableButton_ = new QPushButton(QStringLiteral("Pagabile Si/No"), this);
    payableButton_->setObjectName(QStringLiteral("ButtonPagabili"));
    payableButton_->setCheckable(true);
    auto* detail = new QPushButton(QStringLiteral("Dettaglio"), this);
    detail->setObjectName(QStringLiteral("ButtonDettaglio"));
    detail->setToolTip(QStringLiteral("Come è calcolata la quota selezionata"));
    bar->addWidget(sumButton_);
    bar->addWidget(payableButton_);
    bar->addWidget(detail);
    bar->addStretch(1);
    outer->addLayout(bar);

    auto* people = new QGridLayout;
    people->setColumnStretch(1, 1);
    unitName_ = personLabel(people, 0, QStringLiteral("Locale"), QStringLiteral("LabelLocale"), this);
    owner_ = personLabel(people, 1, QStringLiteral("Proprietario"), QStringLiteral("LabelProprietario"), this);
    tenant_ = personLabel(people, 2, QStringLiteral("Inquilino"), QStringLiteral("LabelInquilino"), this);
    outer->addLayout(people);

    statement_ = new store::Dataset(QStringLiteral("ADOQuerySituazione"), this);
    statement_->setConnection(&ws().mainDb());
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("GridSC"));
    grid_->setAccessibleName(QStringLiteral("Tabella pagamenti"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->verticalHeader()->setDefaultSectionSize(22);
    auto* model = new app::DatasetModel(statement_, grid_);
    model->setLive(true);
    grid_->setModel(model);
    grid_->viewport()->installEventFilter(this);
    footer_ = new app::GridFooter(grid_, this);
    outer->addWidget(new QLabel(QStringLiteral("Tabella pagamenti"), this));
    outer->addWidget(grid_, 1);
    outer->addWidget(footer_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    buttons->addWidget(ok);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(detail, &QPushButton::clicked, this, [this] { showDetail(); });

    connect(sumButton_, &QPushButton::toggled, this, [this](bool down) {
        sum_ = 0;
        if (down)
            grid_->viewport()->setCursor(Qt::PointingHandCursor);
        else
            grid_->viewport()->unsetCursor();
    });
}

bool TFSituazioneCondomino::prepare(const app::DialogRequest& request)
{
    app::Workspace& ws = this->ws();
    store::Dataset& units = ws.ds(kUnits);
    if (const std::optional<app::StatementPerson>& person = request.statementPerson) {
        // A person chosen by name: the statement of all the units held in that role.
        unitsView_ = app::rememberView(units);
        subject_ = {person->owner, person->id};
        app::setValue(owner_, person->owner ? person->name : QString());
        app::setValue(tenant_, person->owner ? QString() : person->name);
        app::setValue(unitName_, person->units);
    } else {
        if (!units.isActive() || units.isEmpty() || units.recNo() < 0 || !units.hasField(QStringLiteral("idProprietario")))
            return false;
        unitsView_ = app::rememberView(units);
        subject_.owner = statementForOwner(ws.selection.statementSubject);
        subject_.personId =
            units.value(subject_.owner ? QStringLiteral("idProprietario") : QStringLiteral("idInquilino")).toLongLong();
        for (auto [label, field] : {std::pair{owner_, "Proprietario"}, {tenant_, "Inquilino"}, {unitName_, "Nome"}})
            app::setValue(label, units.value(QString::fromLatin1(field)).toString());
    }
    {
        const QSignalBlocker a(sumButton_), b(payableButton_);
        sumButton_->setChecked(false);
        payableButton_->setChecked(false);
    }
    sum_ = 0;
    grid_->viewport()->unsetCursor();
    openStatement();
    grid_->clearSelection();
    if (!statement_->isEmpty())
        grid_->selectRow(0);
    grid_->setFocus();
    return true;
}

void TFSituazioneCondomino::openStatement()
{
    const StatementQuery q = statementQuery(ws().selection.condominium, subject_);
    statement_->close();
    statement_->setSql(q.sql, q.params);
    statement_->open();
    auto* model = static_cast<app::DatasetModel*>(grid_->model());
    model->clearColumnTitles();
    QHash<int, QString> sums;
    for (const char* field : kAmounts) {
        const QString name = QString::fromLatin1(field);
        statement_->setDisplayFormat(name, QStringLiteral("0.00"));
        const int column = statement_->fieldIndex(name);
        double sum = 0;
        for (int row = 0; row < statement_->rowCount(); ++row)
            sum += statement_->valueAt(row, column).toDouble();
        sums.insert(column, store::formatAmount(sum));
    }
    for (const Column& c : kColumns) {
        const int column = statement_->fieldIndex(QString::fromLatin1(c.field));
        model->setColumnTitle(QString::fromLatin1(c.field), QString::fromUtf8(c.title));
        grid_->setColumnWidth(column, c.width);
    }
    for (const char* field : kHidden)
        grid_->setColumnHidden(statement_->fieldIndex(QString::fromLatin1(field)), true);
    footer_->setTexts(sums);
}

bool TFSituazioneCondomino::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != grid_->viewport() || event->type() != QEvent::MouseButtonPress)
        return EditDialog::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = grid_->indexAt(mouse->position().toPoint());
    const QString field = index.isValid() ? statement_->fieldNames().value(index.column()) : QString();
    const bool amountCell = std::any_of(std::begin(kAmounts), std::end(kAmounts),
                                        [&](const char* f) { return field == QLatin1String(f); });
    if (sumButton_->isChecked() && amountCell) {
        if (mouse->button() == Qt::RightButton) {
            app::showInformation(this, allocation::quotaSumText(sum_));
            sumButton_->setChecked(false);
            return true;
        }
        if (mouse->button() == Qt::LeftButton)
            sum_ = addToQuotaSum(sum_, statement_->valueAt(index.row(), index.column()));
    }
    if (payableButton_->isChecked() && mouse->button() == Qt::LeftButton && index.isValid()) {
        flipRow(index.row());
        return true;
    }
    return false;
}

void TFSituazioneCondomino::flipRow(int row)
{
    PayableFlipInput input;
    input.subject = subject_;
    input.quotaName = statement_->valueAt(row, QStringLiteral("NomeQuote")).toString();
    input.type = statement_->valueAt(row, QStringLiteral("Tipologia"));
    input.dueDate = statement_->valueAt(row, QStringLiteral("DataScadenza"));
    input.payable = statement_->valueAt(row, QStringLiteral("PagabiliSiNo"));
    statement_->moveTo(row);
    const app::ViewMemory memory = app::rememberView(*statement_);
    if (!runEdit([&] { return flipPayable(ws(), input); }))
        return;
    try {
        app::restoreView(*statement_, memory);
        openStatement();
        statement_->moveTo(std::min(row, statement_->rowCount() - 1));
        grid_->clearSelection();
        if (statement_->recNo() >= 0)
            grid_->selectRow(statement_->recNo());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
}

void TFSituazioneCondomino::showDetail()
{
    const QModelIndexList rows = grid_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        app::showInformation(this, QStringLiteral("Selezionare la quota di cui mostrare il dettaglio"));
        return;
    }
    try {
        const int row = rows.first().row();
        const QString name = statement_->valueAt(row, QStringLiteral("NomeQuote")).toString();
        const QString condominium = ws().selection.condominium;
        const QString text = statementRowExplanation(ws().mainDb(), condominium, currentYearOf(ws().mainDb(), condominium),
                                                     subject_.owner, subject_.personId, name,
                                                     statement_->valueAt(row, QStringLiteral("Tipologia")),
                                                     statement_->valueAt(row, QStringLiteral("DataScadenza")));
        QDialog box(this);
        box.setObjectName(QStringLiteral("TFDettaglioQuota"));
        box.setWindowTitle(QStringLiteral("Come è calcolata la quota \"%1\"").arg(name));
        auto* layout = new QVBoxLayout(&box);
        auto* memo = new QPlainTextEdit(text, &box);
        memo->setObjectName(QStringLiteral("MemoDettaglio"));
        memo->setReadOnly(true);
        memo->setAccessibleName(QStringLiteral("Dettaglio del calcolo"));
        layout->addWidget(memo);
        auto* close = new QPushButton(QStringLiteral("Chiudi"), &box);
        close->setObjectName(QStringLiteral("BtnChiudi"));
        connect(close, &QPushButton::clicked, &box, &QDialog::accept);
        layout->addWidget(close, 0, Qt::AlignRight);
        box.resize(640, 360);
        detail_ = text;
        if (app::EditDialog::blocking())
            box.exec();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
}

QVector<app::PaymentLine> TFSituazioneCondomino::selectedLines() const
{
    QVector<app::PaymentLine> lines;
    for (const QModelIndex& index : grid_->selectionModel()->selectedRows()) {
        const int row = index.row();
        lines.push_back({statement_->valueAt(row, QStringLiteral("NomeQuote")).toString(),
                         statement_->valueAt(row, QStringLiteral("ImportoDaPagare")).toDouble(),
                         statement_->valueAt(row, QStringLiteral("Tipologia")).toString(),
                         statement_->valueAt(row, QStringLiteral("PagabiliSiNo")).toBool()});
    }
    return lines;
}

void TFSituazioneCondomino::confirm()
{
    app::PaymentDraft draft;
    try {
        draft.lines = selectedLines();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    const PaymentStep step = paymentStep(draft.lines);
    if (step.warnNonPayable)
        app::showInformation(this, kNonPayableMessage);
    if (!step.openPayment)
        return;
    draft.ownerPays = subject_.owner;
    draft.payerId = subject_.personId;
    draft.payerName = subject_.owner ? owner_->text() : tenant_->text();
    draft.unitsView = unitsView_;
    app::DialogRequest request;
    request.tab = app::Tab::Locali;
    request.payment = draft;
    // A recorded payment closes the statement too; otherwise it shows the quotas as they are now.
    if (context_.open && context_.open(app::DialogId::TFEntrate, request)) {
        accept();
        return;
    }
    try {
        if (isVisible())
            openStatement();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
}

} // namespace velcaris::allocation::ui
