#include "window/ui/TForm1.h"

#include "allocation/QuotaRegister.h"
#include "window/GridLayout.h"
#include "foundation/Selection.h"
#include "window/ui/BankPanel.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"
#include "cashbook/PaymentPlace.h"
#include "documents/DefaultTemplates.h"
#include "documents/ReportError.h"
#include "store/Money.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

const QString kFirstStepsHint = QStringLiteral(
    "Per cominciare: nella linguetta \"Condomini\" premere \"Aggiungi\" per creare il primo condominio, poi il "
    "pulsante \"+\" accanto ad \"Anno Amministrativo corrente\" per il suo primo anno amministrativo.");

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

} // namespace

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
    parts_ = std::make_unique<TabParts>(*workspace_, this, [this](const std::function<void()>& work) { runGuarded(work); });
    parts_->reload = [this] { loadActiveTab(); };
    parts_->modello = &modello_;
    parts_->openDialog = [this](DialogId id, const DialogRequest& request) {
        runGuarded([&] {
            lastDialog_ = DialogId::None;
            if (const OpenDialog open = dialogs_.value(id)) {
                lastDialog_ = id;
                open(request);
            }
        });
    };

    // Top toolbar.
    auto* toolBar1 = new QToolBar(this);
    toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, toolBar1);
    const std::pair<const char*, const char*> buttons[] = {
        {"Baggiungi", "Aggiungi"}, {"BElimina", "Elimina"}, {"BModifica", "Modifica"},
        {"BCassa", "Cassa"}, {"BitBtn2", "Conto Corrente"}, {"BitBtnRicerca", "Ricerca"},
        {"BitBtnFAQ", "FAQ"}, {"BExport", "Esporta"}, {"ButtonPubblica", "Pubblica"},
        {"BRipristina", "Ripristina"}, {"BTrasferisciServer", "Trasferisci su server"}};
    for (const auto& [name, text] : buttons) {
        QPushButton* b = parts_->button(QString::fromLatin1(name), QString::fromUtf8(text), toolBar1);
        b->setMinimumSize(86, 40);
        QAction* action = toolBar1->addWidget(b);
        if (qstrcmp(name, "BTrasferisciServer") == 0)
            serverTransferAction_ = action;
        if (qstrcmp(name, "BRipristina") == 0)
            restoreAction_ = action;
    }

    // Totals bar.
    addToolBarBreak();
    auto* toolBar2 = new QToolBar(this);
    toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    toolBar2->setMovable(false);
    addToolBar(Qt::TopToolBarArea, toolBar2);
    parts_->figure(QStringLiteral("EditTOTC"), QStringLiteral("Cassa"), toolBar2, toolBar2, true);
    parts_->figure(QStringLiteral("EditTOTCC"), QStringLiteral("Conto corrente"), toolBar2, toolBar2, true);
    parts_->figure(QStringLiteral("EditTOT"), QStringLiteral("Totale"), toolBar2, toolBar2, true);

    // Tabs on the left under the first-steps hint, the condominium list on the right behind a splitter.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    auto* tabsPane = new QWidget(splitter);
    auto* tabsLayout = new QVBoxLayout(tabsPane);
    tabsLayout->setContentsMargins(0, 0, 0, 0);
    hint_ = new QLabel(kFirstStepsHint, tabsPane);
    hint_->setObjectName(QStringLiteral("LabelPrimoAvvio"));
    hint_->setWordWrap(true);
    hint_->setStyleSheet(QStringLiteral("QLabel { background: #fff8c4; border: 1px solid #d9c96a; padding: 6px; }"));
    hint_->hide();
    pageControl_ = new QTabWidget(tabsPane);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    tabsLayout->addWidget(hint_);
    tabsLayout->addWidget(pageControl_);
    buildListPane()->setParent(splitter);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({1000, 200});
    setCentralWidget(splitter);

    showOfficePlace();

    const std::pair<const char*, QWidget* (*)(TabParts&)> tabs[] = {
        {"Agenda", buildAgendaTab},         {"Interventi", buildInterventiTab}, {"Condomini", buildCondominiTab},
        {"Memo", buildMemoTab},             {"Preventivo", buildPreventivoTab}, {"Entrate", buildEntrateTab},
        {"Uscite", buildUsciteTab},         {"Fornitori", buildFornitoriTab},   {"Anagrafe", buildAnagrafeTab},
        {"Locali", buildLocaliTab},         {"Quote", buildQuoteTab},           {"Stampe", buildStampeTab}};
    for (const auto& [title, build] : tabs) {
        QWidget* page = build(*parts_);
        page->setObjectName(QStringLiteral("Tab") + QString::fromLatin1(title));
        pageControl_->addTab(page, QString::fromLatin1(title));
        parts_->adopt(page);
    }
    bankPanel_ = new BankPanel(
        *workspace_, this, [this](const std::function<void()>& work) { runGuarded(work); },
        [this] {
            QStringList names;
            for (int i = 0; i < listBox_->count(); ++i)
                names << listBox_->item(i)->text();
            return names;
        },
        [this] { showOnlyPlace(cashbook::kPlaceContoCorrente); });
    connectCommands();

    // The data store, in the fixed start-up order.
    if (!workspace_->isServer())
        askAboutMissingDatabases();
    startUpError_ = workspace_->startUp(progress);
    offerServerTransfer();
    if (!startUpError_.isEmpty())
        showError(startUpError_);
    // What the start-up could not put right by itself (a backup not refreshed, folders that do
    // not match their condominiums) is said once, after the failure if there was one.
    for (const QString& warning : workspace_->startUpWarnings())
        showWarning(this, warning);
    // A fresh install gets a template for every letter and notice; the user's own stay.
    for (const QString& failure : documents::installDefaultTemplates(workspace_->paths().outputFolder()).failures)
        showWarning(this, failure);
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
    // No event of a child being destroyed reaches the window's filter.
    for (QObject* watched : std::initializer_list<QObject*>{listViewport_, listBox_, bankButton_, memo1_, dbMemo_})
        if (watched)
            watched->removeEventFilter(this);
    listViewport_ = listBox_ = nullptr;
    bankButton_ = nullptr;
    memo1_ = dbMemo_ = nullptr;
    // The models refer to the workspace's datasets: drop the widgets first.
    delete takeCentralWidget();
}

