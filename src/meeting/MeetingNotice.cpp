#include "meeting/MeetingNotice.h"

#include "meeting/Meetings.h"
#include "meeting/Resolutions.h"

namespace velcaris::meeting {

documents::NoticeRequest noticeFromMeeting(app::Workspace& ws, qint64 meetingId, const documents::NoticeRequest& typed)
{
    const std::optional<MeetingRecord> meeting = readMeeting(ws, meetingId);
    if (!meeting || meeting->condominium != ws.selection.condominium)
        return typed;
    documents::NoticeRequest rq = typed;
    const MeetingInput& m = meeting->data;
    rq.straordinaria = m.straordinaria;
    rq.luogo = m.luogo;
    if (m.call == Call::First) {
        rq.data1 = m.data;
        rq.ora1 = m.ora;
    } else {
        rq.data2 = m.data;
        rq.ora2 = m.ora;
    }
    QStringList agenda;
    for (const ResolutionRecord& r : resolutionsOf(ws, meetingId))
        agenda << r.data.oggetto;
    if (!agenda.isEmpty())
        rq.agenda = agenda;
    return rq;
}

QString meetingCaption(const MeetingRecord& meeting)
{
    const MeetingInput& m = meeting.data;
    QString caption = m.data.toString(QStringLiteral("dd/MM/yyyy"));
    if (!m.ora.trimmed().isEmpty())
        caption += u' ' + m.ora.trimmed();
    if (!m.luogo.trimmed().isEmpty())
        caption += QStringLiteral(" - ") + m.luogo.simplified();
    caption += m.straordinaria ? QStringLiteral(" (straordinaria)") : QStringLiteral(" (ordinaria)");
    return caption;
}

} // namespace velcaris::meeting
