#include "meeting/MeetingDocuments.h"

#include "documents/LetterVariables.h"
#include "documents/RecordSource.h"
#include "meeting/Resolutions.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::meeting {

namespace {

void addMeetingVariables(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                         const QDate& today)
{
    report.ClearVariables();
    documents::addCommonVariables(ws, report, today);
    const MeetingInput& m = state.meeting.data;
    const Constitution c = constitution(state.participants, state.tableMilli, m.call);
    report.AddVariable(QStringLiteral("assemblea"), m.straordinaria ? QStringLiteral("Straordinaria") : QStringLiteral("Ordinaria"));
    report.AddVariable(QStringLiteral("convocazione"), m.call == Call::First ? QStringLiteral("prima") : QStringLiteral("seconda"));
    report.AddVariable(QStringLiteral("data_assemblea"), documents::shortDate(m.data));
    report.AddVariable(QStringLiteral("ora_assemblea"), m.ora);
    report.AddVariable(QStringLiteral("luogo"), m.luogo);
    report.AddVariable(QStringLiteral("tabella"), state.tableName);
    report.AddVariable(QStringLiteral("partecipanti"), QString::number(c.totalHeads));
    report.AddVariable(QStringLiteral("millesimi_totali"), milliText(c.totalMilli));
    report.AddVariable(QStringLiteral("presenti"), QString::number(c.heads));
    report.AddVariable(QStringLiteral("millesimi_presenti"), milliText(c.milli));
    report.AddVariable(QStringLiteral("quorum"), quorumLine(c, m.call));
}

MeetingDocument merge(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                      const QString& kind, const QVector<documents::RecordSource*>& sources)
{
    MeetingDocument out;
    const QString target = meetingDocumentPath(ws, kind, state);
    report.SetInFile(documents::templatePath(ws, kind));
    report.SetOutFile(target);
    try {
        documents::makeDocumentFolder(ws, QFileInfo(target).absolutePath());
        report.Merge(sources);
    } catch (const documents::ReportError& e) {
        report.ClearVariables();
        out.outcome = app::Outcome::failed(QStringLiteral("%1 (modello %2): %3")
                                               .arg(kind, QDir::toNativeSeparators(report.InFile()),
                                                    e.message()));
        return out;
    }
    report.ClearVariables();
    out.outcome = app::Outcome::accepted();
    out.written = target;
    return out;
}

} // namespace

QString meetingDocumentPath(const app::Workspace& ws, const QString& kind, const MeetingState& state)
{
    return documents::condominiumFolder(ws) + kind + QStringLiteral(" - ")
           + documents::dateStamp(state.meeting.data.data) + QStringLiteral(".rtf");
}

MeetingDocument produceAttendanceSheet(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                                       const QDate& today)
{
    addMeetingVariables(ws, report, state, today);
    documents::MemoryRecordSource rows(
        {QStringLiteral("Partecipante"), QStringLiteral("Millesimi"), QStringLiteral("Presenza"),
         QStringLiteral("Delegato"), QStringLiteral("Arrivo"), QStringLiteral("Uscita")},
        {});
    for (const Participant& p : state.participants)
        rows.appendRow({p.name, milliText(p.milli), attendanceText(p.attendance), p.delegateName, p.arrival,
                        p.departure});
    rows.first();
    return merge(ws, report, state, kFoglioPresenze, {&rows});
}

MeetingDocument produceVotingRecord(app::Workspace& ws, documents::TRtfReport& report, const MeetingState& state,
                                    const QDate& today)
{
    addMeetingVariables(ws, report, state, today);
    documents::MemoryRecordSource items(
        {QStringLiteral("Numero"), QStringLiteral("Oggetto"), QStringLiteral("Maggioranza"), QStringLiteral("Regola"),
         QStringLiteral("Risultato"), QStringLiteral("Esito"),
         QStringLiteral("Favorevoli"), QStringLiteral("MillesimiFavorevoli"), QStringLiteral("Contrari"),
         QStringLiteral("MillesimiContrari"), QStringLiteral("Astenuti"), QStringLiteral("MillesimiAstenuti")},
        {});
    documents::MemoryRecordSource votes(
        {QStringLiteral("Delibera"), QStringLiteral("Partecipante"), QStringLiteral("Millesimi"), QStringLiteral("Voto")},
        {});
    const bool constituted = constitution(state.participants, state.tableMilli, state.meeting.data.call).constituted;
    MeetingState voting = state;
    for (const ResolutionRecord& r : resolutionsOf(ws, state.meeting.id)) {
        applyVotes(voting, votesOf(ws, r.id));
        const ResolutionResult result = resolution(voting.participants, voting.tableMilli, voting.meeting.data.call,
                                                   r.data.majority, constituted);
        items.appendRow({r.numero, r.data.oggetto, majorityShortName(r.data.majority),
                         majorityCaptions().value(int(r.data.majority)),
                         result.approved ? QStringLiteral("Approvata") : QStringLiteral("Non approvata"),
                         resultLine(result, constituted), result.inFavour.heads, milliText(result.inFavour.milli),
                         result.against.heads, milliText(result.against.milli), result.abstained.heads,
                         milliText(result.abstained.milli)});
        for (const Participant& p : voting.participants)
            if (p.counts() && p.vote != Vote::None)
                votes.appendRow({r.numero, p.name, milliText(p.milli), voteText(p.vote)});
    }
    items.first();
    votes.first();
    return merge(ws, report, state, kVerbaleVotazioni, {&items, &votes});
}

} // namespace velcaris::meeting
