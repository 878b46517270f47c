#include "app/ui/TForm1.h"

#include "app/ColourText.h"
#include "app/GridLayout.h"
#include "app/Selection.h"
#include "app/ui/DatasetModel.h"
#include "app/ui/GridFooter.h"
#include "app/ui/Messages.h"
#include "cashbook/Balances.h"
#include "documents/ReportError.h"
#include "store/FilterText.h"
#include "store/Money.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

// The condominium list keeps its names in alphabetical order without regard to letter case.
class CondominiumItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        const int c = QString::compare(text(), other.text(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text() < other.text();
    }
};

// Wait cursor for the time of one operation, restored also when it fails.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString formatted(double value, const QString& format)
{
    return format == QLatin1String("0.000") ? store::formatThousandths(value) : store::formatAmount(value);
}

} // namespace

template <typename T>
T TForm1::own(const QString& name) const
{
    for (QObject* child : children()) {
        if (qobject_cast<QDialog*>(child))
            continue;
        if (child->objectName() == name)
            if (T found = qobject_cast<T>(child))
                return found;
        if (T found = child->findChild<T>(name))
            return found;
    }
    return nullptr;
}

void TForm1::setShowErrors(bool show)
{
    setQuietMessages(!show);
}

TForm1::TForm1(AppPaths paths, const std::function<void()>& progress, QWidget* parent)
    : QMainWindow(parent), workspace_(std::make_unique<Workspace>(std::move(paths)))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kBaseCaption);
    store::useDotDecimalSeparator();

    // Top toolbar.
    auto* toolBar1 = new QToolBar(this);
    toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, toolBar1);
    const std::pair<const char*, const char*> buttons[] = {
        {"Baggiungi", "Aggiungi"}, {"BElimina", "Elimina"}, {"BModifica", "Modifica"},
        {"BCassa", "Cassa"}, {"BitBtn2", "Conto Corrente"}, {"BitBtnRicerca", "Ricerca"},
        {"BitBtnFAQ", "FAQ"}, {"BExport", "Esporta"}, {"ButtonPubblica", "Pubblica"}};
    for (const auto& [name, text] : buttons) {
        QPushButton* b = makeButton(QString::fromLatin1(name), QString::fromUtf8(text), toolBar1);
        b->setMinimumSize(86, 40);
        toolBar1->addWidget(b);
    }

    // Totals bar.
    addToolBarBreak();
    auto* toolBar2 = new QToolBar(this);
    toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    toolBar2->setMovable(false);
    addToolBar(Qt::TopToolBarArea, toolBar2);
    makeFigure(QStringLiteral("EditTOTC"), QStringLiteral("Cassa"), toolBar2, toolBar2, true);
    makeFigure(QStringLiteral("EditTOTCC"), QStringLiteral("Conto corrente"), toolBar2, toolBar2, true);
    makeFigure(QStringLiteral("EditTOT"), QStringLiteral("Totale"), toolBar2, toolBar2, true);

    // Tabs on the left, the condominium list on the right behind a splitter.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    pageControl_ = new QTabWidget(splitter);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    listBox_ = new QListWidget(splitter);
    listBox_->setObjectName(QStringLiteral("ListBox1"));
    listBox_->setAccessibleName(QStringLiteral("Condomini"));
    listBox_->setSortingEnabled(true);
    listBox_->setMinimumWidth(120);
    listBox_->viewport()->installEventFilter(this);
    listBox_->installEventFilter(this);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({1000, 200});
    setCentralWidget(splitter);

    const std::pair<const char*, QWidget* (TForm1::*)()> tabs[] = {
        {"Agenda", &TForm1::buildAgendaTab},         {"Interventi", &TForm1::buildInterventiTab},
        {"Condomini", &TForm1::buildCondominiTab},   {"Memo", &TForm1::buildMemoTab},
        {"Preventivo", &TForm1::buildPreventivoTab}, {"Entrate", &TForm1::buildEntrateTab},
        {"Uscite", &TForm1::buildUsciteTab},         {"Fornitori", &TForm1::buildFornitoriTab},
        {"Anagrafe", &TForm1::buildAnagrafeTab},     {"Locali", &TForm1::buildLocaliTab},
        {"Quote", &TForm1::buildQuoteTab},           {"Stampe", &TForm1::buildStampeTab}};
    for (const auto& [title, build] : tabs) {
        QWidget* page = (this->*build)();
        page->setObjectName(QStringLiteral("Tab") + QString::fromLatin1(title));
        pageControl_->addTab(page, QString::fromLatin1(title));
        for (DatasetModel* model : tabModels_.value(page))
            model->setParent(page);
    }
    buildBankPanel();
    connectCommands();

    // The data store, in the fixed start-up order.
    startUpError_ = workspace_->startUp(progress);
    if (!startUpError_.isEmpty())
        showError(startUpError_);
    // The general memo is shown as soon as its table is open, even when a later step failed.
    auto& memo = workspace_->ds(QStringLiteral("ADOTableMemo"));
    if (memo.isActive()) {
        runGuarded([&] {
            const QString general = memo.isEmpty() ? QString() : memo.value(QStringLiteral("Memo")).toString();
            own<QPlainTextEdit*>(QStringLiteral("DBMemo1"))->setPlainText(general);
            setMemoHighlighted(!general.isEmpty());
        });
    }
    if (startUpError_.isEmpty()) {
        fillCondominiumList();
        if (progress)
            progress();
    }

    // The Agenda tab opens first, without loading; the other tabs read their registers when shown.
    pageControl_->setCurrentIndex(0);
    makeGridsLive(0);
    connect(pageControl_, &QTabWidget::currentChanged, this, [this](int index) {
        makeGridsLive(index);
        loadActiveTab();
    });
    if (startUpError_.isEmpty()) {
        applyGridLayouts();
        showBalances();
        if (progress)
            progress();
    }
}

