#include "registry/ui/TFormFornitore.h"

#include "app/ui/Messages.h"
#include "app/ui/TForm1.h"
#include "registry/NameRules.h"
#include "registry/ui/DialogParts.h"
#include "store/StoreError.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

namespace {
const QString kSuppliers = QStringLiteral("ADOQueryFornitori");

QVector<QString*> fields(SupplierInput& s)
{
    return {&s.cognome, &s.nome, &s.mobile, &s.telefono, &s.fax, &s.indirizzo, &s.cap, &s.citta,
            &s.email, &s.codiceFiscale, &s.partitaIva, &s.iban, &s.note};
}
} // namespace

TFormFornitore::TFormFornitore(app::TForm1& form) : QDialog(&form), form_(form)
{
    setObjectName(QStringLiteral("TFormFornitore"));
    makeFixedDialog(this, QStringLiteral("Anagrafe fornitore"), 424, 445);

    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 110);
    outer->addLayout(grid);
    struct Box {
        const char* name;
        const char* label;
        int limit;
        bool refusing;
    };
    const Box boxes[] = {{"EditCognome", "Cognome", 50, true},
                         {"EditNome", "Nome", 50, true},
                         {"EditMobile", "Mobile", 50, false},
                         {"EditTelefono", "Telefono", 50, false},
                         {"EditFax", "Fax", 50, false},
                         {"EditIndirizzo", "Indirizzo", 50, false},
                         {"EditCAP", "CAP", 50, false},
                         {"EditCitta", "Città", 50, false},
                         {"EditEmail", "E-Mail", 50, false},
                         {"EditCodiceFiscale", "Codice fiscale", 50, false},
                         {"EditPIVA", "Partita IVA", 50, false},
                         {"EditIban", "IBAN", 50, false},
                         {"EditNote", "Note", 200, false}};
    int row = 0;
    for (const Box& b : boxes)
        edits_ << addLabelledEdit(grid, row++, QString::fromLatin1(b.name), QString::fromUtf8(b.label), b.limit,
                                  b.refusing, this);
    outer->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* confirm = new QPushButton(QStringLiteral("Conferma"), this);
    confirm->setObjectName(QStringLiteral("BitBtn1"));
    auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    confirm->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    QList<QWidget*> order;
    for (QLineEdit* e : edits_)
        order << e;
    order << confirm << cancel;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    connect(confirm, &QPushButton::clicked, this, &TFormFornitore::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormFornitore::prepare()
{
    app::Workspace& ws = form_.workspace();
    store::Dataset& suppliers = ws.ds(kSuppliers);
    if (ws.editMode == app::EditMode::Add) {
        supplierId_.reset();
        fill(SupplierInput{});
    } else {
        if (!suppliers.isActive() || suppliers.recNo() < 0)
            return false;
        const qint64 id = suppliers.value(QStringLiteral("id")).toLongLong();
        const auto supplier = readSupplier(ws, id);
        if (!supplier)
            return false;
        supplierId_ = id;
        fill(*supplier);
    }
    memory_ = app::rememberView(suppliers);
    edits_.first()->setFocus();
    return true;
}

void TFormFornitore::run()
{
    showPrepared(this, &form_, [this] { return prepare(); });
}

SupplierInput TFormFornitore::input() const
{
    SupplierInput s;
    int i = 0;
    for (QString* f : fields(s))
        *f = edits_[i++]->text();
    return s;
}

void TFormFornitore::fill(const SupplierInput& supplier)
{
    SupplierInput copy = supplier;
    int i = 0;
    for (QString* f : fields(copy))
        putText(edits_[i++], *f);
}

void TFormFornitore::confirm()
{
    SupplierOutcome outcome;
    try {
        outcome = saveSupplier(form_.workspace(), supplierId_, input());
    } catch (const store::StoreError& e) {
        outcome.messages << e.message();
    }
    if (!outcome.done) {
        // The dialog stays open with its input.
        showRefusal(this, outcome.messages);
        return;
    }
    refreshAfterSave(form_, kSuppliers, memory_, this);
    accept();
}

} // namespace velcaris::registry::ui
