#include "registry/ui/TFormFornitore.h"

#include "registry/NameRules.h"
#include "registry/ui/RefusingLineEdit.h"
#include "store/RowStamp.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

namespace {

using Box = app::Box<SupplierInput>;
const QString kSuppliers = QStringLiteral("ADOQueryFornitori");

store::RowStamp stampSupplier(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Fornitori"), QStringLiteral("id"), id);
}

const Box kBoxes[] = {
    {"EditCognome", "Cognome", 50, &SupplierInput::cognome},
    {"EditNome", "Nome", 50, &SupplierInput::nome},
    {"EditMobile", "Mobile", 50, &SupplierInput::mobile},
    {"EditTelefono", "Telefono", 50, &SupplierInput::telefono},
    {"EditFax", "Fax", 50, &SupplierInput::fax},
    {"EditIndirizzo", "Indirizzo", 50, &SupplierInput::indirizzo},
    {"EditCAP", "CAP", 50, &SupplierInput::cap},
    {"EditCitta", "Città", 50, &SupplierInput::citta},
    {"EditEmail", "E-Mail", 50, &SupplierInput::email},
    {"EditCodiceFiscale", "Codice fiscale", 50, &SupplierInput::codiceFiscale},
    {"EditPIVA", "Partita IVA", 50, &SupplierInput::partitaIva},
    {"EditIban", "IBAN", 50, &SupplierInput::iban},
    {"EditNote", "Note", 200, &SupplierInput::note},
};

} // namespace

TFormFornitore::TFormFornitore(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormFornitore"), QStringLiteral("Anagrafe fornitore"), 424, 445)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 110);
    outer->addLayout(grid);
    int row = 0;
    for (const Box& b : kBoxes) {
        const bool isName = b.field == &SupplierInput::cognome || b.field == &SupplierInput::nome;
        QLineEdit* edit = isName ? new RefusingLineEdit(fileNameRefusedCharacters(), this) : new QLineEdit(this);
        grid->addWidget(boxes_.add(b, edit, this), row, 0);
        grid->addWidget(edit, row++, 1);
    }
    outer->addStretch();

    QPushButton* conferma = addButtons(outer, QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"));
    auto* annulla = findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    conferma->setAutoDefault(false);
    annulla->setAutoDefault(false);
    QVector<QWidget*> order;
    for (QLineEdit* e : boxes_.edits())
        order << e;
    order << conferma << annulla;
    app::chainTabOrder(order);
}

bool TFormFornitore::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    store::Dataset& suppliers = ws.ds(kSuppliers);
    if (ws.editMode == app::EditMode::Add) {
        supplierId_.reset();
        asRead_ = {};
        fill(SupplierInput{});
    } else {
        if (!suppliers.isActive() || suppliers.recNo() < 0)
            return false;
        const qint64 id = suppliers.value(QStringLiteral("id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampSupplier(ws, id);
        const auto supplier = readSupplier(ws, id);
        if (!supplier)
            return false;
        supplierId_ = id;
        fill(*supplier);
    }
    memory_ = app::rememberView(suppliers);
    boxes_.edits().first()->setFocus();
    return true;
}

SupplierInput TFormFornitore::input() const
{
    SupplierInput s;
    boxes_.read(s);
    s.asRead = asRead_;
    return s;
}

void TFormFornitore::showRowAsNow()
{
    if (!supplierId_)
        return;
    asRead_ = stampSupplier(ws(), *supplierId_);
    // A supplier deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    if (const auto supplier = readSupplier(ws(), *supplierId_))
        fill(*supplier);
}

void TFormFornitore::confirm()
{
    // A refusal or a failure keeps the dialog open with its input.
    if (!runEdit([&] { return saveSupplier(ws(), supplierId_, input()); }))
        return;
    finish({false, kSuppliers, memory_});
}

} // namespace velcaris::registry::ui