TForm1::~TForm1()
{
    // The models refer to the workspace's datasets: drop the widgets first.
    delete takeCentralWidget();
}

void TForm1::showMessage(const QString& text)
{
    lastMessage_ = text;
    showInformation(this, text);
}

void TForm1::showError(const QString& text)
{
    lastMessage_ = text;
    showFailure(this, text);
}

void TForm1::runGuarded(const std::function<void()>& work)
{
    try {
        work();
    } catch (const store::StoreError& e) {
        showError(e.message());
    } catch (const documents::ReportError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        // Nothing may escape into the event loop: the general error display shows the text.
        showError(QString::fromUtf8(e.what()));
    }
}

QPushButton* TForm1::makeButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QLineEdit* TForm1::makeFigure(const QString& name, const QString& label, QWidget* parent, QToolBar* bar, bool bold,
                              const QColor* colour)
{
    auto* l = new QLabel(label + QStringLiteral(" "), parent);
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(110);
    e->setText(QStringLiteral("0.00"));
    e->setAccessibleName(label);
    l->setBuddy(e);
    QFont f = e->font();
    f.setBold(bold);
    e->setFont(f);
    if (colour) {
        QPalette pal = e->palette();
        pal.setColor(QPalette::Text, *colour);
        e->setPalette(pal);
    }
    bar->addWidget(l);
    bar->addWidget(e);
    bar->addSeparator();
    return e;
}

QTableView* TForm1::makeGrid(const QString& name, const QString& dataset, QWidget* page, bool footer)
{
    auto* grid = new QTableView(page);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->verticalHeader()->setDefaultSectionSize(22);
    store::Dataset* ds = &workspace_->ds(dataset);
    auto* model = new DatasetModel(ds, grid);
    grid->setModel(model);
    tabModels_[page].append(model);
    // The current row of the grid is the current row of its dataset. Moving posts a pending
    // edit, which can fail: the failure is shown like any other of the data store.
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, ds](const QModelIndex& current) {
        runGuarded([&] {
            if (current.isValid() && ds->isActive() && current.row() != ds->recNo())
                ds->moveTo(current.row());
        });
    });
    // A click on a column title sorts by it; with Ctrl held the column joins the sort.
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, grid, ds](int section) {
        if (grid->property("sortable").isValid() && !grid->property("sortable").toBool())
            return;
        const QStringList fields = ds->fieldNames();
        if (section < 0 || section >= fields.size())
            return;
        const bool combine = QApplication::keyboardModifiers() & Qt::ControlModifier;
        runGuarded([&] { ds->setSort(sortAfterTitleClick(ds->sort(), fields[section], combine)); });
    });
    if (footer) {
        auto* bar = new GridFooter(grid, page);
        footers_.insert(name, bar);
    }
    grid->installEventFilter(this);
    return grid;
}

void TForm1::findInGrid(QTableView* grid)
{
    bool ok = false;
    const QString wanted = QInputDialog::getText(this, QStringLiteral("Trova"), QStringLiteral("Testo da cercare:"),
                                                 QLineEdit::Normal, lastFind_, &ok);
    if (!ok || wanted.isEmpty())
        return;
    lastFind_ = wanted;
    QAbstractItemModel* model = grid->model();
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    const int start = grid->currentIndex().isValid() ? grid->currentIndex().row() + 1 : 0;
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        for (int column = 0; column < columns; ++column) {
            if (grid->isColumnHidden(column))
                continue;
            if (model->index(row, column).data().toString().contains(wanted, Qt::CaseInsensitive)) {
                grid->setCurrentIndex(model->index(row, column));
                grid->scrollTo(model->index(row, column));
                return;
            }
        }
    }
    showMessage(QStringLiteral("Testo non trovato: ") + wanted);
}

void TForm1::makeGridsLive(int tabIndex)
{
    QWidget* page = pageControl_->widget(tabIndex);
    for (DatasetModel* model : tabModels_.value(page))
        model->setLive(true);
}

void TForm1::setMemoHighlighted(bool on)
{
    memoHighlighted_ = on;
    const int index = pageControl_->indexOf(own<QWidget*>(QStringLiteral("TabMemo")));
    if (index >= 0)
        pageControl_->tabBar()->setTabTextColor(index, on ? QColor(200, 0, 0) : QColor());
}

Tab TForm1::activeTab() const
{
    return static_cast<Tab>(std::max(pageControl_->currentIndex(), 0));
}

TabToggles TForm1::toggles() const
{
    auto down = [this](const char* name) {
        auto* b = own<QPushButton*>(QString::fromLatin1(name));
        return b && b->isChecked();
    };
    TabToggles t;
    t.esitoPositivo = down("ButtonPositivo");
    t.conclusi = down("ButtonConclusi");
    t.proprietario = down("BProprietario");
    t.inquilino = down("BInquilino");
    t.pagare = down("Bpagare");
    t.pagato = down("Bpagato");
    return t;
}

