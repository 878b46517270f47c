// The Condomini tab: the chosen condominium's data, its millesimal tables (each in its own
// colour) and its administrative year with the year selector.
#include "window/RowColours.h"
#include "window/ui/tabs/TabParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

namespace {

// Caption and value label rows of a group.
void addValueRows(TabParts& parts, QFormLayout* form, QWidget* group,
                  std::initializer_list<std::pair<const char*, const char*>> rows)
{
    for (const auto& [name, text] : rows) {
        const QString caption = QString::fromUtf8(text);
        QLabel* value = parts.valueLabel(QString::fromLatin1(name), caption, group);
        auto* label = new QLabel(caption, group);
        label->setBuddy(value);
        form->addRow(label, value);
    }
}

// The small "+", "-" and "..." buttons, disabled until a condominium is chosen.
void addSmallButtons(TabParts& parts, QHBoxLayout* row, QWidget* parent,
                     std::initializer_list<std::pair<const char*, const char*>> buttons)
{
    for (const auto& [name, text] : buttons) {
        QPushButton* b = parts.button(QString::fromLatin1(name), QString::fromLatin1(text), parent);
        b->setFixedWidth(32);
        b->setEnabled(false);
        row->addWidget(b);
    }
}

} // namespace

QWidget* buildCondominiTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);

    auto* general = new QGroupBox(QStringLiteral("Dati Generali"), page);
    general->setObjectName(QStringLiteral("GroupDatiGenerali"));
    addValueRows(parts, new QFormLayout(general), general,
                 {{"LabelNome", "Nome"}, {"LabelIndirizzo", "Indirizzo"}, {"LabelComune", "Comune"},
                  {"LabelCodiceFiscale", "Codice fiscale"}, {"LabelCC", "Conto corrente"},
                  {"LabelIntestatario", "Intestatario C.C."}, {"LabelBanca", "Banca"}, {"LabelAscensore", "Ascensore"}});

    auto* tables = new QGroupBox(QStringLiteral("Tabelle millesimali"), page);
    tables->setObjectName(QStringLiteral("GroupTabelle"));
    auto* tLayout = new QVBoxLayout(tables);
    auto* tButtons = new QHBoxLayout;
    addSmallButtons(parts, tButtons, tables, {{"TBAggiungi", "+"}, {"TBElimina", "-"}, {"TBmodifica", "..."}});
    tButtons->addStretch();
    tLayout->addLayout(tButtons);
    QTableView* grid = parts.grid(QStringLiteral("DBGridTabelle"), QStringLiteral("ADOTableTabelle"), page);
    tLayout->addWidget(grid);
    store::Dataset* tabelle = &parts.ws.ds(QStringLiteral("ADOTableTabelle"));
    parts.paintRows(grid, [tabelle](int row) { return tableRowColourAt(*tabelle, row); });

    auto* cadastre = new QGroupBox(QStringLiteral("Dati Catastali"), page);
    cadastre->setObjectName(QStringLiteral("GroupDatiCatastali"));
    addValueRows(parts, new QFormLayout(cadastre), cadastre,
                 {{"LabelSezioneUrbana", "Sezione urbana"}, {"LabelFoglio", "Foglio"}, {"LabelParticella", "Particella"},
                  {"LabelSub", "Sub."}, {"LabelZonaCensuaria", "Zona censuaria"}, {"LabelMicrozona", "Microzona"}});

    auto* year = new QGroupBox(QStringLiteral("Anno amministrativo"), page);
    year->setObjectName(QStringLiteral("GroupAnnoAmministrativo"));
    auto* yForm = new QFormLayout(year);
    auto* yearRow = new QHBoxLayout;
    auto* combo = new QComboBox(year);
    combo->setObjectName(QStringLiteral("ComboAA"));
    combo->setAccessibleName(QStringLiteral("Anno Amministrativo corrente"));
    combo->setMinimumWidth(140);
    combo->setEnabled(false);
    yearRow->addWidget(combo);
    addSmallButtons(parts, yearRow, year, {{"AAaggiungi", "+"}, {"AAmodifica", "..."}});
    yearRow->addStretch();
    auto* yearLabel = new QLabel(QStringLiteral("Anno Amministrativo corrente"), year);
    yearLabel->setBuddy(combo);
    yForm->addRow(yearLabel, yearRow);
    addValueRows(parts, yForm, year, {{"LabelDI", "Data inzio"}, {"LabelDF", "Data fine"}});
    auto* approved = new QCheckBox(year);
    approved->setObjectName(QStringLiteral("CheckApprovato"));
    approved->setEnabled(false);
    approved->setAccessibleName(QStringLiteral("Bilanci approvati"));
    yForm->addRow(new QLabel(QStringLiteral("Bilanci approvati"), year), approved);

    // A building whose units, thousandths and owners are already in a spreadsheet starts from it.
    QPushButton* import = parts.button(QStringLiteral("BImportaFoglio"), QStringLiteral("Importa da foglio di calcolo"), page);
    import->setToolTip(QStringLiteral("Locali, millesimi, persone e fornitori del condominio da un file .xlsx, .ods o .csv"));
    QObject::connect(import, &QPushButton::clicked, page, [&parts] { parts.openDialog(DialogId::TFImportaFoglio, {}); });

    general->setMinimumWidth(380);
    cadastre->setMinimumWidth(380);
    layout->addWidget(general, 0, 0);
    layout->addWidget(tables, 0, 1, 2, 1);
    layout->addWidget(cadastre, 1, 0);
    layout->addWidget(year, 2, 0, 1, 2);
    layout->addWidget(import, 3, 0, Qt::AlignLeft);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 2);
    return page;
}

} // namespace velcaris::app
