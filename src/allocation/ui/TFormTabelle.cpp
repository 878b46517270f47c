#include "allocation/ui/TFormTabelle.h"

#include "dialogkit/Messages.h"
#include "registry/Condominiums.h"
#include "store/RowStamp.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {

using Box = app::Box<TableInput>;
const QString kTables = QStringLiteral("ADOTableTabelle");

const Box kBoxes[] = {
    {"Edit1", "Nome tabella", 50, &TableInput::nome},
    {"Edit2", "Descrizione", 50, &TableInput::descrizione},
};

app::Rgb rgbOf(const QColor& c)
{
    return {c.red(), c.green(), c.blue()};
}

QColor colorOf(const app::Rgb& c)
{
    return QColor(c.red, c.green, c.blue);
}

app::Rgb named(const char* name)
{
    return *app::colourFromText(QString::fromLatin1(name));
}

store::RowStamp stampTable(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Tabelle"), QStringLiteral("Id"), id);
}

} // namespace

TFormTabelle::TFormTabelle(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormTabelle"), QStringLiteral("Nuova tabella"), 330, 170)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 90);
    outer->addLayout(grid);
    int row = 0;
    for (const Box& box : kBoxes) {
        auto* edit = new QLineEdit(this);
        grid->addWidget(boxes_.add(box, edit, this), row, 0);
        grid->addWidget(edit, row++, 1);
    }

    swatch_ = new QPushButton(this);
    swatch_->setObjectName(QStringLiteral("Panel1"));
    swatch_->setAccessibleName(QStringLiteral("Colore"));
    swatch_->setToolTip(QStringLiteral("Fare clic per scegliere il colore"));
    swatch_->setAutoDefault(false);
    swatch_->setFixedHeight(24);
    auto* colourLabel = new QLabel(QStringLiteral("Colore"), this);
    colourLabel->setObjectName(QStringLiteral("LabelPanel1"));
    colourLabel->setBuddy(swatch_);
    grid->addWidget(colourLabel, row, 0);
    grid->addWidget(swatch_, row++, 1);
    outer->addStretch(1);

    chooser_ = new QColorDialog(this);
    chooser_->setObjectName(QStringLiteral("ColorDialog1"));
    chooser_->setOption(QColorDialog::DontUseNativeDialog);
    chooser_->setWindowTitle(QStringLiteral("Colore della tabella"));
    connect(chooser_, &QColorDialog::colorSelected, this, [this](const QColor& c) {
        if (!c.isValid())
            return;
        lastChosen_ = rgbOf(c);
        showColour(*lastChosen_);
    });
    connect(swatch_, &QPushButton::clicked, this, &TFormTabelle::chooseColour);

    QPushButton* conferma = addButtons(outer, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(true);
    auto* annulla = findChild<QPushButton*>(QStringLiteral("BtnAnnulla"));
    const QVector<QLineEdit*> edits = boxes_.edits();
    app::chainTabOrder({edits[0], edits[1], swatch_, conferma, annulla});
    showColour(named("clAqua"));
}

void TFormTabelle::showColour(const app::Rgb& colour)
{
    colour_ = colour;
    const QColor c = colorOf(colour);
    swatch_->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #606060; }")
                               .arg(c.name()));
    swatch_->setAccessibleDescription(app::colourToText(colour));
}

void TFormTabelle::chooseColour()
{
    chooser_->setCurrentColor(colorOf(lastChosen_.value_or(named("clBlue"))));
    // Choosing repaints the swatch (colorSelected); cancelling leaves it.
    if (blocking())
        chooser_->exec();
    else
        chooser_->open();
}

bool TFormTabelle::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(window(), registry::kChooseCondominiumFirst);
        return false;
    }
    store::Dataset& tables = ws.ds(kTables);
    if (ws.editMode == app::EditMode::Add) {
        tableId_.reset();
        asRead_ = {};
        boxes_.fill(TableInput{});
        showColour(named("clAqua"));
    } else {
        if (!tables.isActive() || tables.recNo() < 0)
            return false;
        const qint64 id = tables.value(QStringLiteral("Id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampTable(ws, id);
        const std::optional<TableRecord> table = readTable(ws, id);
        if (!table)
            return false;
        tableId_ = table->id;
        fill(table->data);
    }
    memory_ = app::rememberView(tables);
    boxes_.edits().first()->setFocus();
    return true;
}

void TFormTabelle::fill(const TableInput& table)
{
    boxes_.fill(table);
    // A colour that cannot be read shows as a new table's.
    showColour(app::colourFromText(table.colore).value_or(named("clAqua")));
}

void TFormTabelle::showRowAsNow()
{
    if (!tableId_)
        return;
    asRead_ = stampTable(ws(), *tableId_);
    // A table deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    if (const std::optional<TableRecord> table = readTable(ws(), *tableId_))
        fill(table->data);
}

void TFormTabelle::confirm()
{
    app::Workspace& ws = this->ws();
    TableInput input;
    boxes_.read(input);
    input.colore = app::colourToText(colour_);
    input.asRead = asRead_;
    if (!runEdit([&] { return tableId_ ? modifyTable(ws, *tableId_, input) : addTable(ws, input); }))
        return;
    finish({false, kTables, memory_});
}

} // namespace velcaris::allocation::ui
