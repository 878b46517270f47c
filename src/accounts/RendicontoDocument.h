#pragma once
// "Stampa" of the rendiconto: the whole rendiconto of a year as one document merged from the
// template "Rendiconto.rtf" of the Output folder (shipped with the program) into the condominium's
// folder, with the nota sintetica esplicativa listing the pending matters for the administrator
// to complete in a word processor.
#include "accounts/PendingMatters.h"
#include "accounts/Rendiconto.h"
#include "accounts/RendicontoWorkbook.h"
#include "accounts/YearClosing.h"
#include "documents/RecordSource.h"
#include "documents/RtfReport.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::accounts {

inline const QString kRendicontoTemplate = QStringLiteral("Rendiconto");

// The variables, beside the common ones (documents/LetterVariables.h), amounts with two decimals:
//   anno, inizio, fine, stato_esercizio;
//   prev_ordinarie, cons_ordinarie, diff_ordinarie, prev_straordinarie, cons_straordinarie,
//   diff_straordinarie, prev_totale, cons_totale (the year's total expenses), diff_totale, perc_totale;
//   ripartito, non_ripartito, note_riparto (one note a line; "Nessuna." when there are none);
//   quota_riportata (the column of the previous year's conguaglio), tot_quota, tot_addebitato,
//   tot_conguaglio, tot_riportato, tot_versato, tot_morosita;
//   reg_entrate, reg_uscite, saldo_cassa, saldo_banca;
//   iniz_cassa, iniz_banca, iniz_totale, entr_cassa, entr_banca, entr_totale, giro_cassa, giro_banca,
//   giro_totale, usc_cassa, usc_banca, usc_totale, fin_cassa, fin_banca, fin_totale;
//   tot_crediti, tot_debiti, tot_ritenute, quote_addebitate, spese_effettive, risultato, esito;
//   n_interventi, n_scadenze, n_morosi, n_fornitori.
QStringList rendicontoVariableNames();

// The rows the template scans:
//   A consuntivo: Tabella, Voce, Tipo, Preventivo, Consuntivo, Differenza, Percentuale (each
//     table's lines followed by its total, Voce "Totale");
//   B riparto: Tabella, Locale, Millesimi, Ordinarie, Straordinarie, Totale (each table's units
//     followed by its total, Locale "Totale");
//   C situazione: Locale, Proprietario, Inquilino, Quota, Addebitato, Conguaglio, Riportato,
//     Versato, Morosita;
//   D registro: Data, Numero, Controparte, Descrizione, Luogo, Entrata, Uscita, SaldoCassa, SaldoBanca;
//   E crediti: Proprietario, Anno, Precedenti, Totale;
//   F debiti: Fornitore, Spese, Importo;
//   G ritenute: Mese, Codice, Importo;
//   H interventi non conclusi: Data, Contatto, Descrizione;
//   I scadenze non eseguite: Data, Soggetto, Descrizione, Importo;
//   J condomini morosi: Proprietario, Importo.
struct RendicontoSources {
    RendicontoSources(const Rendiconto& r, const PendingMatters& pending);
    RendicontoSources(const RendicontoSources&) = delete;
    RendicontoSources& operator=(const RendicontoSources&) = delete;
    // A to J, each at its first row.
    QVector<documents::RecordSource*> all();

    documents::MemoryRecordSource consuntivo, riparto, situazione, registro, crediti, debiti, ritenute, interventi,
        scadenze, morosi;
};

void addRendicontoVariables(app::Workspace& ws, documents::TRtfReport& report, const Rendiconto& r,
                            const PendingMatters& pending, const std::optional<ClosingRecord>& closing,
                            const QDate& today);

// "<Output>/<condominium>/Rendiconto <year> - <dd.MM.yyyy>.rtf" for the current condominium.
QString rendicontoDocumentPath(const app::Workspace& ws, const QString& yearName, const QDate& today);

// Merges the document (an earlier one of the same day is replaced). Refused without a current
// condominium; a template that is missing or broken is said with its path.
RendicontoFile produceRendiconto(app::Workspace& ws, documents::TRtfReport& report, const Rendiconto& r,
                                 const PendingMatters& pending, const QDate& today);

} // namespace velcaris::accounts
