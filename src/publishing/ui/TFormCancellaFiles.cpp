#include "publishing/ui/TFormCancellaFiles.h"

#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/DatasetModel.h"
#include "store/FilterText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace velcaris::publishing::ui {

namespace {
const QString kAA = QStringLiteral("AA");
const QString kId = QStringLiteral("Id");
} // namespace

TFormCancellaFiles::TFormCancellaFiles(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("FormCancellaFiles"), QStringLiteral("Cancella documento"), 720, 380),
      documents_(QStringLiteral("ADOTableFiles"))
{
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGridDocumenti"));
    grid_->setAccessibleName(QStringLiteral("Documenti pubblicati"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(22);
    model_ = new app::DatasetModel(&documents_, this);
    grid_->setModel(model_);

    yearList_ = new QComboBox(grid_->viewport());
    yearList_->setObjectName(QStringLiteral("ComboAA"));
    yearList_->setAccessibleName(QStringLiteral("Anno amministrativo"));
    yearList_->hide();

    auto* navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    auto* navLayout = new QHBoxLayout(navigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(2);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
    } buttons[] = {{"NavFirst", "|<", "Primo"},     {"NavPrior", "<", "Precedente"},
                   {"NavNext", ">", "Successivo"}, {"NavLast", ">|", "Ultimo"},
                   {"NavDelete", "Elimina", "Elimina"}};
    for (const auto& b : buttons) {
        auto* button = new QToolButton(navigator);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromLatin1(b.text));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setAccessibleName(QString::fromLatin1(b.hint));
        button->setFixedHeight(24);
        button->setMinimumWidth(30);
        navLayout->addWidget(button);
        const QString name = button->objectName();
        connect(button, &QToolButton::clicked, this, [this, name] {
            const int rows = model_->rowCount();
            if (name == u"NavDelete") {
                withdrawCurrent();
                return;
            }
            if (rows == 0)
                return;
            const int now = qMax(0, grid_->currentIndex().row());
            const int row = name == u"NavFirst" ? 0 : name == u"NavLast" ? rows - 1
                          : name == u"NavPrior" ? qMax(0, now - 1) : qMin(rows - 1, now + 1);
            const int column = qMax(grid_->currentIndex().column(), documents_.fieldIndex(QStringLiteral("Condominio")));
            grid_->setCurrentIndex(model_->index(row, column));
        });
    }

    auto* chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("BitBtnChiudi"));
    chiudi->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(navigator);
    bottom->addStretch(1);
    bottom->addWidget(chiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);

    connect(chiudi, &QPushButton::clicked, this, [this] { confirm(); });
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& index) { showYearListAt(index); });
    connect(yearList_, &QComboBox::activated, this, [this](int item) { yearChosen(item); });
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, yearList_, &QWidget::hide);
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, yearList_, &QWidget::hide);
}

bool TFormCancellaFiles::prepare(const app::DialogRequest&)
{
    const QString& cond = ws().selection.condominium;
    if (cond.isEmpty())
        return false;
    if (!documents_.isActive()) {
        documents_.setConnection(&ws().webDb());
        documents_.setTableName(QStringLiteral("Files"));
        documents_.open();
        documents_.setDisplayFormat(QStringLiteral("Data"), QStringLiteral("DD/MM/YYYY"));
    }
    documents_.setSort(QStringLiteral("AA ASC, Data ASC"));
    documents_.setFilter(store::equalsTerm(QStringLiteral("Condominio"), cond));
    documents_.requery();
    model_->setLive(true);
    // The key is not shown; the document's columns get their widths.
    for (int c = 0; c < model_->columnCount(); ++c)
        grid_->setColumnHidden(c, c == documents_.fieldIndex(kId));
    const std::pair<const char*, int> widths[] = {{"Condominio", 300}, {"AA", 70}, {"File", 200}, {"Data", 80}};
    for (const auto& [field, width] : widths)
        grid_->setColumnWidth(documents_.fieldIndex(QString::fromLatin1(field)), width);
    years_ = yearChoices(ws(), cond);
    yearList_->clear();
    yearList_->addItems(years_.names);
    yearList_->setCurrentIndex(years_.current);
    yearList_->hide();
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, documents_.fieldIndex(QStringLiteral("Condominio"))));
    return true;
}

void TFormCancellaFiles::confirm()
{
    yearList_->hide();
    accept();
}

qint64 TFormCancellaFiles::currentId()
{
    const int row = grid_->currentIndex().row();
    if (row < 0 || row >= model_->rowCount())
        return -1;
    return documents_.valueAt(row, kId).toLongLong();
}

void TFormCancellaFiles::showYearListAt(const QModelIndex& index)
{
    // Without a current year there is no list to choose from.
    if (!index.isValid() || index.column() != documents_.fieldIndex(kAA) || years_.names.isEmpty()) {
        yearList_->hide();
        return;
    }
    const QRect cell = grid_->visualRect(index);
    yearList_->setGeometry(cell.x(), cell.y(), cell.width() + 2, qMax(cell.height(), yearList_->sizeHint().height()));
    yearList_->setCurrentIndex(years_.names.indexOf(documents_.valueAt(index.row(), kAA).toString()));
    yearList_->show();
    yearList_->raise();
    yearList_->setFocus();
}

void TFormCancellaFiles::yearChosen(int item)
{
    const qint64 id = currentId();
    yearList_->hide();
    if (id < 0 || item < 0)
        return;
    const QString year = yearList_->itemText(item);
    if (runEdit([&] { return setDocumentYear(ws(), id, year); }))
        reread(id);
}

void TFormCancellaFiles::withdrawCurrent()
{
    const qint64 id = currentId();
    if (id < 0)
        return;
    yearList_->hide();
    if (app::ConfirmWithCaptions(QStringLiteral("Eliminare il documento dall'elenco pubblicato?"),
                                 app::DialogKind::Confirmation, {QStringLiteral("Si"), QStringLiteral("No")}, this) != 1)
        return;
    const int row = grid_->currentIndex().row();
    if (!runEdit([&] { return withdrawDocument(ws(), id); }))
        return;
    reread(-1);
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(qMin(row, model_->rowCount() - 1), documents_.fieldIndex(QStringLiteral("Condominio"))));
}

void TFormCancellaFiles::reread(qint64 id)
{
    const int column = qMax(0, grid_->currentIndex().column());
    documents_.requery();
    for (int r = 0; r < model_->rowCount(); ++r)
        if (documents_.valueAt(r, kId).toLongLong() == id) {
            grid_->setCurrentIndex(model_->index(r, column));
            return;
        }
}

} // namespace velcaris::publishing::ui
