#include "window/ui/TForm1.h"

// The parts of the main window that apply what the core returned: the whole view of a trip, a
// tab's view, the grids' columns and the balances.
#include "allocation/QuotaRegister.h"
#include "window/GridLayout.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/GridFooter.h"
#include "store/Money.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

namespace velcaris::app {

namespace {

QString formatted(double value, const QString& format)
{
    return format == QLatin1String("0.000") ? store::formatThousandths(value) : store::formatAmount(value);
}

// Wide enough for the widest amount in the grid's font: the cell keeps the style's text margin on
// each side and the grid line on the right.
int amountColumnWidth(const QTableView* grid)
{
    const int textMargin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return QFontMetrics(grid->font()).horizontalAdvance(kWidestAmount) + 2 * textMargin + 1;
}

} // namespace

void TForm1::apply(const WindowView& view)
{
    setWindowTitle(view.caption);
    own<QComboBox*>(QStringLiteral("ComboAA"))->setEnabled(view.yearSelectorEnabled);
    if (view.condominiumMemo) {
        auto* memo1 = own<QPlainTextEdit*>(QStringLiteral("Memo1"));
        const QSignalBlocker block(memo1);
        memo1->setPlainText(*view.condominiumMemo);
    }
    if (view.memoHighlighted)
        setMemoHighlighted(*view.memoHighlighted);
    applyTabView(view.tab);
    applyGridLayouts();
    applyBalances(view.balances);
}

void TForm1::applyTabView(const TabView& view)
{
    if (activeTab() == Tab::Anagrafe || activeTab() == Tab::Stampe)
        own<QTableView*>(QStringLiteral("DBGridAnagrafe"))->clearSelection();
    for (auto it = view.labels.cbegin(); it != view.labels.cend(); ++it)
        if (auto* label = own<QLabel*>(it.key()))
            setValue(label, it.value());
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
    if (activeTab() == Tab::Quote)
        orderQuotaColumns(view.leadingQuotaColumns);
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
    for (auto it = parts_->footers().cbegin(); it != parts_->footers().cend(); ++it)
        if (page->isAncestorOf(it.value()))
            it.value()->setTexts(texts.value(it.key()));
}

void TForm1::orderQuotaColumns(const QStringList& leading)
{
    const std::pair<const char*, int> grids[] = {{"DBGridQuoteSingole", allocation::kSingleQuotaFixedColumns},
                                                 {"DBGridQuoteAccorpate", allocation::kGroupedQuotaFixedColumns}};
    for (const auto& [name, fixed] : grids) {
        auto* grid = own<QTableView*>(QString::fromLatin1(name));
        auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
        if (!model || !model->dataset()->isActive())
            continue;
        QHeaderView* header = grid->horizontalHeader();
        // Back to the query's order, then the leading names moved to the front of the quotas.
        for (int logical = 0; logical < header->count(); ++logical)
            if (header->visualIndex(logical) != logical)
                header->moveSection(header->visualIndex(logical), logical);
        int place = fixed;
        for (const QString& field : leading) {
            const int logical = model->dataset()->fieldIndex(field);
            if (logical < fixed)
                continue;
            header->moveSection(header->visualIndex(logical), place++);
        }
    }
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
        const int amountWidth = amountColumnWidth(grid);
        for (int i = 0; i < columns.size(); ++i) {
            const ColumnView& c = columns[i];
            model->setColumnTitle(c.field, c.title);
            grid->setColumnHidden(i, c.hidden);
            if (c.hidden)
                continue;
            int width = c.width > 0 ? c.width : grid->horizontalHeader()->defaultSectionSize();
            if (c.amount)
                width = std::max(width, amountWidth);
            grid->setColumnWidth(i, width);
        }
    }
}

void TForm1::applyBalances(const cashbook::Balances& b)
{
    const std::pair<const char*, QString> figures[] = {
        {"EditEntrateC", b.textEntrateC()}, {"EditEntrateCC", b.textEntrateCC()},
        {"EditEntrateTOT", b.textEntrateTOT()}, {"EditUsciteC", b.textUsciteC()},
        {"EditUsciteCC", b.textUsciteCC()}, {"EditUsciteTOT", b.textUsciteTOT()},
        {"EditTOTC", b.textTOTC()}, {"EditTOTCC", b.textTOTCC()}, {"EditTOT", b.textTOT()}};
    for (const auto& [name, text] : figures)
        own<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

} // namespace velcaris::app
