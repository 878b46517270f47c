#pragma once
// What every letter and notice shares: the common variables (today's date, the condominium's
// short name, address and town, the administrator), the date stamp of file names and the
// condominium's output folder.
#include "foundation/Workspace.h"
#include "documents/RtfReport.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace velcaris::documents {

// The system's short date format: dd/mm/yyyy.
QString shortDate(const QDate& day);
// The date stamp of documents' file names: dd.mm.yyyy.
QString dateStamp(const QDate& day);

// The names added by addCommonVariables, in order (the studio's included).
const QStringList& commonVariableNames();
// Adds `data`, `condominio`, `ind_condominio`, `citta_cond`, `amministratore` and
// `cf_condominio` (its codice fiscale) for the current condominium (its short name and address
// split from its full name), and the studio's variables.
void addCommonVariables(app::Workspace& ws, TRtfReport& report, const QDate& today);

// The names added by addStudioVariables.
const QStringList& studioVariableNames();
// The administrator and the studio from the settings' section [amministratore]: amm_nome,
// amm_studio, amm_indirizzo, amm_cap, amm_citta, amm_telefono, amm_email, amm_pec, amm_cf, and
// the letterhead's three lines: intestazione (the studio, else the administrator's name),
// intestazione_indirizzo ("Via Po 3 - 10123 Torino") and intestazione_recapiti ("Tel. ... -
// e-mail ... - PEC ... - C.F. ..."). Each is empty when the settings do not give it, so that a
// template's \if(intestazione)\ leaves the letterhead out.
void addStudioVariables(TRtfReport& report);

// The opening of a letter: "Gentile Mario Rossi" (the first name before the surname), or
// "Spett.le Edil Alfa S.r.l." for a company: a name with a company's suffix (S.r.l., S.r.l.s.,
// S.p.A., S.n.c., S.a.s., S.s., Soc. coop.), or a Partita IVA and no first name.
QString salutation(const QString& surname, const QString& firstName, const QString& partitaIva = QString());
// The salutation of a person of the register (Anagrafe); "Gentile condomino" when there is none.
QString salutationOfPerson(app::Workspace& ws, qint64 personId);
void removeVariables(TRtfReport& report, const QStringList& names);

// "<Output>/<kind>.rtf"
QString templatePath(const app::Workspace& ws, const QString& kind);
// "<Output>/<condominium>/"
QString condominiumFolder(const app::Workspace& ws);
// Makes the folder a document goes to (never outside Output/); raises ReportError with the reason
// when it cannot be made.
void makeDocumentFolder(const app::Workspace& ws, const QString& folder);

} // namespace velcaris::documents
