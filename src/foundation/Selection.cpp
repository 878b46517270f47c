#include "foundation/Selection.h"

#include "store/FilterText.h"

namespace velcaris::app {

using store::equalsTerm;

void SplitCondominiumName(Selection& selection, const QString& name)
{
    const qsizetype dash = name.indexOf(u'-');
    if (dash < 0)
        return;
    selection.shortName = name.left(std::max<qsizetype>(dash - 1, 0));
    selection.address = name.mid(dash + 2);
}

QString DateWithDots(const QString& date)
{
    return date.mid(0, 2) + u'.' + date.mid(3, 2) + u'.' + date.mid(6, 4);
}

void switchOffSelectionFilters(Workspace& ws)
{
    for (const char* name : {"ADOQueryEntrate", "ADOQueryUscite", "ADOQueryInterventi", "ADOTableCondomini"})
        ws.ds(QString::fromLatin1(name)).setFilter(QString());
}

bool locateCurrentYear(Workspace& ws)
{
    return ws.ds(QStringLiteral("ADOTableAA"))
        .locate(QStringLiteral("idCondominio;corrente"), {ws.selection.condominium, true});
}

QString currentYearName(Workspace& ws)
{
    if (ws.selection.condominium.isEmpty())
        return QString();
    // Read from the table itself: the years' register may be filtered to another condominium by
    // the Condomini tab, or hold rows read before a rename.
    return ws.mainDb()
        .scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente <> 0 "
                               "ORDER BY id LIMIT 1"),
                {ws.selection.condominium})
        .toString();
}

QString caption(Workspace& ws)
{
    if (ws.selection.condominium.isEmpty())
        return kBaseCaption;
    return kBaseCaption + QStringLiteral(" - ") + ws.selection.condominium + QStringLiteral(" - A.A. ") +
           currentYearName(ws);
}

SelectionView chooseCondominium(Workspace& ws, const QString& name)
{
    switchOffSelectionFilters(ws);
    SelectionView view;
    view.yearSelectorEnabled = true;
    ws.selection.condominium = name;
    SplitCondominiumName(ws.selection, name);
    const QString filter = equalsTerm(QStringLiteral("Condominio"), name);
    ws.ds(QStringLiteral("ADOQueryEntrate")).setFilter(filter);
    ws.ds(QStringLiteral("ADOQueryUscite")).setFilter(filter);
    ws.ds(QStringLiteral("ADOQueryInterventi")).setFilter(filter);
    store::Dataset& condomini = ws.ds(QStringLiteral("ADOTableCondomini"));
    condomini.setFilter(equalsTerm(QStringLiteral("Nome"), name));
    view.condominiumMemo = condomini.isEmpty() ? QString() : condomini.value(QStringLiteral("Memo")).toString();
    view.memoHighlighted = !view.condominiumMemo.isEmpty();
    view.caption = caption(ws);
    return view;
}

SelectionView clearCondominium(Workspace& ws, const QString& generalMemo)
{
    switchOffSelectionFilters(ws);
    ws.selection.condominium.clear();
    SelectionView view;
    view.caption = kBaseCaption;
    view.memoHighlighted = !generalMemo.isEmpty();
    return view;
}

QString changeYear(Workspace& ws, const QString& chosenName)
{
    store::Dataset& years = ws.ds(QStringLiteral("ADOTableAA"));
    years.requery();
    const QString& condominium = ws.selection.condominium;
    {
        store::Transaction tr(ws.mainDb());
        if (!ws.selection.selectedYearName.isEmpty() &&
            years.locate(QStringLiteral("idCondominio;nome"), {condominium, ws.selection.selectedYearName})) {
            years.setValue(QStringLiteral("corrente"), false);
            years.post();
        }
        if (years.locate(QStringLiteral("idCondominio;nome"), {condominium, chosenName})) {
            years.setValue(QStringLiteral("corrente"), true);
            years.post();
        }
        tr.commit();
    }
    ws.selection.selectedYearName = chosenName;
    for (const char* name : {"ADOQueryEntrate", "ADOQueryUscite", "ADOQueryPreventivi", "ADOQueryInterventi"})
        ws.ds(QString::fromLatin1(name)).requery();
    return caption(ws);
}

bool storeCondominiumMemo(Workspace& ws, const QString& text)
{
    store::Dataset& condomini = ws.ds(QStringLiteral("ADOTableCondomini"));
    if (condomini.isEmpty())
        return false;
    // Blanks and control characters at both ends go: QString::trimmed removes white space only.
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].unicode() <= 32)
        ++start;
    while (end > start && text[end - 1].unicode() <= 32)
        --end;
    const QString stored = text.mid(start, end - start);
    condomini.edit();
    condomini.setValue(QStringLiteral("Memo"), stored);
    condomini.post();
    return !stored.isEmpty();
}

bool storeGeneralMemo(Workspace& ws, const QString& text)
{
    store::Dataset& memo = ws.ds(QStringLiteral("ADOTableMemo"));
    if (memo.isEmpty()) {
        memo.append();
    } else {
        memo.first();
        memo.edit();
    }
    memo.setValue(QStringLiteral("Memo"), text);
    memo.post();
    return !text.isEmpty();
}

bool RequireYear(Workspace& ws)
{
    return ws.ds(QStringLiteral("ADOTableAA")).locate(QStringLiteral("idCondominio"), {ws.selection.condominium});
}

} // namespace velcaris::app
