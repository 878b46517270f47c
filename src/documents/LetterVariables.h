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

// The names added by addCommonVariables, in order.
const QStringList& commonVariableNames();
// Adds `data`, `condominio`, `ind_condominio`, `citta_cond` and `amministratore` for the current
// condominium (its short name and address split from its full name).
void addCommonVariables(app::Workspace& ws, TRtfReport& report, const QDate& today);
void removeVariables(TRtfReport& report, const QStringList& names);

// "<Output>/<kind>.rtf"
QString templatePath(const app::Workspace& ws, const QString& kind);
// "<Output>/<condominium>/"
QString condominiumFolder(const app::Workspace& ws);
// Makes the folder a document goes to (never outside Output/); raises ReportError with the reason
// when it cannot be made.
void makeDocumentFolder(const app::Workspace& ws, const QString& folder);

} // namespace velcaris::documents
