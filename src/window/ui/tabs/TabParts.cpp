#include "window/ui/tabs/TabParts.h"

#include "window/GridLayout.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

// The keys of a register grid: Ctrl+F finds a text from the row after the current one; in the
// grids marked "enterMoves" Enter moves to the next visible column.
class GridKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* grid = qobject_cast<QTableView*>(watched);
        if (!grid || event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Find)) {
            find(grid);
            return true;
        }
        if (grid->property("enterMoves").toBool() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            const QModelIndex current = grid->currentIndex();
            int column = current.column() + 1;
            while (column < grid->model()->columnCount() && grid->isColumnHidden(column))
                ++column;
            if (current.isValid() && column < grid->model()->columnCount())
                grid->setCurrentIndex(grid->model()->index(current.row(), column));
            return true;
        }
        return false;
    }

private:
    void find(QTableView* grid)
    {
        bool ok = false;
        const QString wanted = QInputDialog::getText(grid->window(), QStringLiteral("Trova"),
                                                     QStringLiteral("Testo da cercare:"), QLineEdit::Normal, last_, &ok);
        if (!ok || wanted.isEmpty())
            return;
        last_ = wanted;
        QAbstractItemModel* model = grid->model();
        const int rows = model->rowCount();
        const int columns = model->columnCount();
        const int start = grid->currentIndex().isValid() ? grid->currentIndex().row() + 1 : 0;
        for (int step = 0; step < rows; ++step) {
            const int row = (start + step) % rows;
            for (int column = 0; column < columns; ++column) {
                if (grid->isColumnHidden(column))
                    continue;
                const QModelIndex at = model->index(row, column);
                if (at.data().toString().contains(wanted, Qt::CaseInsensitive)) {
                    grid->setCurrentIndex(at);
                    grid->scrollTo(at);
                    return;
                }
            }
        }
        showInformation(grid->window(), QStringLiteral("Testo non trovato: ") + wanted);
    }

    QString last_;
};

class RightReleaseClears : public QObject {
public:
    RightReleaseClears(QTableView* grid) : QObject(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            grid_->clearSelection();
            return true;
        }
        return false;
    }

private:
    QTableView* grid_;
};

} // namespace

void makeExclusive(TabParts& parts, QPushButton* one, QPushButton* other)
{
    for (const auto& [pressed, released] : {std::pair{one, other}, std::pair{other, one}})
        QObject::connect(pressed, &QPushButton::clicked, pressed, [&parts, pressed = pressed, released = released] {
            if (pressed->isChecked())
                released->setChecked(false);
            parts.reload();
        });
}

QVector<QPushButton*> addToggleRow(TabParts& parts, QVBoxLayout* layout, QWidget* page,
                                   std::initializer_list<std::pair<const char*, const char*>> toggles, bool exclusive)
{
    auto* bar = new QHBoxLayout;
    QVector<QPushButton*> made;
    for (const auto& [name, caption] : toggles) {
        made << parts.toggle(QString::fromLatin1(name), QString::fromUtf8(caption), page);
        bar->addWidget(made.back());
    }
    if (exclusive && made.size() == 2)
        makeExclusive(parts, made[0], made[1]);
    else
        for (QPushButton* b : made)
            QObject::connect(b, &QPushButton::clicked, page, [&parts] { parts.reload(); });
    bar->addStretch();
    layout->addLayout(bar);
    return made;
}

void addFigureBar(TabParts& parts, QVBoxLayout* layout, QWidget* page, const QString& barName,
                  std::initializer_list<std::pair<const char*, const char*>> figures, const QColor* colour)
{
    auto* bar = new QToolBar(page);
    bar->setObjectName(barName);
    for (const auto& [name, caption] : figures)
        parts.figure(QString::fromLatin1(name), QString::fromUtf8(caption), page, bar, false, colour);
    layout->addWidget(bar);
}

QWidget* multiSelectPage(TabParts& parts, const QString& gridName, const QString& dataset,
                         std::initializer_list<std::pair<const char*, const char*>> mailButtons)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    if (mailButtons.size() > 0) {
        auto* bar = new QHBoxLayout;
        bar->addWidget(new QLabel(QStringLiteral("E-Mail:"), page));
        for (const auto& [name, caption] : mailButtons)
            bar->addWidget(parts.button(QString::fromLatin1(name), QString::fromUtf8(caption), page));
        bar->addStretch();
        layout->addLayout(bar);
    }
    QTableView* grid = parts.grid(gridName, dataset, page);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    clearSelectionOnRightRelease(grid);
    layout->addWidget(grid);
    return page;
}

void clearSelectionOnRightRelease(QTableView* grid)
{
    grid->viewport()->installEventFilter(new RightReleaseClears(grid));
}

