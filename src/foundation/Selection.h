#pragma once
// Choosing the current condominium and its current administrative year, and what follows from
// the choice: the registers' filters, the caption, the memo texts. The main window only
// forwards its events here.
#include "foundation/Workspace.h"

#include <QString>
#include <optional>

namespace velcaris::app {

inline const QString kBaseCaption = QStringLiteral("Velcaris 2014");
inline const QString kRequireYearMessage =
    QStringLiteral("E' necessario inserire prima un anno amministrativo nella linguetta \"Condomini\"");

// "Alfa - Via Roma 1" -> short name "Alfa", address "Via Roma 1" (the first "-", one blank
// assumed on each side). A name without "-" leaves both as they were.
void SplitCondominiumName(Selection& selection, const QString& name);

// "08/12/2014" -> "08.12.2014", for file names.
QString DateWithDots(const QString& date);

// What a change of selection itself decides (the window's whole view is WindowView).
struct SelectionView {
    QString caption;
    bool yearSelectorEnabled = false;
    QString condominiumMemo;       // Memo1
    bool memoHighlighted = false;
};

// Switches off the filters that a choice sets.
void switchOffSelectionFilters(Workspace& ws);
// A left-button choice of `name` in the list: the registers' filters, the short name and address,
// the memo and the caption.
SelectionView chooseCondominium(Workspace& ws, const QString& name);
// The right button: no condominium; the registers show every condominium's rows.
SelectionView clearCondominium(Workspace& ws, const QString& generalMemo);

// The current administrative year's row, located in ADOTableAA (which becomes current there).
bool locateCurrentYear(Workspace& ws);
// The name of the current condominium's current year, read from the table (empty when none).
QString currentYearName(Workspace& ws);
QString caption(Workspace& ws);

// The year selector closed on `chosenName`: the flag moves from the selected year to the chosen
// one and the registers that depend on it are re-read. Returns the new caption.
QString changeYear(Workspace& ws, const QString& chosenName);

// Key releases in the two memo editors; the result tells whether the tab is highlighted.
bool storeCondominiumMemo(Workspace& ws, const QString& text);
bool storeGeneralMemo(Workspace& ws, const QString& text);

// False when the current condominium has no administrative year at all (the caller shows
// kRequireYearMessage); the year found becomes the current row of ADOTableAA.
bool RequireYear(Workspace& ws);

} // namespace velcaris::app
