#include "allocation/ui/TFRipartizione.h"

#include "allocation/QuotaSchedule.h"
#include "allocation/ui/DueDatePicker.h"
#include "allocation/ui/TFEccezioni.h"
#include "foundation/Selection.h"
#include "foundation/TypedDate.h"
#include "dialogkit/DateField.h"
#include "dialogkit/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {

const QString kSingleQuotas = QStringLiteral("ADOQueryQuoteSingole");

// Instalment names become column titles of the quota register: the full stop is not typed.
class NoFullStop : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^.]*")), line));
        return editor;
    }
};

QTableWidgetItem* fixedCell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TFRipartizione::TFRipartizione(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFRipartizione"), QStringLiteral("Ripartizione"), 640, 600)
{
    auto* outer = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    outer->addWidget(pages_);

    buttons_ = new QWidget(this);
    auto* editing = new QVBoxLayout(buttons_);
    editing->setContentsMargins(0, 0, 0, 0);
    tabs_ = named(new QTabWidget(buttons_), "PageControl");
    allocationTab_ = buildAllocationTab();
    personalTab_ = buildPersonalTab();
    tabs_->addTab(allocationTab_, QStringLiteral("Ripartizione Quote"));
    tabs_->addTab(personalTab_, QStringLiteral("Quote Personali"));
    editing->addWidget(tabs_);
    addButtons(editing, QStringLiteral("Conferma"), QStringLiteral("Annulla"))->setDefault(true);
    pages_->addWidget(buttons_);
    pages_->addWidget(buildPreviewPage());

    exceptions_ = new TFEccezioni(this);
    connect(exceptions_, &TFEccezioni::confirmed, this, [this] {
        exceptionsConfirmed_ = true;
        excluded_ = exceptions_->unchecked();
    });
}

QWidget* TFRipartizione::buildAllocationTab()
{
    auto* tab = named(new QWidget, "TabRipartizione");
    auto* grid = new QGridLayout(tab);

    type_ = named(new QComboBox(tab), "ComboTipologia");
    grid->addWidget(caption(QStringLiteral("Tipo spese"), type_, tab), 0, 0);
    grid->addWidget(type_, 0, 1);

    tables_ = named(new QTableWidget(0, 2, tab), "GridTabelle");
    tables_->setHorizontalHeaderLabels({QStringLiteral("Tabella"), QStringLiteral("Importo")});
    tables_->verticalHeader()->hide();
    tables_->horizontalHeader()->setStretchLastSection(true);
    tables_->setColumnWidth(0, 200);
    grid->addWidget(tables_, 1, 0, 1, 2);

    auto* pu = new QHBoxLayout;
    equalParts_ = named(new QCheckBox(QStringLiteral("Ripartizione in parti uguali - Importo singola quota"), tab), "CheckPU");
    equalPart_ = named(new QLineEdit(tab), "EditPU");
    equalPart_->setAccessibleName(QStringLiteral("Importo singola quota"));
    equalPart_->setFixedWidth(90);
    equalPart_->hide();
    pu->addWidget(equalParts_);
    pu->addWidget(equalPart_);
    pu->addStretch(1);
    grid->addLayout(pu, 2, 0, 1, 2);
    connect(equalParts_, &QCheckBox::toggled, equalPart_, &QWidget::setVisible);

    instalments_ = named(new QLineEdit(tab), "NumeroQuote");
    instalments_->setMaxLength(2);
    instalments_->setFixedWidth(40);
    grid->addWidget(caption(QStringLiteral("Numero quote"), instalments_, tab), 3, 0);
    grid->addWidget(instalments_, 3, 1, Qt::AlignLeft);
    connect(instalments_, &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        const int n = instalments_->text().trimmed().toInt(&ok);
        if (ok && n > 0)
            setInstalmentRows(n);
    });

    quotas_ = named(new QTableWidget(1, 3, tab), "GridQuote");
    quotas_->setHorizontalHeaderLabels({QStringLiteral("Numero"), QStringLiteral("Nome Quota"), QStringLiteral("Data scadenza")});
    quotas_->verticalHeader()->hide();
    quotas_->setColumnWidth(1, 150);
    quotas_->setColumnWidth(2, 120); // the date and the calendar button
    quotas_->setItemDelegateForColumn(1, new NoFullStop(quotas_));
    new DueDatePicker(quotas_, 2);
    grid->addWidget(quotas_, 4, 0, 1, 2);

    rounding_ = named(new QCheckBox(QStringLiteral("Arrotondamento"), tab), "CheckArrotonda");
    toTheCent_ = named(new QCheckBox(QStringLiteral("Al centesimo"), tab), "CheckCentesimo");
    toTheCent_->setToolTip(QStringLiteral("Ogni rata di ogni tabella è divisa tra i locali esattamente: i centesimi che "
                                          "avanzano vanno uno ciascuno ai locali con i resti maggiori (differenza 0.00)"));
    auto* roundings = new QHBoxLayout;
    roundings->addWidget(rounding_);
    roundings->addWidget(toTheCent_);
    roundings->addStretch(1);
    grid->addLayout(roundings, 5, 0, 1, 2);
    // Rounding to half units and sharing to the cent exclude each other.
    connect(toTheCent_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            rounding_->setChecked(false);
    });
    connect(rounding_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            toTheCent_->setChecked(false);
    });

    byStaircase_ = named(new QCheckBox(QStringLiteral("Ripartizione per scale"), tab), "CheckRipScale");
    staircases_ = named(new QListWidget(tab), "RipScale");
    staircases_->setAccessibleName(QStringLiteral("Scale"));
    staircases_->setMaximumHeight(80);
    staircases_->hide();
    grid->addWidget(byStaircase_, 6, 0);
    grid->addWidget(staircases_, 6, 1);
    connect(byStaircase_, &QCheckBox::clicked, this, &TFRipartizione::fillStaircases);

    auto* eccezioni = named(new QPushButton(QStringLiteral("Eccezioni"), tab), "BEccezioni");
    grid->addWidget(eccezioni, 7, 0, Qt::AlignLeft);
    connect(eccezioni, &QPushButton::clicked, this, &TFRipartizione::openExceptions);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(4, 1);
    return tab;
}

