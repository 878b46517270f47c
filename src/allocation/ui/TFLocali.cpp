#include "allocation/ui/TFLocali.h"

#include "allocation/MillesimalTables.h"
#include "dialogkit/Messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {

using Box = app::Box<UnitInput>;
const QString kUnits = QStringLiteral("ADOQueryLocali");

const Box kName = {"EditNome", "Nome", 50, &UnitInput::nome};
const Box kPlace[] = {
    {"EditPiano", "Piano", 50, &UnitInput::piano},
    {"EditScala", "Scala", 50, &UnitInput::scala},
    {"EditFoglio", "Foglio", 50, &UnitInput::foglio},
    {"EditParticella", "Particella", 50, &UnitInput::particella},
    {"EditSub", "Sub", 50, &UnitInput::sub},
};
const Box kShares[] = {
    {"EditPartecipazioneORD", "Partecipazione spese ordinarie", 3, &UnitInput::partecipazioneORD},
    {"EditPartecipazioneSTR", "Partecipazione spese straordinarie", 3, &UnitInput::partecipazioneSTR},
};

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Enter in a cell being edited keeps what was typed and confirms the dialog.
class EnterConfirms : public QStyledItemDelegate {
public:
    EnterConfirms(std::function<void()> confirm, QObject* parent)
        : QStyledItemDelegate(parent), confirm_(std::move(confirm))
    {
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && isEnter(event)) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
            confirm_();
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    std::function<void()> confirm_;
};

QComboBox* lookup(const char* name, const char* caption, QGridLayout* grid, int row, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setAccessibleName(QString::fromUtf8(caption));
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QStringLiteral("Label") + QString::fromLatin1(name).mid(8));
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    return combo;
}

} // namespace

TFLocali::TFLocali(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFLocali"), QStringLiteral("Locali"), 560, 470)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 200);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);
    int row = 0;
    auto place = [&](const Box& box, int limit = 0) {
        auto* edit = new QLineEdit(this);
        grid->addWidget(boxes_.add(box, edit, this), row, 0);
        if (limit) {
            // A short box followed by its unit.
            auto* line = new QHBoxLayout;
            edit->setFixedWidth(50);
            line->addWidget(edit);
            auto* percent = new QLabel(QStringLiteral("%"), this);
            percent->setObjectName(QStringLiteral("LabelPercento") + QString::fromLatin1(box.name).right(3));
            line->addWidget(percent);
            line->addStretch(1);
            grid->addLayout(line, row++, 1);
        } else {
            grid->addWidget(edit, row++, 1);
        }
        return edit;
    };
    QLineEdit* nome = place(kName);
    tipologia_ = lookup("DBLookupTipologia", "Tipologia", grid, row++, this);
    QVector<QWidget*> order{nome, tipologia_};
    for (const Box& box : kPlace)
        order << place(box);
    proprietari_ = lookup("DBLookupProprietari", "Proprietario", grid, row++, this);
    inquilini_ = lookup("DBLookupInquilini", "Inquilino", grid, row++, this);
    order << proprietari_ << inquilini_;
    for (const Box& box : kShares)
        order << place(box, 3);

    auto* gridLabel = new QLabel(QStringLiteral("Millesimi"), this);
    gridLabel->setObjectName(QStringLiteral("LabelMillesimi"));
    outer->addWidget(gridLabel);
    grid_ = new QTableWidget(2, 1, this);
    grid_->setObjectName(QStringLiteral("StringGridMillesimi"));
    grid_->setAccessibleName(QStringLiteral("Millesimi"));
    gridLabel->setBuddy(grid_);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setTabKeyNavigation(true);
    grid_->setFixedHeight(2 * grid_->verticalHeader()->defaultSectionSize() + 2 * grid_->frameWidth() +
                          grid_->horizontalScrollBar()->sizeHint().height());
    grid_->setItemDelegate(new EnterConfirms([this] { confirm(); }, grid_));
    grid_->installEventFilter(this);
    outer->addWidget(grid_);
    outer->addStretch(1);
    order << grid_;

    // Enter in the thousandths grid confirms: the buttons must not take it first.
    QPushButton* conferma = addButtons(outer, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    auto* annulla = findChild<QPushButton*>(QStringLiteral("BtnAnnulla"));
    conferma->setAutoDefault(false);
    annulla->setAutoDefault(false);
    order << conferma << annulla;
    app::chainTabOrder(order);

    // Choosing the owner makes them the tenant too; the tenant can be changed afterwards.
    connect(proprietari_, &QComboBox::activated, this,
            [this](int index) { choose(inquilini_, proprietari_->itemData(index)); });
}

bool TFLocali::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_ && isEnter(event)) {
        confirm();
        return true;
    }
    return EditDialog::eventFilter(watched, event);
}

void TFLocali::choose(QComboBox* combo, const QVariant& value)
{
    combo->setCurrentIndex(value.isValid() ? combo->findData(value) : -1);
}

