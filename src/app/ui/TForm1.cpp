#include "app/ui/TForm1.h"

#include "app/ui/DatasetModel.h"
#include "cashbook/Balances.h"
#include "store/Money.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {
bool showErrors = true;

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

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}
} // namespace

void TForm1::setShowErrors(bool show)
{
    showErrors = show;
}

TForm1::TForm1(AppPaths paths, const std::function<void()>& progress, QWidget* parent)
    : QMainWindow(parent), workspace_(std::make_unique<Workspace>(std::move(paths)))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velcaris 2014"));
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
    }

    // The data store, in the fixed start-up order.
    startUpError_ = workspace_->startUp(progress);
    if (!startUpError_.isEmpty()) {
        if (showErrors)
            QMessageBox::critical(this, QStringLiteral("Velcaris"), startUpError_);
    } else {
        auto& memo = workspace_->ds(QStringLiteral("ADOTableMemo"));
        const QString general = memo.isEmpty() ? QString() : memo.value(QStringLiteral("Memo")).toString();
        if (auto* dbMemo = findChild<QPlainTextEdit*>(QStringLiteral("DBMemo1")))
            dbMemo->setPlainText(general);
        setMemoHighlighted(!general.isEmpty());
        fillCondominiumList();
        if (progress)
            progress();
    }

    // The Agenda tab opens first; the other tabs read their registers when shown.
    pageControl_->setCurrentIndex(0);
    makeGridsLive(0);
    connect(pageControl_, &QTabWidget::currentChanged, this, &TForm1::makeGridsLive);
    if (startUpError_.isEmpty())
        showBalances();
    if (progress)
        progress();
}

TForm1::~TForm1()
{
    // The models refer to the workspace's datasets: drop the widgets first.
    delete takeCentralWidget();
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
    if (bar) {
        bar->addWidget(l);
        bar->addWidget(e);
        bar->addSeparator();
    }
    return e;
}

QTableView* TForm1::makeGrid(const QString& name, const QString& dataset, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->verticalHeader()->setDefaultSectionSize(22);
    auto* model = new DatasetModel(&workspace_->ds(dataset), grid);
    grid->setModel(model);
    tabModels_[parent].append(model);
    return grid;
}

void TForm1::makeGridsLive(int tabIndex)
{
    QWidget* page = pageControl_->widget(tabIndex);
    for (DatasetModel* model : tabModels_.value(page))
        model->setLive(true);
}

void TForm1::showBalances()
{
    try {
        const cashbook::Balances b = cashbook::RicalcolaSaldi(*workspace_);
        const std::pair<const char*, QString> figures[] = {
            {"EditEntrateC", b.textEntrateC()}, {"EditEntrateCC", b.textEntrateCC()},
            {"EditEntrateTOT", b.textEntrateTOT()}, {"EditUsciteC", b.textUsciteC()},
            {"EditUsciteCC", b.textUsciteCC()}, {"EditUsciteTOT", b.textUsciteTOT()},
            {"EditTOTC", b.textTOTC()}, {"EditTOTCC", b.textTOTCC()}, {"EditTOT", b.textTOT()}};
        for (const auto& [name, text] : figures)
            if (auto* edit = findChild<QLineEdit*>(QString::fromLatin1(name)))
                edit->setText(text);
    } catch (const store::StoreError& e) {
        if (showErrors)
            QMessageBox::critical(this, QStringLiteral("Velcaris"), e.message());
    }
}

void TForm1::setMemoHighlighted(bool on)
{
    memoHighlighted_ = on;
    const int index = pageControl_->indexOf(findChild<QWidget*>(QStringLiteral("TabMemo")));
    if (index >= 0)
        pageControl_->tabBar()->setTabTextColor(index, on ? QColor(200, 0, 0) : QColor());
}

bool TForm1::isMemoHighlighted() const
{
    return memoHighlighted_;
}

void TForm1::fillCondominiumList()
{
    listBox_->clear();
    try {
        for (const QString& name : workspace_->condominiumNames())
            listBox_->addItem(new CondominiumItem(name));
    } catch (const store::StoreError& e) {
        if (showErrors)
            QMessageBox::critical(this, QStringLiteral("Velcaris"), e.message());
    }
    listBox_->clearSelection();
    listBox_->setCurrentRow(-1);
}

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
        tButtons->addWidget(b);
    }
    tButtons->addStretch();
    tLayout->addLayout(tButtons);
    tLayout->addWidget(makeGrid(QStringLiteral("DBGridTabelle"), QStringLiteral("ADOTableTabelle"), page));

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

    layout->addWidget(general, 0, 0);
    layout->addWidget(tables, 0, 1, 2, 1);
    layout->addWidget(cadastre, 1, 0);
    layout->addWidget(year, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
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
    label->setObjectName(QStringLiteral("LabelPreventivo"));
    layout->addWidget(label);
    layout->addWidget(makeGrid(QStringLiteral("DBGridPreventivi"), QStringLiteral("ADOQueryPreventivi"), page));
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
    layout->addWidget(makeGrid(QStringLiteral("DBGridEntrate"), QStringLiteral("ADOQueryEntrate"), page));
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
    layout->addWidget(makeGrid(QStringLiteral("DBGridUscite"), QStringLiteral("ADOQueryUscite"), page));
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
    auto* grid = makeGrid(QStringLiteral("DBGridLocali"), QStringLiteral("ADOQueryLocali"), page);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->horizontalHeader()->setSectionsMovable(false);
    layout->addWidget(grid);
    return page;
}

QWidget* TForm1::buildQuoteTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grouped = makeGrid(QStringLiteral("DBGridQuoteAccorpate"), QStringLiteral("ADOQueryQuoteAccorpate"), page);
    auto* single = makeGrid(QStringLiteral("DBGridQuoteSingole"), QStringLiteral("ADOQueryQuoteSingole"), page);
    for (QTableView* grid : {grouped, single}) {
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->horizontalHeader()->setSectionsMovable(false);
        grid->verticalHeader()->hide();
    }
    single->setMaximumHeight(200);
    layout->addWidget(grouped);
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
    return page;
}

} // namespace velcaris::app
