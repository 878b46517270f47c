#include "faq/ui/TFormFAQ.h"

#include "dialogkit/Messages.h"
#include "faq/ui/TFormAggiungiFAQ.h"
#include "faq/ui/TFormNCFAQ.h"
#include "faq/ui/TFormRicercaFAQ.h"
#include "store/StoreError.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velcaris::faq::ui {

namespace {

QPushButton* toolButton(const char* name, const char* caption, QWidget* parent, QBoxLayout* bar)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    bar->addWidget(b);
    return b;
}

} // namespace

TFormFAQ::TFormFAQ(const app::DialogContext& context)
    : FaqDialogBase(context.window, QStringLiteral("FormFAQ"), QStringLiteral("FAQ")), context_(context)
{
    resize(900, 600);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    QPushButton* inTitles = toolButton("BitBtn2", "Cerca nel titolo", this, bar);
    QPushButton* inTexts = toolButton("BitBtn3", "Cerca nel testo", this, bar);
    QPushButton* add = toolButton("BitBtn1", "Aggiungi FAQ", this, bar);
    bar->addSpacing(20);
    // The navigator over the current set.
    auto* navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    auto* navLayout = new QHBoxLayout(navigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    const std::tuple<const char*, const char*, const char*, void (FaqBrowser::*)()> steps[] = {
        {"NavFirst", "|<", "Primo", &FaqBrowser::first},
        {"NavPrior", "<", "Precedente", &FaqBrowser::prior},
        {"NavNext", ">", "Successivo", &FaqBrowser::next},
        {"NavLast", ">|", "Ultimo", &FaqBrowser::last}};
    for (const auto& [name, text, caption, step] : steps) {
        auto* b = new QToolButton(navigator);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromLatin1(text));
        b->setToolTip(QString::fromLatin1(caption));
        b->setAccessibleName(QString::fromLatin1(caption));
        navLayout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, step = step] {
            (browser_.*step)();
            showCurrent();
        });
    }
    bar->addWidget(navigator);
    counter_ = new QLabel(this);
    counter_->setObjectName(QStringLiteral("Label5"));
    counter_->setAccessibleName(QStringLiteral("Posizione"));
    bar->addWidget(counter_);
    bar->addStretch(1);
    layout->addLayout(bar);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tree_ = new QTreeWidget(splitter);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setAccessibleName(QStringLiteral("Capitoli e titoli"));
    auto* panel = new QWidget(splitter);
    auto* grid = new QGridLayout(panel);
    // The fields follow the window's width, ending 20 pixels before its right edge.
    grid->setContentsMargins(8, 0, 20, 0);
    chapter_ = new QLineEdit(this);
    chapter_->setObjectName(QStringLiteral("Edit1"));
    QFont bold = chapter_->font();
    bold.setBold(true);
    chapter_->setFont(bold);
    chapter_->setMaxLength(100);
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("Edit2"));
    title_->setMaxLength(100);
    question_ = new QPlainTextEdit(this);
    question_->setObjectName(QStringLiteral("Memo1"));
    answer_ = new QPlainTextEdit(this);
    answer_->setObjectName(QStringLiteral("Memo2"));
    const std::pair<const char*, QWidget*> fields[] = {
        {"Capitolo", chapter_}, {"Titolo", title_}, {"Domanda", question_}, {"Risposta", answer_}};
    int row = 0;
    for (const auto& [text, control] : fields) {
        auto* caption = new QLabel(QString::fromLatin1(text), this);
        caption->setBuddy(control);
        control->setAccessibleName(caption->text());
        grid->addWidget(caption, row++, 0);
        grid->addWidget(control, row++, 0);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setReadOnly(true);
        if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            memo->setReadOnly(true);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
    }
    grid->setRowStretch(5, 1);
    grid->setRowStretch(7, 2);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 620});
    layout->addWidget(splitter, 1);

    search_ = new TFormRicercaFAQ(base_, [this](QVector<FaqEntry> found) { showSet(std::move(found)); }, this);
    addChapter_ = new TFormNCFAQ(base_, this);
    addEntry_ = new TFormAggiungiFAQ(base_, [this](const FaqEntry& entry) {
        if (QTreeWidgetItem* node = chapterNode(entry.capitolo)) {
            new QTreeWidgetItem(node, {entry.titolo});
            node->setExpanded(true);
        }
    }, this);
    auto appendChapter = [this](const QString& name) { tree_->addTopLevelItem(new QTreeWidgetItem({name})); };
    addEntry_->setNewChapter([this, appendChapter] {
        addChapter_->start(addEntry_, [this, appendChapter](const QString& name) {
            appendChapter(name);
            addEntry_->fillChapters();
        });
    });

    connect(inTitles, &QPushButton::clicked, this, [this] { search_->start(TFormRicercaFAQ::Mode::Titles); });
    connect(inTexts, &QPushButton::clicked, this, [this] { search_->start(TFormRicercaFAQ::Mode::Texts); });
    connect(add, &QPushButton::clicked, this, [this] { addEntry_->start(); });
    // A click on a title or an arrow key onto one.
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { titleChosen(item); });
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { titleChosen(item); });
}

void TFormFAQ::start()
{
    try {
        base_.open(context_.workspace->paths().faqDatabase());
        if (!treeBuilt_) {
            buildTree();
            // Until a title is chosen or a search is made, the navigator steps through every entry.
            showSet(base_.allEntries());
            treeBuilt_ = true;
        }
    } catch (const store::StoreError& e) {
        base_.close();
        app::showFailure(context_.window, e.message());
        return;
    }
    showOver();
}

void TFormFAQ::done(int result)
{
    base_.close();
    FaqDialogBase::done(result);
}

void TFormFAQ::buildTree()
{
    tree_->clear();
    for (const QString& chapter : base_.chapters()) {
        auto* node = new QTreeWidgetItem(tree_, {chapter});
        for (const QString& title : base_.titlesOf(chapter))
            new QTreeWidgetItem(node, {title});
    }
    tree_->expandAll();
}

QTreeWidgetItem* TFormFAQ::chapterNode(const QString& chapter) const
{
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        if (tree_->topLevelItem(i)->text(0) == chapter)
            return tree_->topLevelItem(i);
    return nullptr;
}

void TFormFAQ::titleChosen(QTreeWidgetItem* item)
{
    // Chapters (top-level nodes) show nothing.
    if (!item || !item->parent() || !base_.isOpen())
        return;
    try {
        showSet(base_.entriesTitled(item->text(0)));
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
}

void TFormFAQ::showSet(QVector<FaqEntry> entries)
{
    browser_.setEntries(std::move(entries));
    showCurrent();
}

void TFormFAQ::showCurrent()
{
    const FaqEntry entry = browser_.current().value_or(FaqEntry{});
    chapter_->setText(entry.capitolo);
    chapter_->setCursorPosition(0);
    title_->setText(entry.titolo);
    title_->setCursorPosition(0);
    question_->setPlainText(entry.domanda);
    answer_->setPlainText(entry.risposta);
    counter_->setText(browser_.counterText());
}

} // namespace velcaris::faq::ui