QVector<qint64> selectedRowKeys(QTableView* grid, const QString& field)
{
    QVector<qint64> keys;
    auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
    if (!model || !model->dataset()->isActive())
        return keys;
    store::Dataset& ds = *model->dataset();
    for (const QModelIndex& index : grid->selectionModel()->selectedRows())
        if (index.row() < ds.rowCount())
            keys << ds.valueAt(index.row(), field).toLongLong();
    return keys;
}

void selectRowsByKey(QTableView* grid, const QString& field, const QVector<qint64>& keys)
{
    auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
    if (keys.isEmpty() || !model || !model->dataset()->isActive())
        return;
    store::Dataset& ds = *model->dataset();
    QItemSelection selection;
    for (int row = 0; row < ds.rowCount(); ++row)
        if (keys.contains(ds.valueAt(row, field).toLongLong()))
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

TabParts::TabParts(Workspace& workspace, QWidget* window, Guarded guarded)
    : ws(workspace), window(window), guarded(std::move(guarded))
{
}

QTableView* TabParts::grid(const QString& name, const QString& dataset, QWidget* page, bool footer)
{
    static GridKeys* keys = nullptr;
    auto* grid = new QTableView(page);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->verticalHeader()->setDefaultSectionSize(22);
    store::Dataset* ds = &ws.ds(dataset);
    auto* model = new DatasetModel(ds, grid);
    grid->setModel(model);
    pending_.append(model);
    // The current row of the grid is the current row of its dataset. Moving posts a pending
    // edit, which can fail: the failure is shown like any other of the data store.
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, grid,
                     [this, ds](const QModelIndex& current) {
                         guarded([&] {
                             if (current.isValid() && ds->isActive() && current.row() != ds->recNo())
                                 ds->moveTo(current.row());
                         });
                     });
    // The grid shows its dataset's current row also when the rows are read again or the dataset
    // moves by itself (the row a dialog restored); a grid of several selected rows keeps its selection.
    auto showCurrent = [grid, ds] {
        // Only a grid that shows rows asks for the current one, which cannot fail once they are read.
        if (!ds->isActive() || grid->model()->rowCount() == 0)
            return;
        int column = grid->currentIndex().isValid() ? grid->currentIndex().column() : 0;
        while (column < grid->model()->columnCount() && grid->isColumnHidden(column))
            ++column;
        const QModelIndex at = grid->model()->index(ds->recNo(), column);
        if (!at.isValid() || at == grid->currentIndex())
            return;
        if (grid->selectionMode() == QAbstractItemView::SingleSelection)
            grid->setCurrentIndex(at);
        else
            grid->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    };
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, showCurrent);
    QObject::connect(ds, &store::Dataset::currentChanged, grid, showCurrent);
    // A click on a column title sorts by it; with Ctrl held the column joins the sort.
    QObject::connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, grid, [this, grid, ds](int section) {
        if (grid->property("sortable").isValid() && !grid->property("sortable").toBool())
            return;
        const QStringList fields = ds->fieldNames();
        if (section < 0 || section >= fields.size())
            return;
        const bool combine = QApplication::keyboardModifiers() & Qt::ControlModifier;
        guarded([&] { ds->setSort(sortAfterTitleClick(ds->sort(), fields[section], combine)); });
    });
    if (footer)
        footers_.insert(name, new GridFooter(grid, page));
    if (!keys)
        keys = new GridKeys(qApp);
    grid->installEventFilter(keys);
    return grid;
}

void TabParts::adopt(QWidget* page)
{
    for (DatasetModel* model : pending_)
        model->setParent(page);
    models_[page] += pending_;
    pending_.clear();
}

QPushButton* TabParts::button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QPushButton* TabParts::toggle(const QString& name, const QString& caption, QWidget* parent)
{
    QPushButton* b = button(name, caption, parent);
    b->setCheckable(true);
    return b;
}

QLineEdit* TabParts::figure(const QString& name, const QString& caption, QWidget* parent, QToolBar* bar, bool bold,
                            const QColor* colour)
{
    auto* l = new QLabel(caption + QStringLiteral(" "), parent);
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(110);
    e->setText(QStringLiteral("0.00"));
    e->setAccessibleName(caption);
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

QLabel* TabParts::valueLabel(const QString& name, const QString& caption, QWidget* parent)
{
    auto* value = new QLabel(parent);
    value->setObjectName(name);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setAccessibleName(caption);
    return value;
}

void TabParts::paintRows(QTableView* grid, std::function<std::optional<Rgb>(int row)> colour)
{
    qobject_cast<DatasetModel*>(grid->model())
        ->setCellBackground([colour = std::move(colour)](int row, int) -> std::optional<QColor> {
            const std::optional<Rgb> rgb = colour(row);
            if (!rgb)
                return std::nullopt;
            return QColor(rgb->red, rgb->green, rgb->blue);
        });
}

} // namespace velcaris::app
