#include "registry/ui/TFormAA.h"

#include "app/Selection.h"
#include "app/ui/Messages.h"
#include "app/ui/RefusingLineEdit.h"
#include "app/ui/TForm1.h"
#include "registry/AdministrativeYears.h"
#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "registry/ui/DialogParts.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry {

namespace {

QDateEdit* datePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return picker;
}

} // namespace

TFormAA::TFormAA(app::TForm1& form) : QDialog(&form), form_(form)
{
    setObjectName(QStringLiteral("FormAA"));
    ui::makeFixedDialog(this, QStringLiteral("Anno amministrativo"), 263, 205);

    name_ = new app::RefusingLineEdit(fileNameRefusedCharacters(), this);
    name_->setObjectName(QStringLiteral("EditNome"));
    // The limit is on typing: a longer stored name is shown whole, so that saving does not rename the year.
    ui::limitTyping(name_, 50);
    start_ = datePicker(QStringLiteral("DataInizio"), this);
    end_ = datePicker(QStringLiteral("DataFine"), this);
    approved_ = new QCheckBox(QStringLiteral("Bilanci approvati"), this);
    approved_->setObjectName(QStringLiteral("CheckApprovato"));
    import_ = new QCheckBox(QStringLiteral("Importa preventivo da A.A. precedente"), this);
    import_->setObjectName(QStringLiteral("CheckImportaPreventivo"));
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    conferma->setDefault(true);
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BtnAnnulla"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setColumnStretch(1, 1);
    const std::pair<const char*, QWidget*> labelled[] = {
        {"Anno Amministrativo", name_}, {"Data di inizio", start_}, {"Data di fine", end_}};
    int row = 0;
    for (const auto& [text, control] : labelled) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setObjectName(QStringLiteral("Label") + control->objectName());
        label->setBuddy(control);
        control->setAccessibleName(label->text());
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + 6);
        grid->addWidget(label, row, 0);
        control->setMinimumWidth(90);
        control->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        grid->addWidget(control, row, 1);
        ++row;
    }
    grid->addWidget(approved_, row++, 0, 1, 2);
    grid->addWidget(import_, row++, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(conferma);
    buttons->addWidget(annulla);
    // The dialog is small: narrow margins leave the captions room.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    QWidget* order[] = {name_, start_, end_, approved_, conferma, annulla, import_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(conferma, &QPushButton::clicked, this, &TFormAA::confirm);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormAA::prepare()
{
    app::Workspace& ws = form_.workspace();
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(&form_, kChooseCondominiumFirst);
        return false;
    }
    if (ws.editMode == app::EditMode::Add) {
        ui::putText(name_, QString());
        start_->setDate(QDate::currentDate());
        end_->setDate(QDate::currentDate());
        import_->setEnabled(true);
        import_->setChecked(true);
        // "Bilanci approvati" keeps its last state.
    } else {
        std::optional<YearRecord> year;
        try {
            year = currentYear(ws);
        } catch (const store::StoreError& e) {
            app::showFailure(&form_, e.message());
            return false;
        }
        if (!year) {
            app::showInformation(&form_, app::kRequireYearMessage);
            return false;
        }
        ui::putText(name_, year->data.name);
        start_->setDate(year->data.start.isValid() ? year->data.start : QDate::currentDate());
        end_->setDate(year->data.end.isValid() ? year->data.end : QDate::currentDate());
        approved_->setChecked(year->data.approved);
        import_->setChecked(false);
        import_->setEnabled(false);
    }
    if (ws.hasDataset(QStringLiteral("ADOQueryPreventivi")))
        budget_ = app::rememberView(ws.ds(QStringLiteral("ADOQueryPreventivi")));
    name_->setFocus();
    return true;
}

void TFormAA::confirm()
{
    app::Workspace& ws = form_.workspace();
    YearInput input;
    input.name = name_->text();
    input.start = start_->date();
    input.end = end_->date();
    input.approved = approved_->isChecked();
    input.importBudget = ws.editMode == app::EditMode::Add && import_->isChecked();

    if (!ui::runEdit(this, [&] { return ws.editMode == app::EditMode::Add ? addYear(ws, input) : modifyYear(ws, input); }))
        return;

    accept();
    // The refresh of a change of year: caption, selector, registers and totals.
    form_.selectCondominium(ws.selection.condominium);
    try {
        app::restoreView(ws.ds(QStringLiteral("ADOQueryPreventivi")), budget_);
    } catch (const store::StoreError& e) {
        app::showFailure(&form_, e.message());
    }
}

} // namespace velcaris::registry
