#pragma once
// The "Aggiungi" and "Modifica" buttons and the small buttons of the Condomini tab: which dialog
// each opens, in which mode, according to the active tab and the selection.
#include "app/Tab.h"
#include "app/Workspace.h"

#include <QString>
#include <functional>

namespace velcaris::app {

// The data-entry dialogs the commands open (their window class names).
enum class DialogId {
    None,
    TFormCondomini,
    TFormAssociafornitore,
    TFormFornitore,
    TFScadenzario,
    TFInterventi,
    TFormUscite,
    TFEntrateSpeciali,
    TFormPreventivo,
    TFormAnagrafe,
    TFLocali,
    TFRipartizione,
    TFormModificaQuote,
    TFormTabelle,
    TFormAA,
    TFSituazioneCondomino, // the owner statement, opened by a double click in the unit grid
    TFEntrate,             // the payment of quotas, opened by the owner statement
    TFormEmail,            // opened by the e-mail buttons of the Anagrafe and Fornitori tabs
    TFormPubbica,          // opened by "Pubblica"
    TFormRicerca,          // the search menu and window, from the "Ricerca" button
    TFormFAQ,              // the knowledge base, from the "FAQ" button
    TFormAssemblea,        // the meeting window, from "Assemblea" on the Stampe tab
};

QString dialogClassName(DialogId id);

enum class SmallButton { TBAggiungi, TBmodifica, AAaggiungi, AAmodifica };

struct CommandContext {
    Tab tab = Tab::Agenda;
    bool condominiumChosen = false;
    bool suppliersSelected = false;            // rows selected in DBGridFornitori
    std::function<bool()> requireYear;         // RequireYear, asked only where it applies
};

struct Command {
    DialogId dialog = DialogId::None;
    EditMode mode = EditMode::Add;
    bool yearMissing = false;                  // RequireYear refused: show its message
    bool prepareQuotas = false;                // the Quote tab's preparation runs first
};

Command addCommand(const CommandContext& context);
Command modifyCommand(Tab tab);
Command smallButtonCommand(SmallButton button);

// The Quote tab's preparation before the allocation dialog: the single-quota view follows the
// grouped row's tenant, unless the detail panel is open or the grouped view is empty.
void prepareQuotaAllocation(Workspace& ws, bool detailPanelOpen);
// A double click on row `row` of the grouped view: that row becomes current and the detail panel
// shows its tenant's single quotas.
void showGroupedRowQuotas(Workspace& ws, int row);

} // namespace velcaris::app
