// The Stampe tab: notices to the condominium, letters to the checked persons, and the supplier
// list of the withholding reports with the monthly withholding payments.
#include "window/ui/tabs/StampeActions.h"
#include "window/ui/tabs/TaxActions.h"
#include "window/ui/tabs/TabParts.h"
#include "documents/Letters.h"
#include "documents/Notices.h"
#include "meeting/MeetingNotice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

// The meetings of the register a notice can be made for, read afresh each time the list opens
// (the condominium or the register may have changed since); the first item is "the fields below".
class MeetingChoice : public QComboBox {
public:
    MeetingChoice(Workspace& ws, QWidget* parent) : QComboBox(parent), ws_(ws)
    {
        setObjectName(QStringLiteral("AssembleaRegistro"));
        addItem(kTyped, qint64(0));
    }
    void showPopup() override
    {
        const qint64 chosen = currentData().toLongLong();
        clear();
        addItem(kTyped, qint64(0));
        try {
            if (!ws_.selection.condominium.isEmpty())
                for (const meeting::MeetingRecord& m : meeting::currentMeetings(ws_))
                    addItem(meeting::meetingCaption(m), m.id);
        } catch (const std::exception&) {
            // The register cannot be read: only the typed fields remain.
        }
        setCurrentIndex(std::max(0, findData(chosen)));
        QComboBox::showPopup();
    }

private:
    inline static const QString kTyped = QStringLiteral("Dati scritti qui sotto");
    Workspace& ws_;
};

// A drop-down list without free text and with nothing selected at start.
QComboBox* kindList(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

void addRow(QFormLayout* form, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    field->setAccessibleName(caption);
    form->addRow(label, field);
}

// The progress of a document run, shown only while it runs.
QProgressBar* hiddenGauge(const QString& name, QWidget* parent)
{
    auto* gauge = new QProgressBar(parent);
    gauge->setObjectName(name);
    gauge->setAccessibleName(QStringLiteral("Avanzamento"));
    gauge->setRange(0, 100);
    gauge->hide();
    return gauge;
}

QGroupBox* noticeGroup(TabParts& parts, QWidget* page)
{
    auto* group = new QGroupBox(QStringLiteral("Condominio"), page);
    group->setObjectName(QStringLiteral("GroupCondominio"));
    auto* form = new QFormLayout(group);

    QStringList kinds = documents::noticeKinds();
    kinds << QStringLiteral("Quadro AC") << QStringLiteral("Modello 770");
    addRow(form, QStringLiteral("Modello"), kindList(QStringLiteral("TipoModello2"), kinds, group));

    auto* year = new QLineEdit(group);
    year->setObjectName(QStringLiteral("EditAnno"));
    year->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), year));
    addRow(form, QStringLiteral("Anno"), year);

    auto* meeting = new QGroupBox(QStringLiteral("Avviso assemblea"), group);
    meeting->setObjectName(QStringLiteral("GroupAvvisoAssemblea"));
    auto* meetingForm = new QFormLayout(meeting);
    addRow(meetingForm, QStringLiteral("Assemblea del registro"), new MeetingChoice(parts.ws, meeting));
    auto* type = new QGroupBox(QStringLiteral("Assemblea"), meeting);
    type->setObjectName(QStringLiteral("TipoAssemblea"));
    auto* typeRow = new QHBoxLayout(type);
    for (const auto& [name, text] : {std::pair{"Ordinaria", "Ordinaria"}, std::pair{"Straordinaria", "Straordinaria"}}) {
        auto* radio = new QRadioButton(QString::fromLatin1(text), type);
        radio->setObjectName(QStringLiteral("TipoAssemblea") + QString::fromLatin1(name));
        typeRow->addWidget(radio);
    }
    type->findChild<QRadioButton*>(QStringLiteral("TipoAssembleaOrdinaria"))->setChecked(true);
    meetingForm->addRow(type);
    for (const auto& [date, time, caption] : {std::tuple{"DataPrima", "OraPrima", "Data 1° convocazione"},
                                              std::tuple{"DataSeconda", "OraSeconda", "Data 2° convocazione"}}) {
        auto* picker = new QDateEdit(QDate::currentDate(), meeting);
        picker->setObjectName(QString::fromLatin1(date));
        picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        picker->setCalendarPopup(true);
        addRow(meetingForm, QString::fromUtf8(caption), picker);
        auto* hour = new QLineEdit(meeting);
        hour->setObjectName(QString::fromLatin1(time));
        hour->setInputMask(QStringLiteral("09:99"));
        hour->setMaxLength(5);
        addRow(meetingForm, QStringLiteral("Ora"), hour);
    }
    auto* place = new QLineEdit(meeting);
    place->setObjectName(QStringLiteral("LuogoAssemblea"));
    place->setMaxLength(200);
    addRow(meetingForm, QStringLiteral("Luogo"), place);
    form->addRow(meeting);

    auto* memo = new QPlainTextEdit(group);
    memo->setObjectName(QStringLiteral("MemoAvviso"));
    addRow(form, QStringLiteral("Testo"), memo);

    QPushButton* print = parts.button(QStringLiteral("BStampa2"), QStringLiteral("Stampa"), group);
    form->addRow(print);
    // The meeting itself: attendance, quorum and votes.
    QPushButton* meetingButton = parts.button(QStringLiteral("BAssemblea"), QStringLiteral("Assemblea"), group);
    QObject::connect(meetingButton, &QPushButton::clicked, meetingButton,
                     [&parts] { parts.openDialog(DialogId::TFormAssemblea, {}); });
    form->addRow(meetingButton);
    // The year's accounts: consuntivo, riparto, conguagli, register, summary; closing the year.
    QPushButton* accountsButton = parts.button(QStringLiteral("BRendiconto"), QStringLiteral("Rendiconto"), group);
    QObject::connect(accountsButton, &QPushButton::clicked, accountsButton,
                     [&parts] { parts.openDialog(DialogId::TFRendiconto, {}); });
    form->addRow(accountsButton);
    // The shipped templates beside the user's own, under a new name where the user has one.
    form->addRow(parts.button(QStringLiteral("BModelliAggiornati"), QStringLiteral("Installa modelli aggiornati"), group));
    return group;
}

