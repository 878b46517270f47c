#pragma once
// The names of the dialogs: the window's commands choose one, the dialog kit opens it by this name.
#include <QString>

namespace velcaris::app {

// The data-entry and tool dialogs (their window class names).
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
    TFRendiconto,          // the year's accounts, from "Rendiconto" on the Stampe tab
    TFImportaFatture,      // the e-invoice import, from "Importa fatture elettroniche" on the Uscite tab
    TFImportaFoglio,       // the import from a spreadsheet, from the Condomini tab
};

QString dialogClassName(DialogId id);

} // namespace velcaris::app
