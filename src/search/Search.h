#pragma once
// Narrowing a register while the user types: the register and field each kind of search looks
// in on each tab, and the filter that keeps the rows whose field contains the typed text, within
// the current condominium.
#include "foundation/Tab.h"
#include "foundation/Workspace.h"

#include <QString>
#include <optional>

namespace velcaris::search {

// The three items of the "Ricerca" menu.
enum class SearchKind { Persona, Quota, Nota };

struct SearchTarget {
    QString mode;             // "Entrate_persona", ..., "Anagrafe_nota"
    QString dataset;          // the register's dataset
    QString field;            // the field that must contain the typed text
    QString condominiumField; // the field compared with the current condominium
    bool attachedOnly = false; // persons: only those attached to some condominium
};

// What `kind` searches on `tab`; nothing where that search does not apply (for example any
// search on the Agenda tab, or the quota search on the Anagrafe tab).
std::optional<SearchTarget> searchTarget(SearchKind kind, app::Tab tab);

// The dialog's prompt and the left edge it is drawn at.
struct SearchPrompt {
    QString text;
    int left = 0;
};
SearchPrompt searchPrompt(SearchKind kind);

// The register's filter for `typed` (empty: the condominium's whole register). The typed text is
// looked for literally, letter case ignored: an apostrophe, "*", "?" or "%" is just a character.
QString searchFilter(const SearchTarget& target, const QString& condominium, const QString& typed);

// Whether the search narrows a register the totals are made of (income or expenses): only then
// do the totals change with the typed text.
bool searchMovesTotals(const SearchTarget& target);

// Applies the filter of `typed` to the target's register. The totals that follow the registers
// are the caller's to recompute (cashbook::RicalcolaSaldi).
void applySearch(app::Workspace& ws, const SearchTarget& target, const QString& typed);

} // namespace velcaris::search
