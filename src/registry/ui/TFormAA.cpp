#include "registry/ui/TFormAA.h"

#include "foundation/Selection.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/Messages.h"
#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "registry/ui/RefusingLineEdit.h"
#include "store/RowStamp.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

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

TFormAA::TFormAA(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("FormAA"), QStringLiteral("Anno amministrativo"), 263, 205)
{
    name_ = new RefusingLineEdit(fileNameRefusedCharacters(), this);
    name_->setObjectName(QStringLiteral("EditNome"));
    // The limit is on typing: a longer stored name is shown whole, so that saving does not rename the year.
    app::limitTyping(name_, 50);
    start_ = datePicker(QStringLiteral("DataInizio"), this);
    end_ = datePicker(QStringLiteral("DataFine"), this);
    approved_ = new QCheckBox(QStringLiteral("Bilanci approvati"), this);
    approved_->setObjectName(QStringLiteral("CheckApprovato"));
    import_ = new QCheckBox(QStringLiteral("Importa preventivo da A.A. precedente"), this);
    import_->setObjectName(QStringLiteral("CheckImportaPreventivo"));

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

    // The dialog is small: narrow margins leave the captions room.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(grid);
    layout->addStretch(1);
    QPushButton* conferma = addButtons(layout, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(true);
    app::chainTabOrder({name_, start_, end_, approved_, conferma, findChild<QPushButton*>(QStringLiteral("BtnAnnulla")),
                        import_});
}

bool TFormAA::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    if (ws.selection.condominium.isEmpty()) {
        app::showInformation(window(), kChooseCondominiumFirst);
        return false;
    }
    asRead_ = {};
    if (ws.editMode == app::EditMode::Add) {
        app::putText(name_, QString());
        start_->setDate(QDate::currentDate());
        end_->setDate(QDate::currentDate());
        import_->setEnabled(true);
        import_->setChecked(true);
        // "Bilanci approvati" keeps its last state.
    } else {
        const std::optional<YearRecord> year = readStamped();
        if (!year) {
            app::showInformation(window(), app::kRequireYearMessage);
            return false;
        }
        fill(year->data);
        import_->setChecked(false);
        import_->setEnabled(false);
    }
    budget_ = app::rememberView(ws.ds(QStringLiteral("ADOQueryPreventivi")));
    name_->setFocus();
    return true;
}

std::optional<YearRecord> TFormAA::readStamped()
{
    const std::optional<YearRecord> located = currentYear(ws());
    if (!located)
        return std::nullopt;
    // Stamped before it is read: a change in between is refused later, never overwritten.
    asRead_ = store::stampRow(ws().mainDb(), QStringLiteral("AnnoAmministrativo"), QStringLiteral("id"), located->id);
    return currentYear(ws());
}

void TFormAA::fill(const YearInput& year)
{
    app::putText(name_, year.name);
    start_->setDate(year.start.isValid() ? year.start : QDate::currentDate());
    end_->setDate(year.end.isValid() ? year.end : QDate::currentDate());
    approved_->setChecked(year.approved);
}

void TFormAA::showRowAsNow()
{
    if (!asRead_.isSet())
        return;
    // The year current now, which another desk may have made current meanwhile; without one the
    // input stays shown and "Annulla" closes the dialog.
    if (const std::optional<YearRecord> year = readStamped())
        fill(year->data);
}

YearInput TFormAA::input() const
{
    YearInput input;
    input.name = name_->text();
    input.start = start_->date();
    input.end = end_->date();
    input.approved = approved_->isChecked();
    input.importBudget = ws().editMode == app::EditMode::Add && import_->isChecked();
    input.asRead = asRead_;
    return input;
}

void TFormAA::confirm()
{
    app::Workspace& ws = this->ws();
    const YearInput in = input();
    if (!runEdit([&] { return ws.editMode == app::EditMode::Add ? addYear(ws, in) : modifyYear(ws, in); }))
        return;
    // The refresh of a change of year: caption, selector, registers and totals.
    finish({false, QStringLiteral("ADOQueryPreventivi"), budget_});
}

} // namespace velcaris::registry::ui
