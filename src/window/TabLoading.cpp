#include "window/TabLoading.h"

#include "allocation/QuotaRegister.h"
#include "allocation/QuotaSchedule.h"
#include "foundation/Selection.h"

#include "store/Crosstab.h"
#include "store/FilterText.h"
#include "store/Schema.h"

namespace velcaris::app {

using store::Dataset;
using store::StoreError;
using store::andTerms;
using store::equalsTerm;

namespace {

// Filter values that match no row while no condominium is chosen.
const QString kNoPreventivo = QStringLiteral("NULL");
const QString kNoTabelle = QStringLiteral("NNNNUUUULLLLLLLL");

QString owner() { return personDisplayNameSql(QStringLiteral("Anagrafe")); }
QString tenant() { return personDisplayNameSql(QStringLiteral("Anagrafe_1")); }

// The condominium as the WHERE parameter: NULL (equal to nothing) when none is chosen.
QVector<QVariant> condominiumParam(const QString& condominium)
{
    return {condominium.isEmpty() ? QVariant() : QVariant(condominium)};
}

CrosstabSql fromSpec(store::Database& db, const store::CrosstabSpec& layout)
{
    const store::CrosstabQuery q = store::buildCrosstab(db, layout);
    return {q.sql, q.params, q.pivotValues, int(layout.fixedColumns.size())};
}

// Rebuilds an SQL dataset. The user's sort and filter survive when the new columns still have
// their fields (a pivot column can vanish with the condominium); otherwise they are dropped.
void reopenSql(Dataset& d, const CrosstabSql& q)
{
    const QString sort = d.sort();
    const QString filter = d.filter();
    d.close();
    d.setSort(QString());
    d.setFilter(QString());
    d.setSql(q.sql, q.params);
    d.open();
    try {
        d.setFilter(filter);
    } catch (const StoreError&) {
        d.setFilter(QString());
    }
    try {
        d.setSort(sort);
    } catch (const StoreError&) {
        d.setSort(QString());
    }
}

double columnSum(Dataset& d, int column)
{
    double sum = 0;
    for (int row = 0; row < d.rowCount(); ++row) {
        const QVariant v = d.valueAt(row, column);
        if (v.isValid() && !v.isNull())
            sum += v.toDouble();
    }
    return sum;
}

// Pivot columns of a rebuilt view: the display format and a footer with the column's sum.
void formatPivots(Dataset& d, const CrosstabSql& q, const QString& grid, const QString& format, TabView& view)
{
    for (int i = 0; i < q.pivotValues.size(); ++i) {
        const QString& field = q.pivotValues[i];
        d.setDisplayFormat(field, format);
        view.footers.push_back({grid, field, format, columnSum(d, q.fixedColumns + i)});
    }
}

QString textOf(Dataset& d, const QString& field)
{
    if (d.isEmpty() || !d.hasField(field))
        return QString();
    return d.text(field);
}

const char* const kCondominioLabels[][2] = {
    {"LabelComune", "Comune"},           {"LabelCodiceFiscale", "Codice_fiscale"},
    {"LabelCC", "Conto_corrente"},       {"LabelIntestatario", "Intestatario"},
    {"LabelBanca", "Banca"},             {"LabelAscensore", "Ascensore"},
    {"LabelSezioneUrbana", "Sezione_urbana"}, {"LabelFoglio", "Foglio"},
    {"LabelParticella", "Particella"},   {"LabelSub", "Sub"},
    {"LabelZonaCensuaria", "Zona_censuaria"}, {"LabelMicrozona", "Microzona"},
};

const char* const kSmallButtons[] = {"AAaggiungi", "AAmodifica", "TBAggiungi", "TBmodifica", "TBElimina"};

bool locateCurrentYear(Dataset& aa, const QString& condominium)
{
    return aa.locate(QStringLiteral("idCondominio;corrente"), {condominium, true});
}

void loadPreventivo(Workspace& ws, TabView& view)
{
    const QString& cond = ws.selection.condominium;
    Dataset& prev = ws.ds(QStringLiteral("ADOQueryPreventivi"));
    prev.setFilter(QString());
    if (!cond.isEmpty()) {
        Dataset& aa = ws.ds(QStringLiteral("ADOTableAA"));
        view.labels[QStringLiteral("LabelAA")] =
            locateCurrentYear(aa, cond) ? aa.value(QStringLiteral("nome")).toString() : QString();
        prev.setFilter(equalsTerm(QStringLiteral("Condominio"), cond));
    } else {
        view.labels[QStringLiteral("LabelAA")] = QString();
        prev.setFilter(equalsTerm(QStringLiteral("Condominio"), kNoPreventivo));
    }
    prev.setSort(QStringLiteral("Tabella ASC,Id ASC"));
    if (!cond.isEmpty())
        view.footers.push_back({QStringLiteral("DBGridPreventivi"), QStringLiteral("Spesa"), QStringLiteral("0.00"),
                                columnSum(prev, prev.fieldIndex(QStringLiteral("Spesa")))});
}

void loadCondomini(Workspace& ws, TabView& view)
{
    const QString& cond = ws.selection.condominium;
    Dataset& aa = ws.ds(QStringLiteral("ADOTableAA"));
    Dataset& tabelle = ws.ds(QStringLiteral("ADOTableTabelle"));
    if (cond.isEmpty()) {
        for (const auto& pair : kCondominioLabels)
            view.labels[QString::fromLatin1(pair[0])] = QString();
        for (const char* label : {"LabelNome", "LabelIndirizzo", "LabelDI", "LabelDF"})
            view.labels[QString::fromLatin1(label)] = QString();
        view.approvato = false;
        for (const char* button : kSmallButtons)
            view.enabled[QString::fromLatin1(button)] = false;
        tabelle.setFilter(equalsTerm(QStringLiteral("Descrizione"), kNoTabelle));
        return;
    }

    view.yearBound = false;
    aa.setFilter(equalsTerm(QStringLiteral("IdCondominio"), cond));
    if (locateCurrentYear(aa, cond)) {
        view.yearBound = true;
        for (int row = 0; row < aa.rowCount(); ++row)
            view.years.push_back({aa.valueAt(row, QStringLiteral("id")).toLongLong(),
                                  aa.valueAt(row, QStringLiteral("nome")).toString()});
        view.currentYearId = aa.value(QStringLiteral("id")).toLongLong();
        ws.selection.selectedYearName = aa.value(QStringLiteral("nome")).toString();
    }

    // The short name and the address were split from the full name when it was chosen.
    view.labels[QStringLiteral("LabelNome")] = ws.selection.shortName;
    view.labels[QStringLiteral("LabelIndirizzo")] = ws.selection.address;

    // The selection filters ADOTableCondomini to the chosen row; locating keeps the labels right
    // when it has not (yet) done so.
    Dataset& condomini = ws.ds(QStringLiteral("ADOTableCondomini"));
    bool onRow = !condomini.isEmpty() && condomini.value(QStringLiteral("Nome")).toString() == cond;
    if (!onRow)
        onRow = condomini.locate(QStringLiteral("Nome"), {cond});
    for (const auto& pair : kCondominioLabels)
        view.labels[QString::fromLatin1(pair[0])] = onRow ? condomini.text(QString::fromLatin1(pair[1])) : QString();

    // With no current year the labels show the dataset's current row: the condominium's first year.
    view.labels[QStringLiteral("LabelDI")] = textOf(aa, QStringLiteral("data_inizio"));
    view.labels[QStringLiteral("LabelDF")] = textOf(aa, QStringLiteral("data_fine"));
    view.approvato = !aa.isEmpty() && aa.value(QStringLiteral("approvato")).toBool();

    for (const char* button : kSmallButtons)
        view.enabled[QString::fromLatin1(button)] = true;
    tabelle.setFilter(equalsTerm(QStringLiteral("Id_Condominio"), cond));
    if (tabelle.isEmpty()) {
        view.enabled[QStringLiteral("TBmodifica")] = false;
        view.enabled[QStringLiteral("TBElimina")] = false;
    }
}

void loadAnagrafe(Workspace& ws)
{
    const QString& cond = ws.selection.condominium;
    Dataset& anagrafe = ws.ds(QStringLiteral("ADOTableAnagrafe"));
    if (cond.isEmpty())
        anagrafe.setFilter(QStringLiteral("IdCondominio<>''"));
    else
        anagrafe.setFilter(equalsTerm(QStringLiteral("idCondominio"), cond));
}

void loadFornitori(Workspace& ws)
{
    const QString& cond = ws.selection.condominium;
    Dataset& fornitori = ws.ds(QStringLiteral("ADOQueryFornitori"));
    fornitori.close();
    // The previous filter must not carry over to the other source.
    fornitori.setFilter(QString());
    fornitori.setSort(QString());
    fornitori.setTableName(cond.isEmpty() ? QStringLiteral("QueryFornitoriCompleta") : QStringLiteral("QueryFornitori"));
    fornitori.open();
    if (!cond.isEmpty())
        fornitori.setFilter(equalsTerm(QStringLiteral("idCondominio"), cond));
    fornitori.setSort(QStringLiteral("Fornitore ASC"));
}

const QString kUnitFrom = QStringLiteral(
    "Tabelle INNER JOIN Millesimi ON Tabelle.Id = Millesimi.IdTabella "
    "INNER JOIN Locali AS locali ON Millesimi.IdLocale = locali.Id "
    "INNER JOIN Anagrafe ON Anagrafe.Id = locali.idProprietario "
    "INNER JOIN Anagrafe AS Anagrafe_1 ON Anagrafe_1.Id = locali.idInquilino "
    "INNER JOIN TipologieLocali ON TipologieLocali.Tipologia = locali.IdTipologia");

const QString kQuotaFrom = QStringLiteral(
    "Quote INNER JOIN Locali AS locali ON Quote.IdLocale = locali.Id "
    "INNER JOIN Anagrafe ON locali.idProprietario = Anagrafe.Id "
    "INNER JOIN Anagrafe AS Anagrafe_1 ON locali.idInquilino = Anagrafe_1.Id "
    "INNER JOIN QueryAC ON locali.IdCondominio = QueryAC.idCondominio AND Quote.AA = QueryAC.nome");

QString quotaValue(QuotaValue mode)
{
    switch (mode) {
    case QuotaValue::Due: return QStringLiteral("Quote.Importo");
    // A quota never paid may hold no ImportoPagato: it is still due in full.
    case QuotaValue::ToPay: return QStringLiteral("(COALESCE(Quote.Importo, 0) - COALESCE(Quote.ImportoPagato, 0))");
    case QuotaValue::Paid: return QStringLiteral("COALESCE(Quote.ImportoPagato, 0)");
    }
    return QString();
}

} // namespace

QString personDisplayNameSql(const QString& alias)
{
    return store::personDisplayNameSql(alias);
}

QString agendaFilter(const QString& condominium, bool esitoPositivo)
{
    const QString place = condominium.isEmpty() ? QString() : equalsTerm(QStringLiteral("Condominio"), condominium);
    return andTerms({place, esitoPositivo ? QString() : QStringLiteral("esito=false")});
}

QString interventionsFilter(const QString& condominium, bool conclusi)
{
    const QString place = condominium.isEmpty() ? QString() : equalsTerm(QStringLiteral("Condominio"), condominium);
    return andTerms({place, conclusi ? QString() : QStringLiteral("concluso=false")});
}

QVector<QPair<QString, QString>> recipientEntries(Dataset& d, bool condominiumChosen)
{
    QVector<QPair<QString, QString>> entries;
    if (!condominiumChosen)
        return entries;
    for (int row = 0; row < d.rowCount(); ++row) {
        const QString surname = d.valueAt(row, QStringLiteral("Cognome")).toString();
        const QString name = d.valueAt(row, QStringLiteral("Nome")).toString();
        entries.push_back({name.isEmpty() ? surname : surname + u' ' + name, d.valueAt(row, QStringLiteral("id")).toString()});
    }
    d.first();
    return entries;
}

QuotaValue quotaValueMode(const TabToggles& toggles)
{
    if (toggles.pagare)
        return QuotaValue::ToPay;
    if (toggles.pagato)
        return QuotaValue::Paid;
    return QuotaValue::Due;
}

CrosstabSql unitViewSql(store::Database& db, const QString& condominium, const TabToggles& toggles)
{
    store::CrosstabSpec layout;
    if (toggles.proprietario || toggles.inquilino) {
        const QString person = toggles.proprietario ? owner() : tenant();
        const QString title = toggles.proprietario ? QStringLiteral("Proprietario") : QStringLiteral("Inquilino");
        // One row per person; Locali counts the person's units, not their thousandths rows.
        layout.fixedColumns = {QStringLiteral("COUNT(DISTINCT locali.Id) AS Locali"), person + QStringLiteral(" AS ") + title};
        layout.groupBy = {person};
    } else {
        layout.fixedColumns = {
            QStringLiteral("locali.Id AS Id"), QStringLiteral("locali.IdCondominio AS IdCondominio"),
            QStringLiteral("locali.Nome AS Nome"), QStringLiteral("locali.idProprietario AS idProprietario"),
            QStringLiteral("locali.idInquilino AS idInquilino"), QStringLiteral("locali.IdTipologia AS IdTipologia"),
            QStringLiteral("locali.Piano AS Piano"), QStringLiteral("locali.Scala AS Scala"),
            QStringLiteral("locali.Foglio AS Foglio"), QStringLiteral("locali.Particella AS Particella"),
            QStringLiteral("locali.Sub AS Sub"), owner() + QStringLiteral(" AS Proprietario"),
            tenant() + QStringLiteral(" AS Inquilino"), QStringLiteral("locali.PartecipazioneORD AS PartecipazioneORD"),
            QStringLiteral("locali.PartecipazioneSTR AS PartecipazioneSTR")};
        // The people's keys are grouped too (one per unit anyway), so that their names may be shown.
        layout.groupBy = {QStringLiteral("locali.Id"), QStringLiteral("Anagrafe.Id"), QStringLiteral("Anagrafe_1.Id")};
    }
    layout.from = kUnitFrom;
    layout.where = QStringLiteral("locali.IdCondominio = ?");
    layout.params = condominiumParam(condominium);
    layout.pivot = QStringLiteral("Tabelle.Nome");
    layout.value = QStringLiteral("Millesimi.Millesimi");
    return fromSpec(db, layout);
}

CrosstabSql singleQuotaViewSql(store::Database& db, const QString& condominium, QuotaValue mode)
{
    store::CrosstabSpec layout;
    layout.fixedColumns = {QStringLiteral("Quote.IdLocale AS idLocale"), QStringLiteral("locali.idProprietario AS IdProprietario"),
                         QStringLiteral("locali.idInquilino AS IdInquilino"), QStringLiteral("locali.Nome AS Nome"),
                         QStringLiteral("locali.IdCondominio AS IdCondominio"), owner() + QStringLiteral(" AS Proprietario"),
                         tenant() + QStringLiteral(" AS Inquilino")};
    layout.groupBy = {QStringLiteral("Quote.IdLocale"), QStringLiteral("locali.idProprietario"), QStringLiteral("locali.idInquilino"),
                    QStringLiteral("locali.Nome"), QStringLiteral("locali.IdCondominio"), QStringLiteral("Anagrafe.Id"),
                    QStringLiteral("Anagrafe_1.Id")};
    layout.from = kQuotaFrom;
    layout.where = QStringLiteral("locali.IdCondominio = ?");
    layout.params = condominiumParam(condominium);
    layout.pivot = QStringLiteral("Quote.NomeQuote");
    layout.value = quotaValue(mode);
    return fromSpec(db, layout);
}

CrosstabSql groupedQuotaViewSql(store::Database& db, const QString& condominium, QuotaValue mode)
{
    store::CrosstabSpec layout;
    layout.fixedColumns = {QStringLiteral("locali.idProprietario AS IdProprietario"), QStringLiteral("locali.idInquilino AS IdInquilino"),
                         QStringLiteral("locali.IdCondominio AS Condominio"), QStringLiteral("MIN(") + owner() + QStringLiteral(") AS Proprietario"),
                         tenant() + QStringLiteral(" AS Inquilino"), QStringLiteral("COUNT(locali.Nome) AS Conteggio_locali")};
    layout.groupBy = {QStringLiteral("locali.idProprietario"), QStringLiteral("locali.idInquilino"), QStringLiteral("locali.IdCondominio"), tenant()};
    layout.from = kQuotaFrom;
    layout.where = QStringLiteral("locali.IdCondominio = ?");
    layout.params = condominiumParam(condominium);
    layout.pivot = QStringLiteral("Quote.NomeQuote");
    layout.value = quotaValue(mode);
    return fromSpec(db, layout);
}

TabView LoadActiveTab(Workspace& ws, Tab tab, const TabToggles& toggles)
{
    TabView view;
    const QString& cond = ws.selection.condominium;
    store::Database& db = ws.mainDb();

    ws.ds(QStringLiteral("ADOTableAA")).setFilter(QString());

    if (tab == Tab::Agenda)
        ws.ds(QStringLiteral("ADOTableScadenzario")).setFilter(agendaFilter(cond, toggles.esitoPositivo));
    if (tab == Tab::Memo)
        view.showCondominiumMemo = !cond.isEmpty();
    if (tab == Tab::Interventi)
        ws.ds(QStringLiteral("ADOQueryInterventi")).setFilter(interventionsFilter(cond, toggles.conclusi));
    if (tab == Tab::Preventivo)
        loadPreventivo(ws, view);
    if (tab == Tab::Condomini)
        loadCondomini(ws, view);
    if (tab == Tab::Anagrafe || tab == Tab::Stampe)
        loadAnagrafe(ws);
    if (tab == Tab::Fornitori || tab == Tab::Stampe)
        loadFornitori(ws);
    if (tab == Tab::Locali) {
        Dataset& locali = ws.ds(QStringLiteral("ADOQueryLocali"));
        const CrosstabSql q = unitViewSql(db, cond, toggles);
        reopenSql(locali, q);
        formatPivots(locali, q, QStringLiteral("DBGridLocali"), QStringLiteral("0.000"), view);
    }
    if (tab == Tab::Quote) {
        const QuotaValue mode = quotaValueMode(toggles);
        Dataset& single = ws.ds(QStringLiteral("ADOQueryQuoteSingole"));
        const CrosstabSql qs = singleQuotaViewSql(db, cond, mode);
        reopenSql(single, qs);

        Dataset& grouped = ws.ds(QStringLiteral("ADOQueryQuoteAccorpate"));
        ws.savedGroupedQuotaSort = grouped.sort();
        const CrosstabSql qg = groupedQuotaViewSql(db, cond, mode);
        reopenSql(grouped, qg);

        formatPivots(single, qs, QStringLiteral("DBGridQuoteSingole"), QStringLiteral("0.00"), view);
        formatPivots(grouped, qg, QStringLiteral("DBGridQuoteAccorpate"), QStringLiteral("0.00"), view);

        // The saved sort comes back when it still applies; otherwise the owners' order.
        if (grouped.sort().isEmpty())
            grouped.setSort(QStringLiteral("Proprietario ASC"));
        else
            grouped.setSort(ws.savedGroupedQuotaSort);

        // The columns follow the quotas of the unit selected in the single view.
        if (!cond.isEmpty() && !single.isEmpty()) {
            const QString year = allocation::currentYearOf(db, cond);
            if (!year.isEmpty())
                view.leadingQuotaColumns =
                    allocation::quotaColumnOrder(db, cond, year, single.value(QStringLiteral("idLocale")).toLongLong());
        }
    }
    if (tab == Tab::Stampe) {
        Dataset& anagrafe = ws.ds(QStringLiteral("ADOTableAnagrafe"));
        anagrafe.setSort(QStringLiteral("Cognome ASC"));
        view.personEntries = recipientEntries(anagrafe, !cond.isEmpty());
        view.supplierEntries = recipientEntries(ws.ds(QStringLiteral("ADOQueryFornitori")), !cond.isEmpty());
    }
    return view;
}

} // namespace velcaris::app