QWidget* TFRipartizione::buildPersonalTab()
{
    auto* tab = named(new QWidget, "TabQuotePersonali");
    auto* form = new QFormLayout(tab);
    auto label = [&](const char* name, const char* text) {
        QLabel* value = named(new QLabel(tab), name);
        form->addRow(caption(QString::fromUtf8(text), value, tab), value);
        return value;
    };
    condominium_ = label("LabelCondominio", "Condominio");
    owner_ = label("LabelProprietario", "Proprietario");
    tenant_ = label("LabelInquilino", "Inquilino");
    unit_ = label("LabelLocale", "Locale");
    quotaName_ = named(new QLineEdit(tab), "EditQuota");
    quotaName_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^.]*")), quotaName_));
    form->addRow(caption(QStringLiteral("Nome quota"), quotaName_, tab), quotaName_);
    amount_ = named(new QLineEdit(tab), "EditImporto");
    form->addRow(caption(QStringLiteral("Importo"), amount_, tab), amount_);
    QLabel* type = named(new QLabel(kPersonalQuotaType, tab), "LabelTipologia");
    form->addRow(caption(QStringLiteral("Tipologia"), type, tab), type);
    due_ = named(new app::DateField(tab), "EditData");
    form->addRow(caption(QStringLiteral("Data Scadenza"), due_, tab), due_);
    note_ = named(new QLineEdit(tab), "EditNote");
    form->addRow(caption(QStringLiteral("Note"), note_, tab), note_);
    return tab;
}