QGroupBox* letterGroup(TabParts& parts, QWidget* page)
{
    auto* group = new QGroupBox(QStringLiteral("Anagrafe inquilini/proprietari"), page);
    group->setObjectName(QStringLiteral("GroupAnagrafe"));
    auto* layout = new QVBoxLayout(group);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    addRow(form, QStringLiteral("Modello"), kindList(QStringLiteral("TipoModello"), documents::letterKinds(), group));
    auto* mora = new QCheckBox(QStringLiteral("Messa in mora"), group);
    mora->setObjectName(QStringLiteral("CheckBoxMora"));
    form->addRow(mora);

    // Filled by the tab's loading: one checkable entry per person, its id kept with it.
    auto* list = new QListWidget(group);
    list->setObjectName(QStringLiteral("lista"));
    addRow(form, QStringLiteral("Condomino"), list);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    for (const auto& [name, text] :
         {std::pair{"Bstampa", "Stampa"}, std::pair{"BSelTutti", "Seleziona tutto"},
          std::pair{"Button2", "Deseleziona tutto"}, std::pair{"BselPropr", "Sel. Proprietari"},
          std::pair{"BSelInq", "Sel. Inquilini"}, std::pair{"BSpiegazioneQuote", "Come è calcolata la quota"}})
        buttons->addWidget(parts.button(QString::fromLatin1(name), QString::fromUtf8(text), group));

    layout->addWidget(hiddenGauge(QStringLiteral("Gauge1"), group));
    return group;
}

// A year typed as digits only.
QLineEdit* yearEdit(const QString& name, QWidget* parent)
{
    auto* year = new QLineEdit(parent);
    year->setObjectName(name);
    year->setMaxLength(4);
    year->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), year));
    return year;
}

QGroupBox* supplierGroup(TabParts& parts, QWidget* page)
{
    auto* group = new QGroupBox(QStringLiteral("Anagrafe fornitori"), page);
    group->setObjectName(QStringLiteral("GroupFornitori"));
    auto* layout = new QVBoxLayout(group);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* year = yearEdit(QStringLiteral("EditAnnoCert"), group);
    auto* label = new QLabel(QStringLiteral("Anno di referimento"), group);
    label->setObjectName(QStringLiteral("LabelAnnoCert"));
    label->setBuddy(year);
    year->setAccessibleName(label->text());
    form->addRow(label, year);
    // Filled by the tab's loading: one checkable entry per supplier, its id kept with it.
    auto* list = new QListWidget(group);
    list->setObjectName(QStringLiteral("ListaFornitori"));
    addRow(form, QStringLiteral("Fornitori"), list);
    auto* buttons = new QGridLayout;
    layout->addLayout(buttons);
    const std::pair<const char*, const char*> named[] = {
        {"BtnStampaFornitori", "Stampa"}, {"Button1", "Seleziona tutto"}, {"Button3", "Deseleziona tutto"},
        {"SelezioneRitenute", "Seleziona fornitori con ritenuta"}};
    int i = 0;
    for (const auto& [name, text] : named) {
        buttons->addWidget(parts.button(QString::fromLatin1(name), QString::fromLatin1(text), group), i / 2, i % 2);
        ++i;
    }
    layout->addWidget(hiddenGauge(QStringLiteral("Gauge2"), group));
    return group;
}

// The monthly withholding payments of a year, per month and tax code, ready for the F24 form.
QGroupBox* f24Group(TabParts& parts, QWidget* page)
{
    auto* group = new QGroupBox(QStringLiteral("Versamenti ritenute (F24)"), page);
    group->setObjectName(QStringLiteral("GroupF24"));
    auto* layout = new QVBoxLayout(group);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    auto* year = yearEdit(QStringLiteral("EditAnnoF24"), group);
    auto* label = new QLabel(QStringLiteral("Anno"), group);
    label->setBuddy(year);
    year->setAccessibleName(QStringLiteral("Anno dei versamenti"));
    row->addWidget(label);
    row->addWidget(year);
    row->addWidget(parts.button(QStringLiteral("BtnF24"), QStringLiteral("Calcola"), group));
    row->addWidget(parts.button(QStringLiteral("BtnEsportaF24"), QStringLiteral("Esporta"), group));
    auto* grid = new QTableWidget(0, 0, group);
    grid->setObjectName(QStringLiteral("GridF24"));
    grid->setAccessibleName(QStringLiteral("Versamenti ritenute"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    layout->addWidget(grid);
    return group;
}

} // namespace

QWidget* buildStampeTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    auto* groups = new QHBoxLayout;
    outer->addLayout(groups, 1);
    groups->addWidget(noticeGroup(parts, page));
    groups->addWidget(letterGroup(parts, page), 1);
    auto* taxes = new QVBoxLayout;
    taxes->addWidget(supplierGroup(parts, page), 1);
    taxes->addWidget(f24Group(parts, page), 1);
    groups->addLayout(taxes);

    // What the document runs say beside the documents (the PDF copies).
    auto* status = new QLabel(page);
    status->setObjectName(QStringLiteral("LabelStatoStampe"));
    status->setWordWrap(true);
    outer->addWidget(status);

    connectStampeActions(parts, page);
    connectTaxActions(parts, page);
    return page;
}

} // namespace velcaris::app
