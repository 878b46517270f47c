#include "accounts/ui/TFRendiconto.h"

#include "accounts/ConguaglioStatement.h"
#include "accounts/RendicontoDocument.h"
#include "accounts/RendicontoSections.h"
#include "accounts/RendicontoWorkbook.h"
#include "accounts/RendicontoYears.h"
#include "accounts/YearClosing.h"
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/DateField.h"
#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "foundation/Selection.h"
#include "foundation/TypedDate.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::accounts::ui {

namespace {

const QString kChooseCondominium = QStringLiteral("Selezionare prima un condominio");

// The hourglass while the sections are computed or a file is written; it comes back whatever happens.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

QTableWidget* sectionGrid(const RendicontoSection& s, QWidget* parent)
{
    auto* g = new QTableWidget(0, 0, parent);
    g->setObjectName(QStringLiteral("Grid") + s.key);
    g->setAccessibleName(s.sheet.name);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setAlternatingRowColors(true);
    g->verticalHeader()->hide();
    return g;
}

void showSection(QTableWidget* g, QLabel* notes, const RendicontoSection& s)
{
    g->clear();
    g->setColumnCount(int(s.sheet.header.size()));
    g->setHorizontalHeaderLabels(s.sheet.header);
    g->setRowCount(int(s.sheet.rows.size()));
    QFont bold = g->font();
    bold.setBold(true);
    for (int r = 0; r < s.sheet.rows.size(); ++r) {
        const QVector<reports::Cell>& row = s.sheet.rows[r];
        const bool total = s.totals.contains(r);
        for (int c = 0; c < row.size() && c < g->columnCount(); ++c) {
            const reports::Cell& cell = row[c];
            if (cell.kind == reports::Cell::Kind::Empty)
                continue;
            auto* item = new QTableWidgetItem(cell.text);
            if (cell.kind == reports::Cell::Kind::Amount || cell.kind == reports::Cell::Kind::Whole)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (total)
                item->setFont(bold);
            g->setItem(r, c, item);
        }
    }
    g->resizeColumnsToContents();
    notes->setText(s.notes.join(u'\n'));
    notes->setVisible(!s.notes.isEmpty());
}

} // namespace

