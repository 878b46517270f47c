#include "window/WindowView.h"

namespace velcaris::app {

namespace {

QString storedGeneralMemo(Workspace& ws)
{
    store::Dataset& memo = ws.ds(QStringLiteral("ADOTableMemo"));
    return memo.isEmpty() ? QString() : memo.value(QStringLiteral("Memo")).toString();
}

} // namespace

WindowView refreshWindow(Workspace& ws, const WindowRequest& request)
{
    WindowView view;
    std::optional<SelectionView> chosen;
    SelectionChange change = request.change;
    QString name = request.condominium;
    if (change == SelectionChange::Refresh) {
        // After a dialog the current condominium is chosen again, under the name it has now.
        name = ws.selection.condominium;
        change = name.isEmpty() ? SelectionChange::Keep : SelectionChange::Choose;
    }
    switch (change) {
    case SelectionChange::Choose:
        chosen = chooseCondominium(ws, name);
        view.condominiumMemo = chosen->condominiumMemo;
        view.memoHighlighted = chosen->memoHighlighted;
        break;
    case SelectionChange::Clear:
        chosen = clearCondominium(ws, storedGeneralMemo(ws));
        view.memoHighlighted = chosen->memoHighlighted;
        break;
    case SelectionChange::ChangeYear:
        if (!ws.selection.condominium.isEmpty())
            changeYear(ws, request.yearName);
        break;
    case SelectionChange::Keep:
    case SelectionChange::Refresh:
        switchOffSelectionFilters(ws);
        break;
    }

    view.tab = LoadActiveTab(ws, request.tab, request.toggles);
    // Read after the tab, whose loading may move the years' dataset.
    view.caption = caption(ws);
    view.condominium = ws.selection.condominium;
    view.shortName = ws.selection.shortName;
    view.address = ws.selection.address;
    view.yearSelectorEnabled = chosen ? chosen->yearSelectorEnabled : !ws.selection.condominium.isEmpty();
    view.balances = cashbook::RicalcolaSaldi(ws);
    return view;
}

} // namespace velcaris::app