QWidget* TFRipartizione::buildPreviewPage()
{
    auto* page = named(new QWidget(this), "PanelAnteprima");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Quote che verranno scritte:"), page));
    preview_ = named(new QPlainTextEdit(page), "MemoAnteprima");
    preview_->setReadOnly(true);
    preview_->setAccessibleName(QStringLiteral("Anteprima della ripartizione"));
    layout->addWidget(preview_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* scrivi = named(new QPushButton(QStringLiteral("Conferma"), page), "BtnScrivi");
    auto* indietro = named(new QPushButton(QStringLiteral("Indietro"), page), "BtnIndietro");
    row->addWidget(scrivi);
    row->addWidget(indietro);
    layout->addLayout(row);
    connect(scrivi, &QPushButton::clicked, this, &TFRipartizione::write);
    connect(indietro, &QPushButton::clicked, this, &TFRipartizione::back);
    return page;
}

bool TFRipartizione::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    if (currentYearOf(ws.mainDb(), ws.selection.condominium).isEmpty()) {
        app::showInformation(window(), app::kRequireYearMessage);
        return false;
    }
    exceptionsConfirmed_ = false;
    excluded_.clear();
    pages_->setCurrentIndex(0);

    // The personal quota goes to the unit of the single-quota view's current row.
    store::Dataset& single = ws.ds(kSingleQuotas);
    personalUnit_.reset();
    QString owner, tenant, unit;
    if (single.isActive() && single.recNo() >= 0) {
        const QVariant id = single.value(QStringLiteral("idLocale"));
        if (!id.isNull())
            personalUnit_ = id.toLongLong();
        owner = single.value(QStringLiteral("Proprietario")).toString();
        tenant = single.value(QStringLiteral("Inquilino")).toString();
        unit = single.value(QStringLiteral("Nome")).toString();
    }
    condominium_->setText(ws.selection.condominium);
    owner_->setText(owner);
    tenant_->setText(tenant);
    unit_->setText(unit);
    quotaName_->clear();
    amount_->clear();
    note_->clear();
    due_->setDate(QDate::currentDate());

    units_ = loadAllocationUnits(ws, ws.selection.condominium);
    type_->clear();
    type_->addItems(quotaTypes(ws));
    type_->setCurrentIndex(type_->count() > 1 ? 1 : 0);
    tables_->setRowCount(0);
    tables_->setRowCount(int(units_.tables.size()));
    for (int k = 0; k < units_.tables.size(); ++k) {
        tables_->setItem(k, 0, fixedCell(units_.tables[k].nome));
        tables_->setItem(k, 1, new QTableWidgetItem(QStringLiteral("0.00")));
    }
    equalParts_->setChecked(false);
    equalPart_->clear();
    instalments_->clear();
    quotas_->setRowCount(0);
    setInstalmentRows(1);
    rounding_->setChecked(false);
    toTheCent_->setChecked(false);
    byStaircase_->setChecked(false);
    staircases_->clear();
    staircases_->hide();
    memory_ = app::rememberView(single);
    tabs_->setCurrentWidget(allocationTab_);
    return true;
}

void TFRipartizione::setInstalmentRows(int count)
{
    const int before = quotas_->rowCount();
    quotas_->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        quotas_->setItem(row, 0, fixedCell(QString::number(row + 1)));
        if (row >= before) {
            quotas_->setItem(row, 1, new QTableWidgetItem);
            quotas_->setItem(row, 2, new QTableWidgetItem);
        }
    }
}

