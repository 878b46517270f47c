#include "agenda/ui/TFInterventi.h"

#include "dialogkit/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace velcaris::agenda::ui {

namespace {

using Box = app::Box<InterventionInput>;

const Box kContatto{"EditContatto", "Contatto", 50, &InterventionInput::contatto};
const Box kMotivo{"EditMotivo", "Motivo", 50, &InterventionInput::motivo};
const Box kDurata{"EditDurata", "Durata telefonata", 10, &InterventionInput::durata};

QLabel* boldValue(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAccessibleName(caption);
    return label;
}

QLabel* captionOf(QWidget* control, const QString& name, const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(name);
    caption->setBuddy(control);
    control->setAccessibleName(text);
    return caption;
}

} // namespace

TFInterventi::TFInterventi(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("FInterventi"), QStringLiteral("Interventi e contatti"), 430, 330)
{
    auto* form = new QFormLayout;
    condominio_ = boldValue(QStringLiteral("LabelCondominio"), QStringLiteral("Condominio"), this);
    anno_ = boldValue(QStringLiteral("LabelAnnoAmministrativo"), QStringLiteral("Anno amministrativo"), this);
    form->addRow(QStringLiteral("Condominio"), condominio_);
    form->addRow(QStringLiteral("Anno amministrativo"), anno_);

    auto addBox = [&](const Box& box, QWidget* beside = nullptr) {
        auto* edit = new QLineEdit(this);
        QLabel* caption = boxes_.add(box, edit, this);
        if (!beside) {
            form->addRow(caption, edit);
        } else {
            auto* row = new QHBoxLayout;
            row->addWidget(edit);
            row->addWidget(beside);
            row->addStretch(1);
            form->addRow(caption, row);
        }
        return edit;
    };
    QLineEdit* contatto = addBox(kContatto);
    QLineEdit* motivo = addBox(kMotivo);

    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("ComboTipoContatto"));
    tipo_->setMaxVisibleItems(20);
    form->addRow(captionOf(tipo_, QStringLiteral("LabelTipoContatto"), QStringLiteral("Tipo di contatto"), this), tipo_);

    data_ = new QDateEdit(this);
    data_->setObjectName(QStringLiteral("EditData"));
    data_->setCalendarPopup(true);
    data_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    form->addRow(captionOf(data_, QStringLiteral("LabelData"), QStringLiteral("Data"), this), data_);

    ora_ = new QTimeEdit(this);
    ora_->setObjectName(QStringLiteral("EditOra"));
    ora_->setDisplayFormat(QStringLiteral("HH.mm"));
    form->addRow(captionOf(ora_, QStringLiteral("LabelOra"), QStringLiteral("Ora"), this), ora_);

    auto* minuti = new QLabel(QStringLiteral("minuti"), this);
    minuti->setObjectName(QStringLiteral("LabelMinuti"));
    QLineEdit* durata = addBox(kDurata, minuti);
    durata->setMaximumWidth(90);

    concluso_ = new QCheckBox(QStringLiteral("Concluso"), this);
    concluso_->setObjectName(QStringLiteral("CheckConcluso"));
    form->addRow(QString(), concluso_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    QPushButton* ok = addButtons(layout, QStringLiteral("ButtonOK"), QStringLiteral("ButtonAnnulla"));
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    app::chainTabOrder({contatto, motivo, tipo_, data_, ora_, durata, concluso_, ok,
                        findChild<QPushButton*>(QStringLiteral("ButtonAnnulla"))});
}

bool TFInterventi::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    InterventionInput input;
    if (ws.editMode == app::EditMode::Add) {
        input = newIntervention(ws, QDateTime::currentDateTime());
    } else {
        const std::optional<InterventionInput> current = currentIntervention(ws);
        if (!current)
            return false;
        input = *current;
    }
    tipo_->clear();
    tipo_->addItems(contactTypes(ws));
    // A type no longer listed is still shown as stored.
    if (!input.tipoContatto.isEmpty() && tipo_->findText(input.tipoContatto) < 0)
        tipo_->addItem(input.tipoContatto);
    tipo_->setCurrentIndex(tipo_->findText(input.tipoContatto));
    condominio_->setText(input.condominio);
    anno_->setText(input.aa);
    boxes_.fill(input);
    data_->setDate(input.data.isValid() ? input.data : QDate::currentDate());
    ora_->setTime(input.ora.isValid() ? input.ora : QTime(0, 0));
    concluso_->setChecked(input.concluso);
    interventi_ = app::rememberView(ws.ds(QStringLiteral("ADOQueryInterventi")));
    boxes_.edit(&InterventionInput::contatto)->setFocus();
    return true;
}

void TFInterventi::confirm()
{
    InterventionInput input;
    boxes_.read(input);
    input.condominio = condominio_->text();
    input.aa = anno_->text();
    input.tipoContatto = tipo_->currentText();
    input.data = data_->date();
    input.ora = ora_->time();
    input.concluso = concluso_->isChecked();
    app::Workspace& ws = this->ws();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = runEdit([&] { return saveIntervention(ws, ws.editMode, input); });
    QApplication::restoreOverrideCursor();
    if (done)
        finish({false, QStringLiteral("ADOQueryInterventi"), interventi_});
}

} // namespace velcaris::agenda::ui
