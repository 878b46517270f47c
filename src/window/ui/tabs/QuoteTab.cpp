// The Quote tab: the quotas grouped per owner and tenant, and per unit in the detail panel, as
// due, still to pay or paid. A double click on the grouped view opens or closes the detail panel;
// a double click on a quota cell of the single view opens the panel that changes its amount.
// "Somma quote" adds up the quota cells clicked in the grouped view.
#include "allocation/QuotaRegister.h"
#include "foundation/ViewMemory.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/GridFooter.h"
#include "dialogkit/Messages.h"
#include "window/ui/tabs/TabParts.h"
#include "store/Money.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

// Quota cells painted by their value; the fixed columns as usual.
void paintQuotaCells(QTableView* grid, int fixedColumns)
{
    auto* model = qobject_cast<DatasetModel*>(grid->model());
    store::Dataset* ds = model->dataset();
    model->setCellBackground([ds, fixedColumns](int row, int column) -> std::optional<QColor> {
        if (column < fixedColumns)
            return std::nullopt;
        const Rgb rgb = allocation::quotaCellColour(ds->valueAt(row, column));
        return QColor(rgb.red, rgb.green, rgb.blue);
    });
}

// "Somma quote": while the button is down, a left click on a quota cell of the grouped view adds
// it; a right click shows the sum and releases the button.
class QuotaSum : public QObject {
public:
    QuotaSum(QPushButton* button, QTableView* grid, QWidget* window)
        : QObject(button), button_(button), grid_(grid), window_(window)
    {
        grid->viewport()->installEventFilter(this);
        connect(button, &QPushButton::toggled, this, [this](bool down) {
            sum_ = 0;
            if (down)
                grid_->viewport()->setCursor(Qt::PointingHandCursor);
            else
                grid_->viewport()->unsetCursor();
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !button_->isChecked())
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            showInformation(window_, allocation::quotaSumText(sum_));
            button_->setChecked(false);
            return true;
        }
        const QModelIndex index = grid_->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && index.isValid() && index.column() >= allocation::kGroupedQuotaFixedColumns) {
            store::Dataset* ds = qobject_cast<DatasetModel*>(grid_->model())->dataset();
            sum_ = allocation::addToQuotaSum(sum_, ds->valueAt(index.row(), index.column()));
        }
        return false;
    }

private:
    QPushButton* button_;
    QTableView* grid_;
    QWidget* window_;
    double sum_ = 0;
};

// The panel that changes one unit's quota amount in place.
class AmountPanel : public QFrame {
public:
    AmountPanel(TabParts& parts, QTableView* single, QTableView* grouped, QWidget* page)
        : QFrame(page), parts_(parts), single_(single), grouped_(grouped)
    {
        setObjectName(QStringLiteral("PannelloModificaQuota"));
        setFrameShape(QFrame::Panel);
        setAutoFillBackground(true);
        auto* row = new QHBoxLayout(this);
        edit_ = new QLineEdit(this);
        edit_->setObjectName(QStringLiteral("EditModificaQuota"));
        edit_->setAccessibleName(QStringLiteral("Importo della quota"));
        edit_->setMaximumWidth(90);
        QPushButton* confirmButton = parts.button(QStringLiteral("ConfermaModificaQuota"), QStringLiteral("Conferma"), this);
        QPushButton* cancelButton = parts.button(QStringLiteral("AnnullaModificaQuota"), QStringLiteral("Annulla"), this);
        row->addWidget(edit_);
        row->addWidget(confirmButton);
        row->addWidget(cancelButton);
        connect(confirmButton, &QPushButton::clicked, this, [this] { confirm(); });
        connect(edit_, &QLineEdit::returnPressed, this, [this] { confirm(); });
        connect(cancelButton, &QPushButton::clicked, this, [this] { close(); });
        hide();
        connect(single, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { open(index); });
    }

private:
    void open(const QModelIndex& index)
    {
        if (isVisible() || !index.isValid() || index.column() < allocation::kSingleQuotaFixedColumns)
            return;
        store::Dataset& ds = *qobject_cast<DatasetModel*>(single_->model())->dataset();
        parts_.guarded([&] {
            ds.moveTo(index.row());
            memory_ = rememberView(ds);
            unit_ = ds.value(QStringLiteral("idLocale")).toLongLong();
            quotaName_ = ds.fieldNames().value(index.column());
            const QVariant value = ds.valueAt(index.row(), index.column());
            edit_->setText(store::formatAmount(value.isNull() ? 0.0 : value.toDouble()));
        });
        setWindowEnabled(false);
        const QRect cell = single_->visualRect(index);
        adjustSize();
        move(single_->viewport()->mapTo(parentWidget(), cell.topRight() + QPoint(4, 0)));
        show();
        raise();
        edit_->setFocus();
        edit_->selectAll();
    }

