#pragma once
// What a dialog gets from the main window, and what it gives back. A dialog reads and writes
// through the workspace and reports what it changed through one callback; it never reaches into
// the window.
#include "foundation/DialogId.h"
#include "foundation/Tab.h"
#include "foundation/ViewMemory.h"
#include "foundation/Workspace.h"
#include "foundation/PaymentDraft.h"

#include <QString>
#include <QVector>
#include <functional>
#include <optional>

class QWidget;

namespace velcaris::app {

// The person whose owner statement opens when it is not the one of the unit chosen in the Locali
// grid (the Entrate tab's "Incassa quote").
struct StatementPerson {
    qint64 id = 0;
    bool owner = true;  // the statement of what the person owns; of what the person rents otherwise
    QString name;       // as the statement shows it
    QString units;      // the person's units in that role, for the statement's "Locale"
};

// What the window knows at the moment a dialog opens, beyond the workspace.
struct DialogRequest {
    QVector<qint64> selectedSuppliers; // ids of the rows selected in DBGridFornitori, in order
    QVector<qint64> selectedPersons;   // Ids of the rows selected in DBGridAnagrafe, in order
    QString recipientMode;             // the e-mail button pressed: "tutti", "selezionatiFornitori", ...
    Tab tab = Tab::Agenda;             // the active tab
    QWidget* anchor = nullptr;         // the toolbar button that opened a tool window, if any
    app::PaymentDraft payment;    // the quotas the owner statement hands to the payment dialog
    QString quotaColumn;               // the quota column selected in DBGridQuoteAccorpate, if any
    std::optional<StatementPerson> statementPerson; // the statement's person, when chosen by name
};

// What a dialog changed: the window turns it into its refresh (the current condominium chosen
// again, the active tab reloaded, the balances recomputed).
struct Change {
    bool condominiumList = false; // a condominium was added or renamed: the list is filled again
    QString dataset;              // the register the dialog worked on, given back its sort and row
    ViewMemory memory;
    bool totalsOnly = false;      // the registers keep their filters: only the totals are recomputed
    bool showQuotasDue = false;   // quotas were written: the quota register shows what is due ("Da pagare" released)
};

using ChangeReport = std::function<void(const Change&)>;
using OpenDialog = std::function<void(const DialogRequest&)>;
using RegisterDialog = std::function<void(DialogId, OpenDialog)>;

struct DialogContext {
    Workspace* workspace = nullptr;
    QWidget* window = nullptr; // the dialogs' parent, over which preparation failures are shown
    ChangeReport changed;
    // Opens another registered dialog (the owner statement opens the payment dialog this way);
    // true when that dialog reported a change before it closed.
    std::function<bool(DialogId, const DialogRequest&)> open;
};

} // namespace velcaris::app