QWidget* TForm1::buildListPane()
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("Condomini"), pane);
    title->setObjectName(QStringLiteral("LabelCondomini"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    listBox_ = new QListWidget(pane);
    listBox_->setObjectName(QStringLiteral("ListBox1"));
    listBox_->setAccessibleName(QStringLiteral("Condomini"));
    listBox_->setSortingEnabled(true);
    listBox_->setMinimumWidth(120);
    listViewport_ = listBox_->viewport();
    listViewport_->installEventFilter(this);
    listBox_->installEventFilter(this);
    title->setBuddy(listBox_);
    layout->addWidget(title);
    layout->addWidget(listBox_);
    return pane;
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

void TForm1::makeGridsLive(int tabIndex)
{
    for (DatasetModel* model : parts_->models(pageControl_->widget(tabIndex)))
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
    // A newcomer is told where to start until the first condominium exists.
    hint_->setVisible(startUpError_.isEmpty() && listBox_->count() == 0);
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

DialogContext TForm1::dialogContext()
{
    DialogContext context;
    context.workspace = workspace_.get();
    context.window = this;
    context.changed = [this](const Change& change) { changed(change); };
    context.open = [this](DialogId id, const DialogRequest& request) {
        const OpenDialog open = dialogs_.value(id);
        if (!open)
            return false;
        const int before = changes_;
        open(request);
        return changes_ != before;
    };
    return context;
}

RegisterDialog TForm1::dialogRegistrar()
{
    return [this](DialogId id, OpenDialog open) { registerDialog(id, std::move(open)); };
}

void TForm1::registerDialog(DialogId id, OpenDialog open)
{
    dialogs_.insert(id, std::move(open));
}

// ---- the trip and what the window applies ----

void TForm1::withLoading(const std::function<void()>& work)
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
    auto* preventivi = own<QTableView*>(QStringLiteral("DBGridPreventivi"));
    runGuarded([&] {
        if (activeTab() == Tab::Preventivo)
            preventivi->setUpdatesEnabled(false); // redrawn once, after the filter and sort
        work();
    });
    // Drawn again also when the loading failed half-way.
    preventivi->setUpdatesEnabled(true);
}

void TForm1::refresh(SelectionChange change, const QString& name, const QString& year)
{
    withLoading([&] { apply(refreshWindow(*workspace_, WindowRequest{change, name, year, activeTab(), toggles()})); });
}

void TForm1::loadActiveTab()
{
    withLoading([&] {
        applyTabView(LoadActiveTab(*workspace_, activeTab(), toggles()));
        applyGridLayouts();
    });
}

void TForm1::showBalances()
{
    runGuarded([&] { applyBalances(cashbook::RicalcolaSaldi(*workspace_)); });
}

void TForm1::changed(const Change& change)
{
    ++changes_;
    if (change.totalsOnly) {
        // A search narrowed the registers in memory: their rows are current, nothing to re-read.
        runGuarded([&] { applyBalances(cashbook::totalsOfShownRows(*workspace_)); });
        return;
    }
    const QString chosen = workspace_->selection.condominium;
    if (change.condominiumList)
        fillCondominiumList();
    // Released before the reload below, which then reads the amounts due.
    if (change.showQuotasDue)
        if (auto* toPay = own<QPushButton*>(QStringLiteral("Bpagare")))
            toPay->setChecked(false);
    const auto items = listBox_->findItems(chosen, Qt::MatchExactly);
    if (!chosen.isEmpty() && !items.isEmpty()) {
        listBox_->setCurrentItem(items.first());
        items.first()->setSelected(true);
    }
    refresh(SelectionChange::Refresh);
    if (!change.dataset.isEmpty())
        runGuarded([&] { restoreView(workspace_->ds(change.dataset), change.memory); });
    // The suppliers' grid keeps the selection it had when the dialog opened: only a right click
    // over it clears it.
    selectRowsByKey(own<QTableView*>(QStringLiteral("DBGridFornitori")), QStringLiteral("id"),
                    requestAtOpen_.selectedSuppliers);
}

// ---- events ----

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // Only pointers kept when the filters were installed are compared here: while the window is
    // destroyed its children still send events, and calling into a half-destroyed child is not safe.
    if (watched == listViewport_ &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        // Only the left button chooses an item: another button must not move the list's selection
        // away from the current condominium (the right button's release clears it).
        return true;
    }
    if (watched == listViewport_ && event->type() == QEvent::MouseButtonRelease) {
        listReleased(static_cast<QMouseEvent*>(event)->button());
        return false;
    }
    if (watched == listBox_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down)
            listReleased(Qt::LeftButton);
        return false;
    }
    if (event->type() == QEvent::KeyRelease && (watched == memo1_ || watched == dbMemo_)) {
        memoKeyReleased(static_cast<QPlainTextEdit*>(watched));
        return false;
    }
    if (watched == bankButton_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        bankPanel_->popupUnder(bankButton_);
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::listReleased(Qt::MouseButton button)
{
    QListWidgetItem* item = listBox_->currentItem();
    if (button == Qt::RightButton) {
        listBox_->clearSelection();
        listBox_->setCurrentRow(-1);
        refresh(SelectionChange::Clear);
    } else if (button == Qt::LeftButton && item && item->isSelected()) {
        refresh(SelectionChange::Choose, item->text());
    } else {
        refresh(SelectionChange::Keep);
    }
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

void TForm1::openCommand(const Command& command, const QString& recipientMode)
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
    const OpenDialog open = dialogs_.value(command.dialog);
    if (!open)
        return;
    lastDialog_ = command.dialog;
    requestAtOpen_ = DialogRequest{};
    requestAtOpen_.selectedSuppliers =
        selectedRowKeys(own<QTableView*>(QStringLiteral("DBGridFornitori")), QStringLiteral("id"));
    requestAtOpen_.selectedPersons = selectedRowKeys(own<QTableView*>(QStringLiteral("DBGridAnagrafe")), QStringLiteral("Id"));
    requestAtOpen_.recipientMode = recipientMode;
    requestAtOpen_.quotaColumn = selectedQuotaColumn();
    open(requestAtOpen_);
}

QString TForm1::selectedQuotaColumn() const
{
    auto* grouped = own<QTableView*>(QStringLiteral("DBGridQuoteAccorpate"));
    auto* model = grouped ? qobject_cast<DatasetModel*>(grouped->model()) : nullptr;
    const int column = grouped ? grouped->currentIndex().column() : -1;
    if (!model || !model->dataset()->isActive() || column < allocation::kGroupedQuotaFixedColumns)
        return QString();
    const QStringList fields = model->dataset()->fieldNames();
    return column < fields.size() ? fields[column] : QString();
}

void TForm1::showOnlyPlace(const QString& place)
{
    runGuarded([&] { cashbook::showOnlyPlace(*workspace_, place); });
    showBalances();
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
    connect(button("BElimina"), &QPushButton::clicked, this, [this] { deleteCommand(false); });
    button("BRipristina")->setToolTip(QStringLiteral("Ripristina da copia di sicurezza"));
    connect(button("BRipristina"), &QPushButton::clicked, this, [this] { runGuarded([&] { restoreCommand(); }); });
    button("BTrasferisciServer")->setToolTip(QStringLiteral("Copia l'ufficio in un database vuoto di un server PostgreSQL"));
    connect(button("BTrasferisciServer"), &QPushButton::clicked, this, [this] { runGuarded([&] { transferToServerCommand(); }); });
    connect(button("TBElimina"), &QPushButton::clicked, this, [this] { deleteCommand(true); });
    connect(button("BModifica"), &QPushButton::clicked, this,
            [this] { runGuarded([&] { openCommand(modifyCommand(activeTab())); }); });
    const std::pair<const char*, SmallButton> small[] = {{"TBAggiungi", SmallButton::TBAggiungi},
                                                         {"TBmodifica", SmallButton::TBmodifica},
                                                         {"AAaggiungi", SmallButton::AAaggiungi},
                                                         {"AAmodifica", SmallButton::AAmodifica}};
    for (const auto& [name, which] : small)
        connect(button(name), &QPushButton::clicked, this,
                [this, which = which] { runGuarded([&] { openCommand(smallButtonCommand(which)); }); });

    connect(button("BCassa"), &QPushButton::clicked, this, [this] { showOnlyPlace(cashbook::kPlaceCassa); });
    connect(button("BExport"), &QPushButton::clicked, this, [this] { exportActiveTab(); });
    // Each e-mail button opens the e-mail dialog with its recipients; "Pubblica" the publishing one.
    const std::pair<const char*, const char*> mail[] = {{"Btutti2", "tutti"}, {"BComunicazioni", "liberatorie"},
        {"Bselezionati2", "selezionati"}, {"BTutti", "tuttiFornitori"}, {"BSelezionati", "selezionatiFornitori"}};
    for (const auto& [name, mode] : mail)
        connect(button(name), &QPushButton::clicked, this, [this, mode = QString::fromLatin1(mode)] {
            runGuarded([&] { openCommand({DialogId::TFormEmail, workspace_->editMode}, mode); });
        });
    connect(button("ButtonPubblica"), &QPushButton::clicked, this,
            [this] { runGuarded([&] { openCommand({DialogId::TFormPubbica, workspace_->editMode}); }); });
    bankButton_ = button("BitBtn2");
    bankButton_->installEventFilter(this);
    // The tool windows, opened under their button with the active tab.
    for (const auto& [name, id] : {std::pair{"BitBtnRicerca", DialogId::TFormRicerca}, std::pair{"BitBtnFAQ", DialogId::TFormFAQ}})
        connect(button(name), &QPushButton::clicked, this, [this, id = id, anchor = button(name)] {
            if (const OpenDialog open = dialogs_.value(id))
                runGuarded([&] { DialogRequest request;
                    request.tab = activeTab();
                    request.anchor = anchor;
                    open(request);; });
        });

    auto* combo = own<QComboBox*>(QStringLiteral("ComboAA"));
    connect(combo, &QComboBox::activated, this, [this, combo](int index) {
        if (index >= 0 && !workspace_->selection.condominium.isEmpty())
            refresh(SelectionChange::ChangeYear, {}, combo->itemText(index));
    });
    memo1_ = own<QPlainTextEdit*>(QStringLiteral("Memo1"));
    dbMemo_ = own<QPlainTextEdit*>(QStringLiteral("DBMemo1"));
    for (QObject* watched : std::initializer_list<QObject*>{memo1_, dbMemo_})
        watched->installEventFilter(this);
}

} // namespace velcaris::app
