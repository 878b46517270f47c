#pragma once
// Bringing the active tab of the main window up to date with the current condominium: the
// filters of the datasets each tab shows, the unit and quota crosstabs, sorts, number formats and
// footer sums. Runs without widgets: what the window must show is returned as a TabView.
#include "foundation/Tab.h"
#include "foundation/Workspace.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::app {


struct TabToggles {
    bool esitoPositivo = false; // ButtonPositivo down
    bool conclusi = false;      // ButtonConclusi down
    bool proprietario = false;  // BProprietario down
    bool inquilino = false;     // BInquilino down
    bool pagare = true;         // Bpagare down ("Da pagare")
    bool pagato = false;        // Bpagato down ("Pagato")
};

// A footer cell: the sum of one column of one grid, shown with the format.
struct FooterSum {
    QString grid;
    QString field;
    QString format;
    double sum = 0;
};

// What the window must show after loading; keys are component names.
struct TabView {
    QHash<QString, QString> labels;   // LabelNome, LabelIndirizzo, ..., LabelDI, LabelDF, LabelAA
    QHash<QString, bool> enabled;     // AAaggiungi, AAmodifica, TBAggiungi, TBmodifica, TBElimina
    std::optional<bool> approvato;    // CheckApprovato
    bool yearBound = false;           // ComboAA bound to ADOTableAA (list nome, key id)
    QVector<QPair<qint64, QString>> years; // the selector's entries (id, nome) in the dataset's order
    qint64 currentYearId = -1;
    std::optional<bool> showCondominiumMemo; // Memo tab: true -> Memo1 visible, false -> DBMemo1
    QVector<FooterSum> footers;
    // Quote tab: the quota columns that come first in both views, in this order (the selected
    // unit's quotas); the others keep their order after them.
    QStringList leadingQuotaColumns;
    // Stampe tab: the entries of the recipient lists "lista" (persons) and "ListaFornitori"
    // (suppliers), as (caption, id); set, possibly empty, only when the Stampe tab is loaded.
    std::optional<QVector<QPair<QString, QString>>> personEntries;
    std::optional<QVector<QPair<QString, QString>>> supplierEntries;
};

// The entries of a recipient list over `d`, from its first row to its last: the caption is
// Cognome, a blank and Nome (Cognome alone when Nome is empty), the id the row's id as text. No
// entries when no condominium is chosen. The dataset is left on its first row.
QVector<QPair<QString, QString>> recipientEntries(store::Dataset& d, bool condominiumChosen);

// Value summed by the quota views.
enum class QuotaValue { Due, ToPay, Paid };
QuotaValue quotaValueMode(const TabToggles& toggles);

// Loads the tab. Failures of the data store raise StoreError; the steps after it are skipped.
TabView LoadActiveTab(Workspace& ws, Tab tab, const TabToggles& toggles);

// Filter of ADOTableScadenzario ("Mostra esito positivo" down = esitoPositivo).
QString agendaFilter(const QString& condominium, bool esitoPositivo);
// Filter of ADOQueryInterventi ("Mostra conclusi" down = conclusi).
QString interventionsFilter(const QString& condominium, bool conclusi);

// A person's display name over an Anagrafe alias: the surname alone when the first name is empty
// or missing, otherwise surname, a blank and the first name.
QString personDisplayNameSql(const QString& alias);


// The crosstab statements, exposed so that their cost can be measured apart from the datasets.
// The condominium travels as the only WHERE parameter; an empty one matches no row.
struct CrosstabSql {
    QString sql;
    QVector<QVariant> params;
    QStringList pivotValues;
    int fixedColumns = 0;
};
CrosstabSql unitViewSql(store::Database& db, const QString& condominium, const TabToggles& toggles);
CrosstabSql singleQuotaViewSql(store::Database& db, const QString& condominium, QuotaValue mode);
CrosstabSql groupedQuotaViewSql(store::Database& db, const QString& condominium, QuotaValue mode);

} // namespace velcaris::app