TFRendiconto::TFRendiconto(const app::DialogContext& context)
    : QDialog(context.window), context_(context), pdf_(this)
{
    setObjectName(QStringLiteral("FormRendiconto"));
    setWindowTitle(QStringLiteral("Rendiconto"));
    resize(1100, 720);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    layout->addLayout(top);
    auto* yearLabel = new QLabel(QStringLiteral("Esercizio"), this);
    year_ = new QComboBox(this);
    year_->setObjectName(QStringLiteral("ComboEsercizio"));
    year_->setMinimumWidth(140);
    yearLabel->setBuddy(year_);
    year_->setAccessibleName(yearLabel->text());
    closing_ = new QLabel(this);
    closing_->setObjectName(QStringLiteral("LabelChiusura"));
    closing_->setWordWrap(true);
    closing_->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; padding: 4px; }"));
    top->addWidget(yearLabel);
    top->addWidget(year_);
    top->addWidget(closing_, 1);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageRendiconto"));
    // The sections of an empty rendiconto name the pages: the same ones whatever the year.
    for (const RendicontoSection& s : rendicontoSections(Rendiconto{}, PendingMatters{})) {
        auto* page = new QWidget(pages_);
        auto* pageLayout = new QVBoxLayout(page);
        QTableWidget* g = sectionGrid(s, page);
        pageLayout->addWidget(g, 1);
        auto* notes = new QLabel(page);
        notes->setObjectName(QStringLiteral("LabelNote") + s.key);
        notes->setWordWrap(true);
        notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
        notes->hide();
        pageLayout->addWidget(notes);
        pages_->addTab(page, s.sheet.name);
        grids_ << g;
        notes_ << notes;
    }
    layout->addWidget(pages_, 1);

    auto* bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    print_ = button("BStampa", QStringLiteral("Stampa"));
    export_ = button("BEsporta", QStringLiteral("Esporta"));
    statements_ = button("BEstrattoConguaglio", QStringLiteral("Estratto conguaglio"));
    statements_->setToolTip(QStringLiteral("Un estratto per ogni proprietario scelto nella situazione per unità "
                                           "(per tutti quando nessuno è scelto)"));
    auto* dueLabel = new QLabel(QStringLiteral("Scadenza conguagli"), this);
    due_ = new app::DateField(this);
    due_->setObjectName(QStringLiteral("EditScadenzaConguagli"));
    due_->setMaximumWidth(130);
    dueLabel->setBuddy(due_);
    due_->setAccessibleName(QStringLiteral("Scadenza delle quote di conguaglio"));
    closeYear_ = button("BChiudiEsercizio", QStringLiteral("Chiudi esercizio"));
    reopenYear_ = button("BRiapriEsercizio", QStringLiteral("Riapri esercizio"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LabelStatoRendiconto"));
    status_->setWordWrap(true);
    QPushButton* quit = button("BChiudi", QStringLiteral("Chiudi"));
    for (QWidget* w : std::initializer_list<QWidget*>{print_, export_, statements_, dueLabel, due_, closeYear_, reopenYear_})
        bottom->addWidget(w);
    bottom->addWidget(status_, 1);
    bottom->addWidget(quit);

    connect(year_, &QComboBox::activated, this, [this] {
        status_->clear();
        refresh();
    });
    connect(print_, &QPushButton::clicked, this, [this] { print(); });
    connect(export_, &QPushButton::clicked, this, [this] { exportWorkbook(); });
    connect(statements_, &QPushButton::clicked, this, [this] { conguaglioStatements(); });
    connect(closeYear_, &QPushButton::clicked, this, [this] { closeChosenYear(); });
    connect(reopenYear_, &QPushButton::clicked, this, [this] { reopenChosenYear(); });
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);
    connect(&pdf_, &platform::PdfConverter::finished, this, [this](const QStringList& pdfs, const QString& error) {
        if (!error.isEmpty())
            status_->setText(error);
        else if (pdfs.size() == 1)
            status_->setText(QStringLiteral("Copia PDF creata: %1").arg(pdfs.value(0)));
        else
            status_->setText(QStringLiteral("Copie PDF create: %1").arg(pdfs.size()));
    });
}

QPushButton* TFRendiconto::button(const char* name, const QString& text)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void TFRendiconto::start()
{
    app::Workspace& ws = *context_.workspace;
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(context_.window, kChooseCondominium);
        return;
    }
    int chosen = -1;
    try {
        years_ = condominiumYears(ws.mainDb(), ws.selection.condominium);
        chosen = preferredYear(ws, years_);
    } catch (const store::StoreError& e) {
        app::showFailure(context_.window, e.message());
        return;
    }
    if (years_.isEmpty()) {
        app::showInformation(context_.window, app::kRequireYearMessage);
        return;
    }
    {
        const QSignalBlocker quiet(year_);
        year_->clear();
        for (const AccountingYear& y : years_)
            year_->addItem(y.name, y.id);
        year_->setCurrentIndex(chosen);
    }
    setWindowTitle(QStringLiteral("Rendiconto - %1").arg(ws.selection.condominium));
    status_->clear();
    due_->clear();
    refresh();
    if (app::EditDialog::blocking())
        exec();
    else
        open();
}

std::optional<AccountingYear> TFRendiconto::chosenYear() const
{
    const int i = year_->currentIndex();
    if (i < 0 || i >= years_.size())
        return std::nullopt;
    return years_[i];
}