void TFRipartizione::fillStaircases(bool shown)
{
    staircases_->clear();
    for (const QString& scala : staircasesOf(units_.units)) {
        auto* item = new QListWidgetItem(scala, staircases_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    staircases_->setVisible(shown);
}

void TFRipartizione::openExceptions()
{
    exceptions_->fill(units_);
    exceptions_->move(frameGeometry().topRight());
    if (app::EditDialog::blocking())
        exceptions_->exec();
    else
        exceptions_->open();
}

AllocationInput TFRipartizione::readAllocation()
{
    AllocationInput in;
    in.typeIndex = type_->currentIndex();
    for (int k = 0; k < tables_->rowCount(); ++k)
        in.amounts << (tables_->item(k, 1) ? tables_->item(k, 1)->text() : QString());
    in.equalParts = equalParts_->isChecked();
    in.equalPart = equalPart_->text();
    in.instalments = instalments_->text();
    bool ok = false;
    const int n = in.instalments.trimmed().toInt(&ok);
    if (ok && n > 0 && n != quotas_->rowCount())
        setInstalmentRows(n);
    for (int row = 0; row < quotas_->rowCount(); ++row) {
        const QTableWidgetItem* name = quotas_->item(row, 1);
        const QTableWidgetItem* due = quotas_->item(row, 2);
        in.rows.push_back({name ? name->text() : QString(), dueDateOf(due ? due->text() : QString())});
    }
    in.halfUnitRounding = rounding_->isChecked();
    in.toTheCent = toTheCent_->isChecked();
    if (staircases_->isVisible() || byStaircase_->isChecked())
        for (int i = 0; i < staircases_->count(); ++i)
            if (staircases_->item(i)->checkState() == Qt::Checked)
                in.staircases << staircases_->item(i)->text();
    if (exceptionsConfirmed_)
        in.excluded = excluded_;
    return in;
}

QString TFRipartizione::unreadableDueDate() const
{
    for (int row = 0; row < quotas_->rowCount(); ++row) {
        const QTableWidgetItem* due = quotas_->item(row, 2);
        if (due && !due->text().trimmed().isEmpty() && !app::dateFromTyped(due->text()))
            return due->text();
    }
    return QString();
}

void TFRipartizione::confirm()
{
    app::Workspace& ws = this->ws();
    // A cell being typed in keeps what was typed.
    quotas_->setCurrentCell(-1, -1);
    tables_->setCurrentCell(-1, -1);
    if (tabs_->currentWidget() == personalTab_) {
        if (!due_->holdsDateOrNothing()) {
            runEdit([&] { return app::Outcome::refused(app::notADateMessage(due_->text())); });
            return;
        }
        PersonalQuotaInput in;
        in.unitId = personalUnit_;
        in.name = quotaName_->text();
        in.amount = amount_->text();
        in.due = due_->date();
        in.note = note_->text();
        if (runEdit([&] { return addPersonalQuota(ws, in); }))
            finish(quotasWritten());
        return;
    }
    pending_ = readAllocation();
    AllocationCheck check;
    const bool ready = runEdit([&] {
        // A due date is taken as typed or refused, never read as another date.
        if (const QString typed = unreadableDueDate(); !typed.isEmpty())
            return app::Outcome::refused(app::notADateMessage(typed));
        check = checkAllocation(ws, pending_);
        return check.refusal;
    });
    if (!ready) {
        // A refused confirmation forgets the exclusions, as a written one does.
        exceptionsConfirmed_ = false;
        excluded_.clear();
        return;
    }
    preview_->setPlainText(previewLines(check.preview).join(u'\n'));
    pages_->setCurrentIndex(1);
}

void TFRipartizione::write()
{
    app::Workspace& ws = this->ws();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = runEdit([&] { return confirmAllocation(ws, pending_); });
    QApplication::restoreOverrideCursor();
    exceptionsConfirmed_ = false;
    excluded_.clear();
    if (done) {
        finish(quotasWritten());
        return;
    }
    pages_->setCurrentIndex(0);
}

void TFRipartizione::back()
{
    pages_->setCurrentIndex(0);
}

app::Change TFRipartizione::quotasWritten() const
{
    app::Change change{false, kSingleQuotas, memory_};
    change.showQuotasDue = true;
    return change;
}

} // namespace velcaris::allocation::ui
