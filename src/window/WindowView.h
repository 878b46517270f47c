#pragma once
// The one trip of a click on the main window: what the user did to the selection goes in, the
// whole view the window must show comes out (caption, names, memo, the active tab, the balances).
// Choosing a condominium, clearing the choice, changing the year and refreshing after a dialog
// all take this road, so the window can never show one part of a choice and not another.
#include "foundation/Selection.h"
#include "window/TabLoading.h"
#include "foundation/Workspace.h"
#include "cashbook/Balances.h"

#include <QString>
#include <optional>

namespace velcaris::app {

enum class SelectionChange {
    Choose,     // a condominium chosen in the list
    Clear,      // the right button: no condominium
    ChangeYear, // the year selector closed on another year
    Refresh,    // nothing chosen anew: the current choice read again (after a dialog wrote)
    Keep,       // a release that chose nothing: the selection's filters are switched off
};

struct WindowRequest {
    SelectionChange change = SelectionChange::Refresh;
    QString condominium; // Choose: the full name chosen
    QString yearName;    // ChangeYear: the year chosen
    Tab tab = Tab::Agenda;
    TabToggles toggles;
};

struct WindowView {
    QString caption;
    QString condominium;  // full name; empty when none is chosen
    QString shortName;
    QString address;
    bool yearSelectorEnabled = false;
    std::optional<QString> condominiumMemo; // Memo1, when the choice was (re)made
    std::optional<bool> memoHighlighted;    // the Memo tab's colour, when it may have changed
    TabView tab;
    cashbook::Balances balances;
};

// Applies the change to the workspace's selection, loads the active tab and computes the
// balances. Failures of the data store raise StoreError.
WindowView refreshWindow(Workspace& ws, const WindowRequest& request);

} // namespace velcaris::app