void TFRendiconto::refresh()
{
    const std::optional<AccountingYear> year = chosenYear();
    shown_.reset();
    pending_ = {};
    std::optional<ClosingRecord> closing;
    QString nextName;
    if (year) {
        try {
            const Hourglass wait;
            store::Database& db = context_.workspace->mainDb();
            shown_ = computeRendiconto(db, *year);
            pending_ = readPendingMatters(db, *year);
            closing = closingOf(db, *year);
            if (closing)
                nextName = db.scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE id = ?"),
                                     {closing->nextYearId})
                               .toString();
        } catch (const store::StoreError& e) {
            shown_.reset();
            closing.reset();
            app::showFailure(this, e.message());
        }
    }
    const Rendiconto nothing;
    const QVector<RendicontoSection> sections = rendicontoSections(shown_ ? *shown_ : nothing, pending_);
    for (int i = 0; i < sections.size() && i < grids_.size(); ++i)
        showSection(grids_[i], notes_[i], sections[i]);

    if (!shown_)
        closing_->clear();
    else if (closing)
        closing_->setText(QStringLiteral("Esercizio %1 chiuso il %2: conguagli (scadenza %3) e saldi riportati "
                                         "nell'anno %4")
                              .arg(year->name, closing->day.toString(app::kDateFormat),
                                   closing->due.toString(app::kDateFormat), nextName));
    else
        closing_->setText(QStringLiteral("Esercizio %1 non ancora chiuso").arg(year->name));
    print_->setEnabled(shown_.has_value());
    export_->setEnabled(shown_.has_value());
    statements_->setEnabled(shown_.has_value());
    closeYear_->setEnabled(shown_.has_value() && !closing);
    reopenYear_->setEnabled(shown_.has_value() && closing.has_value());
}

bool TFRendiconto::attempt(const std::function<app::Outcome()>& action)
{
    return app::runAndShow(this, action);
}

void TFRendiconto::changed()
{
    if (context_.changed)
        context_.changed(app::Change{});
    refresh();
}