void TFLocali::fillLists()
{
    app::Workspace& ws = this->ws();
    tipologia_->clear();
    tipologia_->addItems(unitTypes(ws));
    const QVector<PersonChoice> persons = personChoices(ws, ws.selection.condominium);
    for (QComboBox* combo : {proprietari_, inquilini_}) {
        combo->clear();
        for (const PersonChoice& p : persons)
            combo->addItem(p.persona, p.id);
    }
}

void TFLocali::buildGrid()
{
    const QVector<TableRecord> tables = condominiumTables(ws(), ws().selection.condominium);
    tableIds_.clear();
    grid_->clear();
    grid_->setColumnCount(int(tables.size()) + 1);
    grid_->setColumnWidth(0, 24);
    auto fixedCell = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(QColor(0xE8, 0xE8, 0xE8));
        return item;
    };
    grid_->setItem(0, 0, fixedCell(QString()));
    grid_->setItem(1, 0, fixedCell(QString()));
    for (int k = 1; k <= int(tables.size()); ++k) {
        const TableRecord& table = tables[k - 1];
        tableIds_ << table.id;
        auto* title = fixedCell(table.data.nome);
        title->setToolTip(table.data.descrizione);
        grid_->setItem(0, k, title);
        auto* cell = new QTableWidgetItem(QString());
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid_->setItem(1, k, cell);
        grid_->setColumnWidth(k, 90);
    }
    if (!tables.isEmpty())
        grid_->setCurrentCell(1, 1);
}

bool TFLocali::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    if (condominiumTables(ws, ws.selection.condominium).isEmpty()) {
        app::showInformation(window(), kNoTableForUnits);
        return false;
    }
    store::Dataset& units = ws.ds(kUnits);
    std::optional<UnitInput> unit;
    if (ws.editMode == app::EditMode::Add) {
        unitId_.reset();
        stamps_ = UnitInput();
        unit = newUnit(ws);
    } else {
        // The grouped views (one row per owner or tenant) name no unit.
        if (!units.isActive() || units.recNo() < 0 || !units.hasField(QStringLiteral("Id")))
            return false;
        const qint64 id = units.value(QStringLiteral("Id")).toLongLong();
        unit = stampAndRead(id);
        if (!unit)
            return false;
        unitId_ = id;
    }
    fillLists();
    buildGrid();
    fill(*unit);
    memory_ = app::rememberView(units);
    boxes_.edit(&UnitInput::nome)->setFocus();
    return true;
}

std::optional<UnitInput> TFLocali::stampAndRead(qint64 id)
{
    // Stamped before it is read: a change in between is refused later, never overwritten.
    stamps_ = UnitInput();
    stampUnit(ws(), id, stamps_);
    return readUnit(ws(), id);
}

void TFLocali::showRowAsNow()
{
    if (!unitId_)
        return;
    // A unit deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    const std::optional<UnitInput> unit = stampAndRead(*unitId_);
    if (!unit)
        return;
    // The lists and the tables too: another desk may have added a person or a table.
    fillLists();
    buildGrid();
    fill(*unit);
}

void TFLocali::fill(const UnitInput& unit)
{
    boxes_.fill(unit);
    const int type = tipologia_->findText(unit.tipologia);
    tipologia_->setCurrentIndex(type);
    // An owner or tenant that is no longer in the list leaves the choice empty.
    choose(proprietari_, unit.proprietario ? QVariant(*unit.proprietario) : QVariant());
    choose(inquilini_, unit.inquilino ? QVariant(*unit.inquilino) : QVariant());
    for (const ThousandthsCell& cell : unit.millesimi) {
        const int k = int(tableIds_.indexOf(cell.tableId)) + 1;
        if (k > 0)
            grid_->item(1, k)->setText(cell.text);
    }
}

UnitInput TFLocali::input() const
{
    UnitInput unit;
    boxes_.read(unit);
    unit.tipologia = tipologia_->currentIndex() >= 0 ? tipologia_->currentText() : QString();
    if (proprietari_->currentIndex() >= 0)
        unit.proprietario = proprietari_->currentData().toLongLong();
    if (inquilini_->currentIndex() >= 0)
        unit.inquilino = inquilini_->currentData().toLongLong();
    for (int k = 1; k <= int(tableIds_.size()); ++k)
        unit.millesimi.push_back({tableIds_[k - 1], grid_->item(1, k)->text()});
    unit.asRead = stamps_.asRead;
    unit.thousandthsAsRead = stamps_.thousandthsAsRead;
    return unit;
}

void TFLocali::confirm()
{
    app::Workspace& ws = this->ws();
    const UnitInput in = input();
    if (!runEdit([&] { return saveUnit(ws, unitId_, in); }))
        return;
    finish({false, kUnits, memory_});
}

} // namespace velcaris::allocation::ui
