#pragma once
// Notices to the whole current condominium, one document per command, opened when written.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "documents/RtfReport.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace velcaris::documents {

inline const QString kAvvisoAssemblea = QStringLiteral("Avviso assemblea");
inline const QString kAvvisoGenerico = QStringLiteral("Avviso generico");
inline const QString kConvocazioneAssemblea = QStringLiteral("Convocazione assemblea");
inline const QString kNotificaConvocazione = QStringLiteral("Notifica convocazione assemblea");
inline const QString kNotificaVerbale = QStringLiteral("Notifica verbale assemblea");

// The five notices, in the order of the drop-down list.
const QStringList& noticeKinds();

struct NoticeRequest {
    QString kind;               // TipoModello2
    bool straordinaria = false; // TipoAssemblea's second item
    QDate data1, data2;         // DataPrima, DataSeconda
    QString ora1, ora2;         // OraPrima, OraSeconda as they stand
    QString memo;               // MemoAvviso: the agenda, one item a line, or the generic notice's text
    QDate today;
    QString luogo;              // where the meeting is held
    // The agenda's items; when empty they are the memo's lines (their own numbering, "1." or
    // "1)", and list dashes dropped, since the notice numbers them).
    QStringList agenda;
};

// The agenda of a notice, one item each, numbered by the notice.
QStringList agendaItems(const NoticeRequest& request);

struct NoticeResult {
    app::Outcome outcome;
    QString written; // the document, when one was written
};

// Writes the notice and opens it. Nothing happens without a current condominium or for a kind
// that is not a notice. A failure names the notice and its template; the variables are removed
// in every case.
NoticeResult produceNotice(app::Workspace& ws, TRtfReport& report, const NoticeRequest& request);

QString noticePath(const app::Workspace& ws, const QString& kind, const QDate& today);

} // namespace velcaris::documents