void TFRendiconto::print()
{
    if (!shown_)
        return;
    RendicontoFile file;
    try {
        const Hourglass wait;
        file = produceRendiconto(*context_.workspace, report_, *shown_, pending_, QDate::currentDate());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    for (const app::Message& m : file.outcome.messages)
        app::showMessage(this, m);
    if (file.written.isEmpty())
        return;
    const QString name = QFileInfo(file.written).fileName();
    if (pdf_.convert({file.written}, QFileInfo(file.written).absolutePath()))
        status_->setText(QStringLiteral("Documento scritto: %1; creazione della copia PDF in corso...").arg(name));
    else
        status_->setText(QStringLiteral("Documento scritto: %1 (LibreOffice non è installato: nessuna copia PDF)").arg(name));
}

void TFRendiconto::exportWorkbook()
{
    if (!shown_)
        return;
    RendicontoFile file;
    try {
        const Hourglass wait;
        file = exportRendiconto(*context_.workspace, *shown_, pending_, QDate::currentDate());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    for (const app::Message& m : file.outcome.messages)
        app::showMessage(this, m);
    if (!file.written.isEmpty())
        status_->setText(QStringLiteral("Cartella di lavoro scritta: %1").arg(QFileInfo(file.written).fileName()));
}

// Sending them by e-mail stays with the e-mail window (publishing/ui/TFormEmail), which attaches them like any file.
void TFRendiconto::conguaglioStatements()
{
    const std::optional<AccountingYear> year = chosenYear();
    if (!shown_ || !year)
        return;
    const QVector<OwnerConguaglio> all = ownerConguagli(shown_->units);
    if (all.isEmpty()) {
        app::showInformation(this, QStringLiteral("Nessun locale del condominio ha un proprietario"));
        return;
    }
    // The owners of the rows chosen in "Situazione per unità"; its total row names nobody.
    QVector<qint64> owners;
    for (QTableWidget* g : std::as_const(grids_)) {
        if (g->objectName() != QStringLiteral("GridSituazione"))
            continue;
        QSet<int> rows;
        for (const QTableWidgetItem* item : g->selectedItems())
            rows.insert(item->row());
        for (int r : std::as_const(rows))
            if (r < shown_->units.lines.size() && shown_->units.lines[r].ownerId != 0 &&
                !owners.contains(shown_->units.lines[r].ownerId))
                owners << shown_->units.lines[r].ownerId;
    }
    if (owners.isEmpty()) {
        const QString question =
            all.size() == 1
                ? QStringLiteral("Nessun condomino scelto nella situazione per unità.\n\nScrivere l'estratto conguaglio "
                                 "dell'esercizio %1 per l'unico proprietario?")
                      .arg(year->name)
                : QStringLiteral("Nessun condomino scelto nella situazione per unità.\n\nScrivere l'estratto conguaglio "
                                 "dell'esercizio %1 per tutti i %2 proprietari?")
                      .arg(year->name)
                      .arg(all.size());
        if (app::ConfirmWithCaptions(question, app::DialogKind::Confirmation, {QStringLiteral("Si"), QStringLiteral("No")},
                                     this) != 1)
            return;
    }
    documents::DocumentBatch run;
    try {
        const Hourglass wait;
        run = produceConguagli(*context_.workspace, report_, *year, shown_->units, owners, QDate::currentDate());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    for (const app::Message& m : run.outcome.messages)
        app::showMessage(this, m);
    if (run.written.isEmpty())
        return;
    const QString written = run.written.size() == 1
                                ? QStringLiteral("Estratto conguaglio scritto: %1").arg(QFileInfo(run.written.first()).fileName())
                                : QStringLiteral("Estratti conguaglio scritti: %1").arg(run.written.size());
    if (pdf_.convert(run.written, QFileInfo(run.written.first()).absolutePath()))
        status_->setText(written + QStringLiteral("; creazione delle copie PDF in corso..."));
    else
        status_->setText(written + QStringLiteral(" (LibreOffice non è installato: nessuna copia PDF)"));
}

void TFRendiconto::closeChosenYear()
{
    const std::optional<AccountingYear> year = chosenYear();
    if (!year)
        return;
    app::Workspace& ws = *context_.workspace;
    const QString typed = due_->text().trimmed();
    std::optional<QDate> due;
    if (!typed.isEmpty()) {
        due = app::dateFromTyped(typed);
        if (!due) {
            app::showWarning(this, app::notADateMessage(typed));
            return;
        }
    }
    // Asked only when the closing can go ahead: a refusal of the core needs no question before it.
    std::optional<AccountingYear> next;
    bool closed = false;
    try {
        next = nextYear(ws.mainDb(), *year);
        closed = closingOf(ws.mainDb(), *year).has_value();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    if (next && !closed && due) {
        const QString question =
            QStringLiteral("Chiudere l'esercizio %1?\n\nNell'anno %2 saranno scritti il conguaglio di ogni locale, come "
                           "quota \"%3\" con scadenza %4, e i saldi di cassa e di banca come importi iniziali.")
                .arg(year->name, next->name, conguaglioQuotaName(year->name), due->toString(app::kDateFormat));
        if (app::ConfirmWithCaptions(question, app::DialogKind::Confirmation, {QStringLiteral("Si"), QStringLiteral("No")},
                                     this) != 1)
            return;
    }
    const ClosingInput input{ws.selection.condominium, year->name, due.value_or(QDate())};
    if (attempt([&] { return closeYear(ws, input); })) {
        status_->setText(QStringLiteral("Esercizio %1 chiuso").arg(year->name));
        changed();
    }
}

void TFRendiconto::reopenChosenYear()
{
    const std::optional<AccountingYear> year = chosenYear();
    if (!year)
        return;
    app::Workspace& ws = *context_.workspace;
    std::optional<ClosingRecord> closing;
    QString nextName;
    try {
        closing = closingOf(ws.mainDb(), *year);
        if (closing)
            nextName = ws.mainDb()
                           .scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE id = ?"), {closing->nextYearId})
                           .toString();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    if (closing) {
        const QString question =
            QStringLiteral("Riaprire l'esercizio %1?\n\nDall'anno %2 saranno eliminati le quote \"%3\" e gli importi "
                           "iniziali scritti dalla chiusura.")
                .arg(year->name, nextName, conguaglioQuotaName(year->name));
        if (app::ConfirmWithCaptions(question, app::DialogKind::Confirmation, {QStringLiteral("Si"), QStringLiteral("No")},
                                     this) != 1)
            return;
    }
    const YearChoice input{ws.selection.condominium, year->name};
    if (attempt([&] { return reopenYear(ws, input); })) {
        status_->setText(QStringLiteral("Esercizio %1 riaperto").arg(year->name));
        changed();
    }
}

} // namespace velcaris::accounts::ui
