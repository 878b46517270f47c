#include "agenda/ui/TFScadenzario.h"

#include "agenda/ui/AmountKeys.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::agenda::ui {

namespace {

using Box = app::Box<DeadlineInput>;

const Box kSoggetto{"EditSoggetto", "Soggetto", 50, &DeadlineInput::soggetto};
const Box kDescrizione{"EditDescrizione", "Descrizione", 50, &DeadlineInput::descrizione};
const Box kImporto{"EditImporto", "Importo", 20, &DeadlineInput::importo};
const Box kNote{"EditNote", "Note", 250, &DeadlineInput::note};

} // namespace

TFScadenzario::TFScadenzario(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("FScadenzario"), QStringLiteral("Scadenzario"), 420, 260)
{
    auto* form = new QFormLayout;
    condominio_ = new QLabel(this);
    condominio_->setObjectName(QStringLiteral("EditCondominio"));
    QFont bold = condominio_->font();
    bold.setBold(true);
    condominio_->setFont(bold);
    auto* condominioCaption = new QLabel(QStringLiteral("Condominio"), this);
    condominioCaption->setObjectName(QStringLiteral("LabelCondominio"));
    condominio_->setAccessibleName(condominioCaption->text());
    form->addRow(condominioCaption, condominio_);

    auto addBox = [&](const Box& box) {
        auto* edit = new QLineEdit(this);
        form->addRow(boxes_.add(box, edit, this), edit);
        return edit;
    };
    QLineEdit* soggetto = addBox(kSoggetto);
    QLineEdit* descrizione = addBox(kDescrizione);

    data_ = new QDateEdit(this);
    data_->setObjectName(QStringLiteral("EditData"));
    data_->setCalendarPopup(true);
    data_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    auto* dataCaption = new QLabel(QStringLiteral("Scadenza"), this);
    dataCaption->setObjectName(QStringLiteral("LabelData"));
    dataCaption->setBuddy(data_);
    data_->setAccessibleName(dataCaption->text());
    form->addRow(dataCaption, data_);

    QLineEdit* importo = addBox(kImporto);
    acceptAmountKeysOnly(importo);

    esito_ = new QCheckBox(QStringLiteral("Esito"), this);
    esito_->setObjectName(QStringLiteral("EditEsito"));
    form->addRow(QString(), esito_);
    QLineEdit* note = addBox(kNote);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    QPushButton* conferma = addButtons(layout, QStringLiteral("BitBtn2"), QStringLiteral("BitBtn3"));
    conferma->setDefault(true);
    app::chainTabOrder({soggetto, descrizione, data_, importo, esito_, note, conferma,
                        findChild<QPushButton*>(QStringLiteral("BitBtn3"))});
}

bool TFScadenzario::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    DeadlineInput input;
    if (ws.editMode == app::EditMode::Add) {
        input = newDeadline(ws, QDate::currentDate());
    } else {
        const std::optional<DeadlineInput> current = currentDeadline(ws);
        if (!current)
            return false;
        input = *current;
    }
    condominio_->setText(input.condominio);
    boxes_.fill(input);
    data_->setDate(input.scadenza.isValid() ? input.scadenza : QDate::currentDate());
    esito_->setChecked(input.esito);
    agenda_ = app::rememberView(ws.ds(QStringLiteral("ADOTableScadenzario")));
    boxes_.edit(&DeadlineInput::soggetto)->setFocus();
    return true;
}

void TFScadenzario::confirm()
{
    DeadlineInput input;
    boxes_.read(input);
    input.condominio = condominio_->text();
    input.scadenza = data_->date();
    input.esito = esito_->isChecked();
    app::Workspace& ws = this->ws();
    if (!runEdit([&] { return saveDeadline(ws, ws.editMode, input); }))
        return;
    finish({false, QStringLiteral("ADOTableScadenzario"), agenda_});
}

} // namespace velcaris::agenda::ui