void TForm1::fillCondominiumList()
{
    listBox_->clear();
    runGuarded([&] {
        for (const QString& name : workspace_->condominiumNames())
            listBox_->addItem(new CondominiumItem(name));
    });
    listBox_->clearSelection();
    listBox_->setCurrentRow(-1);
}

void TForm1::selectCondominium(const QString& name)
{
    const auto items = listBox_->findItems(name, Qt::MatchExactly);
    if (name.isEmpty() || items.isEmpty()) {
        listReleased(Qt::RightButton);
        return;
    }
    listBox_->setCurrentItem(items.first());
    items.first()->setSelected(true);
    listReleased(Qt::LeftButton);
}

void TForm1::registerDialog(DialogId id, std::function<void()> open)
{
    dialogs_.insert(id, std::move(open));
}

// ---- refreshes ----

void TForm1::loadActiveTab()
{
    if (!startUpError_.isEmpty() || loading_)
        return;
    // Cleared however the loading ends, so that a failure does not stop every later reload.
    struct Loading {
        bool& flag;
        explicit Loading(bool& f) : flag(f) { flag = true; }
        ~Loading() { flag = false; }
    } loading(loading_);
    WaitCursor wait;
    runGuarded([&] {
        auto* preventivi = own<QTableView*>(QStringLiteral("DBGridPreventivi"));
        const bool preventivo = activeTab() == Tab::Preventivo;
        if (preventivo)
            preventivi->setUpdatesEnabled(false); // redrawn once, after the filter and sort
        const TabView view = LoadActiveTab(*workspace_, activeTab(), toggles());
        if (activeTab() == Tab::Anagrafe || activeTab() == Tab::Stampe)
            own<QTableView*>(QStringLiteral("DBGridAnagrafe"))->clearSelection();
        applyTabView(view);
        applyGridLayouts();
    });
    // Drawn again also when the loading failed half-way.
    own<QTableView*>(QStringLiteral("DBGridPreventivi"))->setUpdatesEnabled(true);
}

