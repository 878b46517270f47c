#pragma once
// The "Aggiungi" and "Modifica" buttons and the small buttons of the Condomini tab: which dialog
// each opens, in which mode, according to the active tab and the selection.
#include "foundation/DialogId.h"
#include "foundation/Tab.h"
#include "foundation/Workspace.h"

#include <QString>
#include <functional>

namespace velcaris::app {


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
