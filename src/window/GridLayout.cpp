#include "window/GridLayout.h"

#include "allocation/QuotaRegister.h"

namespace velcaris::app {

namespace {

ColumnSetting hide(const char* field) { return {QString::fromUtf8(field), true, -1, QString()}; }
ColumnSetting width(const char* field, int w, const char* title = nullptr)
{
    return {QString::fromUtf8(field), false, w, title ? QString::fromUtf8(title) : QString()};
}
// A column of amounts: the window makes it as wide as the widest amount in the grid's font.
ColumnSetting amount(const char* field, const char* title = nullptr)
{
    ColumnSetting s = width(field, -1, title);
    s.amount = true;
    return s;
}

void hideAll(GridLayout& g, std::initializer_list<const char*> fields)
{
    for (const char* f : fields)
        g.settings << hide(f);
}

GridLayout agenda()
{
    GridLayout g{QStringLiteral("DBGridScadenzario"), {}};
    g.rowIndicator = false;
    g.settings << hide("Id") << width("Condominio", 200) << width("Soggetto", 200) << width("Descrizione", 250)
               << width("DataScadenza", 80) << amount("Importo") << width("Esito", 30) << width("Note", 200);
    return g;
}

GridLayout interventi()
{
    GridLayout g{QStringLiteral("DBGridInterventi"), {}};
    g.settings << hide("Id") << width("Condominio", 200) << hide("AA") << width("Contatto", 200)
               << width("Descrizione", 400) << width("TipoContatto", 90) << width("Data", 70) << width("Ora", 70)
               << width("Durata", 50) << width("Concluso", 50);
    return g;
}

GridLayout entrate()
{
    GridLayout g{QStringLiteral("DBGridEntrate"), {}};
    hideAll(g, {"Id", "IdPersona", "AA"});
    g.settings << width("Condominio", 200) << width("Persona", 200) << width("TipoMovimento", 100, "Tipo di movimento")
               << amount("Importo") << width("Nome", 150, "Nome quota") << width("Data", 85, "Data pagamento")
               << width("Ricevuta", 50) << width("MetodoPagamento", 110, "Metodo di pagamento")
               << width("Tipologia", 115, "Tipologia di pagamento") << width("Nota", 200);
    return g;
}

GridLayout uscite()
{
    GridLayout g{QStringLiteral("DBGridUscite"), {}};
    hideAll(g, {"Id", "IdFornitore", "TipoMovimento", "ImportoLordo", "Tabella", "AA", "ImponibileIVA", "IVA",
                "DataFattura", "ImportoNetto", "RitenuteOperate", "Interessi", "PeriodoRiferimento", "Ravvedimento",
                "CodTributo", "DataRitenuta", "Commissione", "MetodoRitenuta", "ImportoFattura", "Cognome", "Nome"});
    g.settings << width("Condominio", 200) << width("Fornitore", 200) << amount("TotaleUscito", "Importo")
               << width("Causale", 200) << width("DataPagamento", 90, "Data pagamento")
               << width("NumFattura", 70, "Num. fattura") << width("Pagamento", 110, "Metodo di pagamento")
               << width("Tipologia", 115, "Tipologia di pagamento") << width("TipoSpesa", 200, "Tipo di spesa")
               << width("scala", 70) << width("pagato", 70) << width("Nota", 200);
    return g;
}

GridLayout preventivo()
{
    GridLayout g{QStringLiteral("DBGridPreventivi"), {}};
    g.sortable = false; // title buttons, but no sorting
    hideAll(g, {"Id", "Condominio", "AA", "Unito"});
    g.settings << width("DescrizioneVoceSpesa", 200, "Descrizione di spesa") << amount("Spesa") << width("Tabella", 60)
               << amount("TotaleParziale", "Totali parziali");
    return g;
}

GridLayout condomini()
{
    GridLayout g{QStringLiteral("DBGridTabelle"), {}};
    hideAll(g, {"Id", "Proprietà", "Colore", "Id_Condominio"});
    g.settings << width("Nome", 60) << width("Descrizione", 200);
    return g;
}

GridLayout anagrafe()
{
    GridLayout g{QStringLiteral("DBGridAnagrafe"), {}};
    g.multiSelect = true;
    g.settings << hide("Id") << width("IdCondominio", 200, "Condominio") << width("Cognome", 100) << width("Nome", 100)
               << width("Indirizzo", 150) << width("CAP", 35) << width("Città", 80, "Città") << width("Email", 120, "E-Mail")
               << width("Telefono", 80) << width("Mobile", 80, "Cellulare") << width("Fax", 80)
               << width("CodiceFiscale", 125, "Codice fiscale") << width("Comunicazioni", 85) << width("Consiglio", 50)
               << width("Userid", 40, "User") << width("Password", 55, "Password") << width("Note", 200);
    return g;
}

GridLayout fornitori(bool completa)
{
    GridLayout g{QStringLiteral("DBGridFornitori"), {}};
    g.multiSelect = true;
    hideAll(g, {"Id", "Cognome", "Nome"});
    g.settings << width("Fornitore", 200) << width("Email", 120) << width("Telefono", 80) << width("Fax", 80)
               << width("Mobile", 80) << width("Indirizzo", 150) << width("CAP", 35) << width("Città", 80)
               << width("CodiceFiscale", 125, "Codice fiscale") << width("PartitaIVA", 80, "P. IVA")
               << width("IBAN", 200) << width("Note", 200, "Nota");
    // Every supplier of the office lists its condominiums; within one condominium the column says nothing.
    if (!completa)
        g.settings << hide("IdCondominio");
    return g;
}

GridLayout locali(const TabToggles& t)
{
    GridLayout g{QStringLiteral("DBGridLocali"), {}};
    g.wholeRowSelection = false;
    g.movableColumns = false;
    if (t.proprietario || t.inquilino) {
        ColumnSetting first;
        first.position = 0;
        first.hidden = true;
        ColumnSetting second;
        second.position = 1;
        second.width = 150;
        g.settings << first << second;
        return g;
    }
    hideAll(g, {"Id", "IdCondominio", "IdProprietario", "IdInquilino"});
    g.settings << width("Nome", 50) << width("IdTipologia", 80, "Tipologia") << width("Piano", 40) << width("Scala", 40)
               << width("Proprietario", 150) << width("Inquilino", 150) << width("PartecipazioneORD", 40, "% ORD")
               << width("PartecipazioneSTR", 40, "% STR") << width("Foglio", 40) << width("Particella", 50)
               << width("Sub", 40);
    return g;
}

QVector<GridLayout> quote()
{
    GridLayout single{QStringLiteral("DBGridQuoteSingole"), {}};
    GridLayout grouped{QStringLiteral("DBGridQuoteAccorpate"), {}};
    for (GridLayout* g : {&single, &grouped}) {
        g->wholeRowSelection = false;
        g->movableColumns = false;
        g->rowIndicator = false;
    }
    single.amountsFrom = allocation::kSingleQuotaFixedColumns;
    grouped.amountsFrom = allocation::kGroupedQuotaFixedColumns;
    hideAll(single, {"IdLocale", "IdProprietario", "IdInquilino", "IdCondominio", "Inquilino"});
    single.settings << width("Nome", 50) << width("Proprietario", 150) << width("Inquilino", 150);
    hideAll(grouped, {"IdProprietario", "IdInquilino", "Condominio"});
    grouped.settings << width("Proprietario", 150) << width("Inquilino", 150) << hide("Conteggio_Locali");
    return {single, grouped};
}

struct SortKey {
    QString field;
    bool descending = false;
};

QString bare(QString field)
{
    field = field.trimmed();
    if (field.startsWith(u'[') && field.endsWith(u']'))
        field = field.mid(1, field.size() - 2);
    return field;
}

QVector<SortKey> parseSort(const QString& sort)
{
    QVector<SortKey> keys;
    for (const QString& part : sort.split(u',', Qt::SkipEmptyParts)) {
        QString item = part.trimmed();
        SortKey key;
        if (item.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
            key.descending = true;
            item.chop(5);
        } else if (item.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
            item.chop(4);
        }
        key.field = bare(item);
        if (!key.field.isEmpty())
            keys << key;
    }
    return keys;
}

QString writeSort(const QVector<SortKey>& keys)
{
    QStringList parts;
    for (const SortKey& k : keys) {
        const bool plain = !k.field.contains(u' ') && !k.field.contains(u',');
        parts << (plain ? k.field : u'[' + k.field + u']') + (k.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    }
    return parts.join(u',');
}

bool sameField(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

QVector<GridLayout> gridLayouts(Tab tab, const TabToggles& toggles, bool fornitoriCompleta)
{
    switch (tab) {
    case Tab::Agenda: return {agenda()};
    case Tab::Interventi: return {interventi()};
    case Tab::Condomini: return {condomini()};
    case Tab::Preventivo: return {preventivo()};
    case Tab::Entrate: return {entrate()};
    case Tab::Uscite: return {uscite()};
    case Tab::Fornitori: return {fornitori(fornitoriCompleta)};
    case Tab::Anagrafe: return {anagrafe()};
    case Tab::Locali: return {locali(toggles)};
    case Tab::Quote: return quote();
    case Tab::Memo:
    case Tab::Stampe: return {};
    }
    return {};
}

QVector<ColumnView> resolveColumns(const GridLayout& layout, const QStringList& fieldNames)
{
    QVector<ColumnView> columns;
    columns.reserve(fieldNames.size());
    for (const QString& field : fieldNames)
        columns.push_back({field, false, -1, field, layout.amountsFrom >= 0 && columns.size() >= layout.amountsFrom});
    for (const ColumnSetting& s : layout.settings) {
        for (int i = 0; i < columns.size(); ++i) {
            const bool match = s.position >= 0 ? i == s.position : sameField(columns[i].field, s.field);
            if (!match)
                continue;
            if (s.hidden)
                columns[i].hidden = true;
            if (s.width >= 0)
                columns[i].width = s.width;
            if (!s.title.isEmpty())
                columns[i].title = s.title;
            if (s.amount)
                columns[i].amount = true;
            break; // the first column of that name, as a look-up by name finds it
        }
    }
    return columns;
}

QStringList exportedFields(const GridLayout& layout, const QStringList& fieldNames)
{
    QStringList fields;
    for (const ColumnView& c : resolveColumns(layout, fieldNames))
        if (!c.hidden)
            fields << c.field;
    return fields;
}

QString sortAfterTitleClick(const QString& currentSort, const QString& field, bool combine)
{
    QVector<SortKey> keys = parseSort(currentSort);
    const QString name = bare(field);
    if (!combine) {
        const bool toggle = !keys.isEmpty() && sameField(keys.first().field, name);
        return writeSort({{name, toggle && !keys.first().descending}});
    }
    for (SortKey& k : keys) {
        if (sameField(k.field, name)) {
            k.descending = !k.descending;
            return writeSort(keys);
        }
    }
    keys.push_back({name, false});
    return writeSort(keys);
}

} // namespace velcaris::app