    void confirm()
    {
        bool done = false;
        parts_.guarded([&] {
            const Outcome outcome = allocation::changeQuotaAmount(parts_.ws, {unit_, quotaName_, edit_->text()});
            for (const Message& message : outcome.messages)
                showMessage(parts_.window, message);
            done = outcome.done;
        });
        if (!done)
            return;
        close();
        parts_.reload();
        parts_.guarded([&] { restoreView(*qobject_cast<DatasetModel*>(single_->model())->dataset(), memory_); });
    }

    void close()
    {
        hide();
        setWindowEnabled(true);
    }

    // The main tool bars, the tabs, the condominium list and the quota views wait while the panel is open.
    void setWindowEnabled(bool on)
    {
        for (const char* name : {"ToolBar1", "ToolBar2", "ListBox1"})
            if (auto* w = parts_.window->findChild<QWidget*>(QString::fromLatin1(name)))
                w->setEnabled(on);
        if (auto* tabs = parts_.window->findChild<QTabWidget*>(QStringLiteral("PageControl1")))
            tabs->tabBar()->setEnabled(on);
        single_->setEnabled(on);
        grouped_->setEnabled(on);
    }

    TabParts& parts_;
    QTableView* single_;
    QTableView* grouped_;
    QLineEdit* edit_ = nullptr;
    ViewMemory memory_;
    qint64 unit_ = 0;
    QString quotaName_;
};

} // namespace

QWidget* buildQuoteTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const QVector<QPushButton*> modes =
        addToggleRow(parts, layout, page, {{"Bpagare", "Da pagare"}, {"Bpagato", "Pagato"}}, true);
    modes.first()->setChecked(true); // "Da pagare" down at start
    QPushButton* sum = parts.toggle(QStringLiteral("BSomma"), QStringLiteral("Somma quote"), page);
    if (auto* bar = qobject_cast<QHBoxLayout*>(layout->itemAt(layout->count() - 1)->layout()))
        bar->insertWidget(bar->count() - 1, sum);
    QTableView* grouped =
        parts.grid(QStringLiteral("DBGridQuoteAccorpate"), QStringLiteral("ADOQueryQuoteAccorpate"), page, true);
    QTableView* single = parts.grid(QStringLiteral("DBGridQuoteSingole"), QStringLiteral("ADOQueryQuoteSingole"), page);
    for (QTableView* grid : {grouped, single})
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    paintQuotaCells(grouped, allocation::kGroupedQuotaFixedColumns);
    paintQuotaCells(single, allocation::kSingleQuotaFixedColumns);
    // The detail panel under the grouped view: 800 by 200, closed at start.
    single->setFixedHeight(200);
    single->setMaximumWidth(800);
    single->hide();
    layout->addWidget(grouped);
    layout->addWidget(parts.footer(grouped->objectName()));
    layout->addWidget(single);
    new QuotaSum(sum, grouped, parts.window);
    new AmountPanel(parts, single, grouped, page);

    QObject::connect(grouped, &QTableView::doubleClicked, page, [&parts, single](const QModelIndex& index) {
        if (single->isVisible()) {
            single->hide();
            return;
        }
        parts.guarded([&] { showGroupedRowQuotas(parts.ws, index.row()); });
        single->show();
    });
    return page;
}

} // namespace velcaris::app