void TForm1::applyTabView(const TabView& view)
{
    for (auto it = view.labels.cbegin(); it != view.labels.cend(); ++it)
        if (auto* label = own<QLabel*>(it.key()))
            label->setText(it.value());
    for (auto it = view.enabled.cbegin(); it != view.enabled.cend(); ++it)
        if (auto* widget = own<QWidget*>(it.key()))
            widget->setEnabled(it.value());
    if (view.approvato)
        own<QCheckBox*>(QStringLiteral("CheckApprovato"))->setChecked(*view.approvato);
    if (activeTab() == Tab::Condomini) {
        auto* combo = own<QComboBox*>(QStringLiteral("ComboAA"));
        const QSignalBlocker block(combo);
        combo->clear();
        if (view.yearBound) {
            for (const auto& [id, name] : view.years)
                combo->addItem(name, id);
            combo->setCurrentIndex(combo->findData(view.currentYearId));
        }
    }
    // The recipient lists of the Stampe tab: one unchecked entry per person or supplier, its id kept with it.
    const std::pair<const char*, const std::optional<QVector<QPair<QString, QString>>>*> recipients[] = {
        {"lista", &view.personEntries}, {"ListaFornitori", &view.supplierEntries}};
    for (const auto& [name, entries] : recipients) {
        if (!*entries)
            continue;
        auto* list = own<QListWidget*>(QString::fromLatin1(name));
        list->clear();
        for (const auto& [text, id] : **entries) {
            auto* item = new QListWidgetItem(text, list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            item->setData(Qt::UserRole, id);
        }
    }
    if (view.showCondominiumMemo) {
        own<QPlainTextEdit*>(QStringLiteral("Memo1"))->setVisible(*view.showCondominiumMemo);
        own<QPlainTextEdit*>(QStringLiteral("DBMemo1"))->setVisible(!*view.showCondominiumMemo);
    }
    // Footers of the active tab's grids are rewritten from scratch.
    QHash<QString, QHash<int, QString>> texts;
    for (const FooterSum& f : view.footers) {
        auto* grid = own<QTableView*>(f.grid);
        auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
        if (!model)
            continue;
        const int column = model->dataset()->fieldIndex(f.field);
        if (column >= 0)
            texts[f.grid].insert(column, formatted(f.sum, f.format));
    }
    QWidget* page = pageControl_->currentWidget();
    for (auto it = footers_.cbegin(); it != footers_.cend(); ++it)
        if (page->isAncestorOf(it.value()))
            it.value()->setTexts(texts.value(it.key()));
}

void TForm1::applyGridLayouts()
{
    const bool completa = workspace_->ds(QStringLiteral("ADOQueryFornitori")).tableName() ==
                          QLatin1String("QueryFornitoriCompleta");
    for (const GridLayout& layout : gridLayouts(activeTab(), toggles(), completa)) {
        auto* grid = own<QTableView*>(layout.grid);
        auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
        if (!model || !model->dataset()->isActive())
            continue;
        grid->setProperty("sortable", layout.sortable);
        grid->horizontalHeader()->setSectionsMovable(layout.movableColumns);
        grid->verticalHeader()->setVisible(layout.rowIndicator);
        model->clearColumnTitles();
        const QVector<ColumnView> columns = resolveColumns(layout, model->dataset()->fieldNames());
        for (int i = 0; i < columns.size(); ++i) {
            const ColumnView& c = columns[i];
            model->setColumnTitle(c.field, c.title);
            grid->setColumnHidden(i, c.hidden);
            if (!c.hidden)
                grid->setColumnWidth(i, c.width > 0 ? c.width : grid->horizontalHeader()->defaultSectionSize());
        }
    }
}

void TForm1::showBalances()
{
    runGuarded([&] {
        const cashbook::Balances b = cashbook::RicalcolaSaldi(*workspace_);
        const std::pair<const char*, QString> figures[] = {
            {"EditEntrateC", b.textEntrateC()}, {"EditEntrateCC", b.textEntrateCC()},
            {"EditEntrateTOT", b.textEntrateTOT()}, {"EditUsciteC", b.textUsciteC()},
            {"EditUsciteCC", b.textUsciteCC()}, {"EditUsciteTOT", b.textUsciteTOT()},
            {"EditTOTC", b.textTOTC()}, {"EditTOTCC", b.textTOTCC()}, {"EditTOT", b.textTOT()}};
        for (const auto& [name, text] : figures)
            own<QLineEdit*>(QString::fromLatin1(name))->setText(text);
    });
}

// ---- events ----

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (auto* grid = qobject_cast<QTableView*>(watched)) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Find)) {
                findInGrid(grid);
                return true;
            }
            const QString name = grid->objectName();
            const bool enterMoves = name == QLatin1String("DBGridScadenzario") || name == QLatin1String("DBGridEntrate") ||
                                    name == QLatin1String("DBGridUscite");
            if (enterMoves && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                const QModelIndex current = grid->currentIndex();
                int column = current.column() + 1;
                while (column < grid->model()->columnCount() && grid->isColumnHidden(column))
                    ++column;
                if (current.isValid() && column < grid->model()->columnCount())
                    grid->setCurrentIndex(grid->model()->index(current.row(), column));
                return true;
            }
        }
    }
    if (watched == listBox_->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        // Only the left button chooses an item: another button must not move the list's selection
        // away from the current condominium (the right button's release clears it).
        return true;
    }
    if (watched == listBox_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        listReleased(static_cast<QMouseEvent*>(event)->button());
        return false;
    }
    if (watched == listBox_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down)
            listReleased(Qt::LeftButton);
        return false;
    }
    if (event->type() == QEvent::KeyRelease) {
        if (auto* editor = qobject_cast<QPlainTextEdit*>(watched)) {
            memoKeyReleased(editor);
            return false;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        // Releasing the right button over the persons' or suppliers' grid clears its selection.
        for (const char* name : {"DBGridAnagrafe", "DBGridFornitori"}) {
            auto* grid = own<QTableView*>(QString::fromLatin1(name));
            if (grid && watched == grid->viewport()) {
                grid->clearSelection();
                return true;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* bank = own<QPushButton*>(QStringLiteral("BitBtn2"));
        if (watched == bank) {
            const QPoint at = bank->mapTo(this, QPoint(0, 90));
            panelCC_->move(at);
            popupCC_->popup(bank->mapToGlobal(QPoint(0, 90)));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::listReleased(Qt::MouseButton button)
{
    Workspace& ws = *workspace_;
    runGuarded([&] {
        auto* memo1 = own<QPlainTextEdit*>(QStringLiteral("Memo1"));
        auto* dbMemo = own<QPlainTextEdit*>(QStringLiteral("DBMemo1"));
        auto* combo = own<QComboBox*>(QStringLiteral("ComboAA"));
        QListWidgetItem* item = listBox_->currentItem();
        const bool chosen = button == Qt::LeftButton && item && item->isSelected();
        std::optional<SelectionView> view;
        if (button == Qt::RightButton) {
            view = clearCondominium(ws, dbMemo->toPlainText());
            listBox_->clearSelection();
            listBox_->setCurrentRow(-1);
            combo->setEnabled(false);
            setMemoHighlighted(view->memoHighlighted);
            setWindowTitle(view->caption);
        } else if (chosen) {
            view = chooseCondominium(ws, item->text());
            SplitCondominiumName(ws.selection, ws.selection.condominium);
            combo->setEnabled(true);
            {
                const QSignalBlocker block(memo1);
                memo1->setPlainText(view->condominiumMemo);
            }
            setMemoHighlighted(view->memoHighlighted);
        } else {
            switchOffSelectionFilters(ws);
        }
        loadActiveTab();
        if (chosen) {
            setWindowTitle(view->caption);
            if (view->yearId) {
                const int index = combo->findData(*view->yearId);
                if (index >= 0)
                    combo->setCurrentIndex(index);
            }
        }
        showBalances();
    });
}

void TForm1::yearChosen(int index)
{
    auto* combo = own<QComboBox*>(QStringLiteral("ComboAA"));
    if (index < 0 || workspace_->selection.condominium.isEmpty())
        return;
    WaitCursor wait;
    runGuarded([&] {
        const QString title = changeYear(*workspace_, combo->itemText(index));
        showBalances();
        loadActiveTab();
        setWindowTitle(title);
    });
}

void TForm1::memoKeyReleased(QPlainTextEdit* editor)
{
    runGuarded([&] {
        if (editor->objectName() == QLatin1String("Memo1") && !workspace_->selection.condominium.isEmpty())
            setMemoHighlighted(storeCondominiumMemo(*workspace_, editor->toPlainText()));
        else if (editor->objectName() == QLatin1String("DBMemo1"))
            setMemoHighlighted(storeGeneralMemo(*workspace_, editor->toPlainText()));
    });
}

void TForm1::exclusiveToggle(QPushButton* pressed, QPushButton* other)
{
    if (pressed->isChecked())
        other->setChecked(false);
    loadActiveTab();
}

void TForm1::openCommand(const Command& command)
{
    workspace_->editMode = command.mode;
    lastDialog_ = DialogId::None;
    if (command.yearMissing) {
        showMessage(kRequireYearMessage);
        return;
    }
    if (command.dialog == DialogId::None)
        return;
    if (command.prepareQuotas) {
        auto* single = own<QTableView*>(QStringLiteral("DBGridQuoteSingole"));
        runGuarded([&] { prepareQuotaAllocation(*workspace_, single->isVisible()); });
    }
    // A dialog that is not part of the program yet opens nothing.
    const auto open = dialogs_.value(command.dialog);
    if (!open)
        return;
    lastDialog_ = command.dialog;
    open();
}

void TForm1::placeOnlyMethod(const QString& place)
{
    runGuarded([&] {
        const QString& condominium = workspace_->selection.condominium;
        const QString prefix = condominium.isEmpty()
                                   ? QString()
                                   : QStringLiteral("Condominio = ") + store::quoteFilterValue(condominium) +
                                         QStringLiteral(" AND ");
        workspace_->ds(QStringLiteral("ADOQueryUscite"))
            .setFilter(prefix + QStringLiteral("Pagamento = ") + store::quoteFilterValue(place));
        workspace_->ds(QStringLiteral("ADOQueryEntrate"))
            .setFilter(prefix + QStringLiteral("MetodoPagamento = ") + store::quoteFilterValue(place));
    });
    showBalances();
}

void TForm1::showBankSummary(bool onlyNegative)
{
    panelCC_->resize(panelCC_->width(), 450);
    memoCC_->clear();
    runGuarded([&] {
        QStringList names;
        for (int i = 0; i < listBox_->count(); ++i)
            names << listBox_->item(i)->text();
        memoCC_->setPlainText(cashbook::bankSummary(*workspace_, names, onlyNegative).join(u'\n'));
    });
    memoCC_->setTabStopDistance(memoCC_->fontMetrics().averageCharWidth() * 50); // 200 dialog units
    panelCC_->show();
    panelCC_->raise();
}

void TForm1::connectCommands()
{
    auto button = [this](const char* name) { return own<QPushButton*>(QString::fromLatin1(name)); };
    connect(button("Baggiungi"), &QPushButton::clicked, this, [this] {
        auto* suppliers = own<QTableView*>(QStringLiteral("DBGridFornitori"));
        CommandContext context;
        context.tab = activeTab();
        context.condominiumChosen = !workspace_->selection.condominium.isEmpty();
        context.suppliersSelected = suppliers->selectionModel()->hasSelection();
        context.requireYear = [this] { return RequireYear(*workspace_); };
        runGuarded([&] { openCommand(addCommand(context)); });
    });
    connect(button("BModifica"), &QPushButton::clicked, this,
            [this] { runGuarded([&] { openCommand(modifyCommand(activeTab())); }); });
    const std::pair<const char*, SmallButton> small[] = {{"TBAggiungi", SmallButton::TBAggiungi},
                                                         {"TBmodifica", SmallButton::TBmodifica},
                                                         {"AAaggiungi", SmallButton::AAaggiungi},
                                                         {"AAmodifica", SmallButton::AAmodifica}};
    for (const auto& [name, which] : small)
        connect(button(name), &QPushButton::clicked, this,
                [this, which = which] { runGuarded([&] { openCommand(smallButtonCommand(which)); }); });

    connect(button("BCassa"), &QPushButton::clicked, this, [this] { placeOnlyMethod(QStringLiteral("Cassa")); });
    button("BitBtn2")->installEventFilter(this);

    connect(own<QComboBox*>(QStringLiteral("ComboAA")), &QComboBox::activated, this, &TForm1::yearChosen);
    for (const char* name : {"Memo1", "DBMemo1"})
        own<QPlainTextEdit*>(QString::fromLatin1(name))->installEventFilter(this);

    auto* owner = button("BProprietario");
    auto* tenant = button("BInquilino");
    auto* toPay = button("Bpagare");
    auto* paid = button("Bpagato");
    // Pairs of toggles of which at most one is down.
    for (const auto& [one, other] : {std::pair{owner, tenant}, std::pair{tenant, owner}, std::pair{toPay, paid},
                                     std::pair{paid, toPay}})
        connect(one, &QPushButton::clicked, this, [this, one = one, other = other] { exclusiveToggle(one, other); });
    connect(button("ButtonPositivo"), &QPushButton::clicked, this, [this] { loadActiveTab(); });
    connect(button("ButtonConclusi"), &QPushButton::clicked, this, [this] { loadActiveTab(); });

    for (const char* name : {"DBGridAnagrafe", "DBGridFornitori"})
        own<QTableView*>(QString::fromLatin1(name))->viewport()->installEventFilter(this);

    // A click in the owner or tenant column of a unit chooses whom the statement addresses.
    auto* units = own<QTableView*>(QStringLiteral("DBGridLocali"));
    connect(units, &QTableView::clicked, this, [this, units](const QModelIndex& index) {
        const QString title = units->model()->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
        if (title == QLatin1String("Proprietario"))
            workspace_->selection.statementSubject = QStringLiteral("proprietario");
        else if (title == QLatin1String("Inquilino"))
            workspace_->selection.statementSubject = QStringLiteral("inquilino");
    });
    // A double click opens the owner statement of the unit for the subject just chosen.
    connect(units, &QTableView::doubleClicked, this, [this] {
        runGuarded([&] {
            lastDialog_ = DialogId::None;
            if (const auto open = dialogs_.value(DialogId::TFSituazioneCondomino)) {
                lastDialog_ = DialogId::TFSituazioneCondomino;
                open();
            }
        });
    });

    // The grouped quota view's detail panel: a double click opens it under the current row for
    // that row's tenant, a second one closes it.
    auto* grouped = own<QTableView*>(QStringLiteral("DBGridQuoteAccorpate"));
    auto* single = own<QTableView*>(QStringLiteral("DBGridQuoteSingole"));
    connect(grouped, &QTableView::doubleClicked, this, [this, single](const QModelIndex& index) {
        if (single->isVisible()) {
            single->hide();
            return;
        }
        runGuarded([&] {
            store::Dataset& g = workspace_->ds(QStringLiteral("ADOQueryQuoteAccorpate"));
            g.moveTo(index.row());
            const QVariant tenant = g.value(QStringLiteral("IdInquilino"));
            workspace_->ds(QStringLiteral("ADOQueryQuoteSingole"))
                .setFilter(QStringLiteral("IdInquilino = %1").arg(tenant.isNull() ? -1 : tenant.toLongLong()));
        });
        single->show();
    });
}

void TForm1::buildBankPanel()
{
    popupCC_ = new QMenu(this);
    popupCC_->setObjectName(QStringLiteral("PopupMenuCC"));
    QAction* onlyBank = popupCC_->addAction(QStringLiteral("&Visualizza solo movimenti in C.C."));
    onlyBank->setObjectName(QStringLiteral("VIsualizzasolomovimentiinCC1"));
    QAction* negative = popupCC_->addAction(QStringLiteral("&Segnala C.C. negativi"));
    negative->setObjectName(QStringLiteral("SegnalaCCnegativi1"));
    QAction* all = popupCC_->addAction(QStringLiteral("&Tutti i C.C."));
    all->setObjectName(QStringLiteral("uttiiCC1"));
    connect(onlyBank, &QAction::triggered, this, [this] { placeOnlyMethod(QStringLiteral("Conto Corrente")); });
    connect(negative, &QAction::triggered, this, [this] { showBankSummary(true); });
    connect(all, &QAction::triggered, this, [this] { showBankSummary(false); });

    // A floating panel over the window (a child of the splitter would become one of its panes).
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("PanelCC"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->resize(420, 450);
    auto* layout = new QVBoxLayout(panel);
    memoCC_ = new QPlainTextEdit(panel);
    memoCC_->setObjectName(QStringLiteral("MemoCC"));
    memoCC_->setReadOnly(true);
    memoCC_->setAccessibleName(QStringLiteral("Saldi conto corrente"));
    auto* ok = makeButton(QStringLiteral("OK"), QStringLiteral("OK"), panel);
    connect(ok, &QPushButton::clicked, panel, &QWidget::hide);
    layout->addWidget(memoCC_);
    layout->addWidget(ok, 0, Qt::AlignRight);
    panel->hide();
    panelCC_ = panel;
}

// ---- tabs ----

QWidget* TForm1::buildAgendaTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    auto* positivo = makeButton(QStringLiteral("ButtonPositivo"), QStringLiteral("Mostra esito positivo"), page);
    positivo->setCheckable(true);
    bar->addWidget(positivo);
    bar->addStretch();
    layout->addLayout(bar);
    auto* grid = makeGrid(QStringLiteral("DBGridScadenzario"), QStringLiteral("ADOTableScadenzario"), page);
    grid->verticalHeader()->hide();
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildInterventiTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    auto* conclusi = makeButton(QStringLiteral("ButtonConclusi"), QStringLiteral("Mostra conclusi"), page);
    conclusi->setCheckable(true);
    bar->addWidget(conclusi);
    bar->addStretch();
    layout->addLayout(bar);
    layout->addWidget(makeGrid(QStringLiteral("DBGridInterventi"), QStringLiteral("ADOQueryInterventi"), page));
    return page;
}

QWidget* TForm1::buildCondominiTab()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);

    auto* general = new QGroupBox(QStringLiteral("Dati Generali"), page);
    general->setObjectName(QStringLiteral("GroupDatiGenerali"));
    auto* gForm = new QFormLayout(general);
    const std::pair<const char*, const char*> generalLabels[] = {
        {"LabelNome", "Nome"}, {"LabelIndirizzo", "Indirizzo"}, {"LabelComune", "Comune"},
        {"LabelCodiceFiscale", "Codice fiscale"}, {"LabelCC", "Conto corrente"},
        {"LabelIntestatario", "Intestatario C.C."}, {"LabelBanca", "Banca"}, {"LabelAscensore", "Ascensore"}};
    for (const auto& [name, text] : generalLabels) {
        auto* value = new QLabel(general);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setAccessibleName(QString::fromUtf8(text));
        gForm->addRow(caption(QString::fromUtf8(text), general), value);
    }

    auto* tables = new QGroupBox(QStringLiteral("Tabelle millesimali"), page);
    tables->setObjectName(QStringLiteral("GroupTabelle"));
    auto* tLayout = new QVBoxLayout(tables);
    auto* tButtons = new QHBoxLayout;
    for (const auto& [name, text] : {std::pair{"TBAggiungi", "+"}, std::pair{"TBElimina", "-"}, std::pair{"TBmodifica", "..."}}) {
        auto* b = makeButton(QString::fromLatin1(name), QString::fromLatin1(text), tables);
        b->setFixedWidth(32);
        b->setEnabled(false);
        tButtons->addWidget(b);
    }
    tButtons->addStretch();
    tLayout->addLayout(tButtons);
    auto* grid = makeGrid(QStringLiteral("DBGridTabelle"), QStringLiteral("ADOTableTabelle"), page);
    tLayout->addWidget(grid);
    // Each table's rows in its own colour, black text, once the table has a name.
    store::Dataset* tabelle = &workspace_->ds(QStringLiteral("ADOTableTabelle"));
    qobject_cast<DatasetModel*>(grid->model())->setCellBackground([tabelle](int row, int) -> std::optional<QColor> {
        if (tabelle->valueAt(row, QStringLiteral("Nome")).toString().isEmpty())
            return std::nullopt;
        const auto rgb = colourFromText(tabelle->valueAt(row, QStringLiteral("Colore")).toString());
        if (!rgb)
            return std::nullopt;
        return QColor(rgb->red, rgb->green, rgb->blue);
    });

    auto* cadastre = new QGroupBox(QStringLiteral("Dati Catastali"), page);
    cadastre->setObjectName(QStringLiteral("GroupDatiCatastali"));
    auto* cForm = new QFormLayout(cadastre);
    const std::pair<const char*, const char*> cadastreLabels[] = {
        {"LabelSezioneUrbana", "Sezione urbana"}, {"LabelFoglio", "Foglio"}, {"LabelParticella", "Particella"},
        {"LabelSub", "Sub."}, {"LabelZonaCensuaria", "Zona censuaria"}, {"LabelMicrozona", "Microzona"}};
    for (const auto& [name, text] : cadastreLabels) {
        auto* value = new QLabel(cadastre);
        value->setObjectName(QString::fromLatin1(name));
        value->setAccessibleName(QString::fromUtf8(text));
        cForm->addRow(caption(QString::fromUtf8(text), cadastre), value);
    }

    auto* year = new QGroupBox(QStringLiteral("Anno amministrativo"), page);
    year->setObjectName(QStringLiteral("GroupAnnoAmministrativo"));
    auto* yForm = new QFormLayout(year);
    auto* yearRow = new QHBoxLayout;
    auto* combo = new QComboBox(year);
    combo->setObjectName(QStringLiteral("ComboAA"));
    combo->setAccessibleName(QStringLiteral("Anno Amministrativo corrente"));
    combo->setMinimumWidth(140);
    yearRow->addWidget(combo);
    for (const auto& [name, text] : {std::pair{"AAaggiungi", "+"}, std::pair{"AAmodifica", "..."}}) {
        auto* b = makeButton(QString::fromLatin1(name), QString::fromLatin1(text), year);
        b->setFixedWidth(32);
        b->setEnabled(false);
        yearRow->addWidget(b);
    }
    yearRow->addStretch();
    auto* yearLabel = caption(QStringLiteral("Anno Amministrativo corrente"), year);
    yearLabel->setBuddy(combo);
    yForm->addRow(yearLabel, yearRow);
    for (const auto& [name, text] : {std::pair{"LabelDI", "Data inzio"}, std::pair{"LabelDF", "Data fine"}}) {
        auto* value = new QLabel(year);
        value->setObjectName(QString::fromLatin1(name));
        value->setAccessibleName(QString::fromLatin1(text));
        yForm->addRow(caption(QString::fromLatin1(text), year), value);
    }
    auto* approved = new QCheckBox(year);
    approved->setObjectName(QStringLiteral("CheckApprovato"));
    approved->setEnabled(false);
    approved->setAccessibleName(QStringLiteral("Bilanci approvati"));
    yForm->addRow(caption(QStringLiteral("Bilanci approvati"), year), approved);

    general->setMinimumWidth(380);
    cadastre->setMinimumWidth(380);
    layout->addWidget(general, 0, 0);
    layout->addWidget(tables, 0, 1, 2, 1);
    layout->addWidget(cadastre, 1, 0);
    layout->addWidget(year, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 2);
    return page;
}

QWidget* TForm1::buildMemoTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* memo1 = new QPlainTextEdit(page);
    memo1->setObjectName(QStringLiteral("Memo1"));
    memo1->setAccessibleName(QStringLiteral("Note del condominio"));
    memo1->hide();
    auto* dbMemo = new QPlainTextEdit(page);
    dbMemo->setObjectName(QStringLiteral("DBMemo1"));
    dbMemo->setAccessibleName(QStringLiteral("Note generali"));
    layout->addWidget(memo1);
    layout->addWidget(dbMemo);
    return page;
}

QWidget* TForm1::buildPreventivoTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(page);
    label->setObjectName(QStringLiteral("LabelAA"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    auto* grid = makeGrid(QStringLiteral("DBGridPreventivi"), QStringLiteral("ADOQueryPreventivi"), page, true);
    layout->addWidget(grid);
    layout->addWidget(footers_.value(grid->objectName()));
    return page;
}

QWidget* TForm1::buildEntrateTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QToolBar(page);
    bar->setObjectName(QStringLiteral("ToolBarEntrate"));
    makeFigure(QStringLiteral("EditEntrateC"), QStringLiteral("Entrate cassa"), page, bar);
    makeFigure(QStringLiteral("EditEntrateCC"), QStringLiteral("Entrate conto corrente"), page, bar);
    makeFigure(QStringLiteral("EditEntrateTOT"), QStringLiteral("Entrate totali"), page, bar);
    layout->addWidget(bar);
    auto* grid = makeGrid(QStringLiteral("DBGridEntrate"), QStringLiteral("ADOQueryEntrate"), page);
    // Special movements light yellow, payments money green.
    store::Dataset* entrate = &workspace_->ds(QStringLiteral("ADOQueryEntrate"));
    qobject_cast<DatasetModel*>(grid->model())->setCellBackground([entrate](int row, int) -> std::optional<QColor> {
        const QString kind = entrate->valueAt(row, QStringLiteral("TipoMovimento")).toString();
        const bool special = kind == QLatin1String("Passaggio su C.C.") || kind == QLatin1String("Passaggio su Cassa") ||
                             kind == QLatin1String("Importo iniziale");
        return special ? QColor(255, 255, 128) : QColor(192, 220, 192);
    });
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildUsciteTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QToolBar(page);
    bar->setObjectName(QStringLiteral("ToolBarUscite"));
    const QColor maroon(128, 0, 0);
    makeFigure(QStringLiteral("EditUsciteC"), QStringLiteral("Uscite cassa"), page, bar, false, &maroon);
    makeFigure(QStringLiteral("EditUsciteCC"), QStringLiteral("Uscite conto corrente"), page, bar, false, &maroon);
    makeFigure(QStringLiteral("EditUsciteTOT"), QStringLiteral("Uscite totali"), page, bar, false, &maroon);
    layout->addWidget(bar);
    auto* grid = makeGrid(QStringLiteral("DBGridUscite"), QStringLiteral("ADOQueryUscite"), page);
    qobject_cast<DatasetModel*>(grid->model())->setCellBackground([](int, int) -> std::optional<QColor> {
        return QColor(255, 191, 191);
    });
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildFornitoriTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grid = makeGrid(QStringLiteral("DBGridFornitori"), QStringLiteral("ADOQueryFornitori"), page);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildAnagrafeTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grid = makeGrid(QStringLiteral("DBGridAnagrafe"), QStringLiteral("ADOTableAnagrafe"), page);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildLocaliTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    for (const auto& [name, text] : {std::pair{"BProprietario", "Proprietario"}, std::pair{"BInquilino", "Inquilino"}}) {
        auto* b = makeButton(QString::fromLatin1(name), QString::fromLatin1(text), page);
        b->setCheckable(true);
        bar->addWidget(b);
    }
    bar->addStretch();
    layout->addLayout(bar);
    auto* grid = makeGrid(QStringLiteral("DBGridLocali"), QStringLiteral("ADOQueryLocali"), page, true);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    layout->addWidget(grid);
    layout->addWidget(footers_.value(grid->objectName()));
    return page;
}

QWidget* TForm1::buildQuoteTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    auto* toPay = makeButton(QStringLiteral("Bpagare"), QStringLiteral("Da pagare"), page);
    auto* paid = makeButton(QStringLiteral("Bpagato"), QStringLiteral("Pagato"), page);
    for (QPushButton* b : {toPay, paid}) {
        b->setCheckable(true);
        bar->addWidget(b);
    }
    toPay->setChecked(true);
    bar->addStretch();
    layout->addLayout(bar);
    auto* grouped = makeGrid(QStringLiteral("DBGridQuoteAccorpate"), QStringLiteral("ADOQueryQuoteAccorpate"), page, true);
    auto* single = makeGrid(QStringLiteral("DBGridQuoteSingole"), QStringLiteral("ADOQueryQuoteSingole"), page);
    for (QTableView* grid : {grouped, single})
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The detail panel under the grouped view: 800 by 200, closed at start.
    single->setFixedHeight(200);
    single->setMaximumWidth(800);
    single->hide();
    layout->addWidget(grouped);
    layout->addWidget(footers_.value(grouped->objectName()));
    layout->addWidget(single);
    return page;
}

QWidget* TForm1::buildStampeTab()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    for (const auto& [name, text] :
         {std::pair{"DataPrima", "Data 1° convocazione"}, std::pair{"DataSeconda", "Data 2° convocazione"}}) {
        auto* picker = new QDateTimeEdit(QDateTime::currentDateTime(), page);
        picker->setObjectName(QString::fromLatin1(name));
        picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
        picker->setCalendarPopup(true);
        auto* label = caption(QString::fromUtf8(text), page);
        label->setBuddy(picker);
        form->addRow(label, picker);
    }
    for (const auto& [name, text] : {std::pair{"lista", "Condòmini"}, std::pair{"ListaFornitori", "Fornitori"}}) {
        auto* list = new QListWidget(page);
        list->setObjectName(QString::fromLatin1(name));
        auto* label = caption(QString::fromUtf8(text), page);
        label->setBuddy(list);
        form->addRow(label, list);
    }
    return page;
}

} // namespace velcaris::app
