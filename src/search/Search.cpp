#include "search/Search.h"

#include "store/FilterText.h"

namespace velcaris::search {

namespace {

const QString kAttached = QStringLiteral("IdCondominio<>''");

struct Row {
    SearchKind kind;
    app::Tab tab;
    const char* mode;
    const char* dataset;
    const char* field;
    const char* condominiumField;
};

const Row kTable[] = {
    {SearchKind::Persona, app::Tab::Entrate, "Entrate_persona", "ADOQueryEntrate", "Persona", "Condominio"},
    {SearchKind::Persona, app::Tab::Uscite, "Uscite_persona", "ADOQueryUscite", "Fornitore", "Condominio"},
    {SearchKind::Persona, app::Tab::Fornitori, "Fornitori_persona", "ADOQueryFornitori", "Fornitore", "IdCondominio"},
    {SearchKind::Persona, app::Tab::Anagrafe, "Anagrafe_persona", "ADOTableAnagrafe", "Cognome", "IdCondominio"},
    {SearchKind::Quota, app::Tab::Entrate, "Entrate_quota", "ADOQueryEntrate", "Nome", "Condominio"},
    {SearchKind::Quota, app::Tab::Uscite, "Uscite_quota", "ADOQueryUscite", "Causale", "Condominio"},
    {SearchKind::Nota, app::Tab::Entrate, "Entrate_nota", "ADOQueryEntrate", "Nota", "Condominio"},
    {SearchKind::Nota, app::Tab::Uscite, "Uscite_nota", "ADOQueryUscite", "Nota", "Condominio"},
    {SearchKind::Nota, app::Tab::Fornitori, "Fornitori_nota", "ADOQueryFornitori", "Note", "IdCondominio"},
    {SearchKind::Nota, app::Tab::Anagrafe, "Anagrafe_nota", "ADOTableAnagrafe", "Note", "IdCondominio"},
};

} // namespace

std::optional<SearchTarget> searchTarget(SearchKind kind, app::Tab tab)
{
    for (const Row& row : kTable) {
        if (row.kind == kind && row.tab == tab) {
            return SearchTarget{QString::fromLatin1(row.mode), QString::fromLatin1(row.dataset),
                                QString::fromLatin1(row.field), QString::fromLatin1(row.condominiumField),
                                tab == app::Tab::Anagrafe};
        }
    }
    return std::nullopt;
}

SearchPrompt searchPrompt(SearchKind kind)
{
    switch (kind) {
    case SearchKind::Persona: return {QStringLiteral("Digita il nome"), 125};
    case SearchKind::Quota: return {QStringLiteral("Digita il nome della quota\\causale"), 68};
    case SearchKind::Nota: return {QStringLiteral("Digita la nota"), 127};
    }
    return {};
}

QString searchFilter(const SearchTarget& target, const QString& condominium, const QString& typed)
{
    const QString place = condominium.isEmpty() ? QString() : store::equalsTerm(target.condominiumField, condominium);
    if (typed.isEmpty())
        return condominium.isEmpty() && target.attachedOnly ? kAttached : place;
    return store::andTerms({place, target.attachedOnly ? kAttached : QString(), store::containsTerm(target.field, typed)});
}

bool searchMovesTotals(const SearchTarget& target)
{
    return target.dataset == QLatin1String("ADOQueryEntrate") || target.dataset == QLatin1String("ADOQueryUscite");
}

void applySearch(app::Workspace& ws, const SearchTarget& target, const QString& typed)
{
    // The statement reads the condominium's register once; each key then narrows the rows in
    // memory with the same LIKE the filter would have used (searchFilter gives the same rows).
    store::Dataset& register_ = ws.ds(target.dataset);
    const QString& condominium = ws.selection.condominium;
    const QString place = condominium.isEmpty() ? QString() : store::equalsTerm(target.condominiumField, condominium);
    const QString statement = store::andTerms({place, target.attachedOnly ? kAttached : QString()});
    if (register_.filter() != statement)
        register_.setFilter(statement);
    register_.setQuickFilter(target.field,
                             typed.isEmpty() ? QString() : u'*' + store::literalPattern(typed) + u'*');
}

} // namespace velcaris::search
