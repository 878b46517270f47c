#include "documents/Notices.h"

#include "documents/DatasetSource.h"
#include "documents/DocumentBatch.h"
#include "documents/LetterVariables.h"
#include "store/FilterText.h"
#include "store/StoreError.h"

#include <QDir>
#include <QRegularExpression>

namespace velcaris::documents {

namespace {

QString meeting(const NoticeRequest& rq)
{
    return rq.straordinaria ? QStringLiteral("Straordinaria") : QStringLiteral("Ordinaria");
}

const QStringList kNoticeVariables{QStringLiteral("assemblea"), QStringLiteral("data1"), QStringLiteral("data2"),
                                   QStringLiteral("ora1"),      QStringLiteral("ora2"),  QStringLiteral("Nome"),
                                   QStringLiteral("memo"),      QStringLiteral("luogo")};

void addDates(TRtfReport& report, const NoticeRequest& rq, bool times)
{
    report.AddVariable(QStringLiteral("data1"), shortDate(rq.data1));
    report.AddVariable(QStringLiteral("data2"), shortDate(rq.data2));
    if (times) {
        report.AddVariable(QStringLiteral("ora1"), rq.ora1);
        report.AddVariable(QStringLiteral("ora2"), rq.ora2);
        report.AddVariable(QStringLiteral("luogo"), rq.luogo.simplified());
    }
}

// The agenda as the rows a notice scans (A): Numero ("1."), Punto (the item).
void fillAgenda(MemoryRecordSource& rows, const QStringList& items, bool numbered)
{
    rows.setColumns({QStringLiteral("Numero"), QStringLiteral("Punto")});
    for (int i = 0; i < items.size(); ++i)
        rows.appendRow({numbered ? QStringLiteral("%1.").arg(i + 1) : QString(), items[i]});
    rows.first();
}

void mergeNotice(app::Workspace& ws, TRtfReport& report, const NoticeRequest& rq)
{
    addCommonVariables(ws, report, rq.today);
    report.SetInFile(templatePath(ws, rq.kind));
    if (rq.kind == kAvvisoAssemblea) {
        report.AddVariable(QStringLiteral("assemblea"), meeting(rq).toUpper());
        addDates(report, rq, true);
    } else if (rq.kind == kAvvisoGenerico) {
        report.AddVariable(QStringLiteral("memo"), rq.memo);
    } else if (rq.kind == kConvocazioneAssemblea) {
        report.AddVariable(QStringLiteral("assemblea"), meeting(rq));
        addDates(report, rq, true);
        report.AddVariable(QStringLiteral("memo"), rq.memo);
    } else {
        report.AddVariable(QStringLiteral("assemblea"), meeting(rq));
        addDates(report, rq, false);
    }
    report.SetOutFile(noticePath(ws, rq.kind, rq.today));
    makeDocumentFolder(ws, condominiumFolder(ws));

    MemoryRecordSource agenda;
    if (rq.kind == kAvvisoGenerico) {
        // The generic notice's text, a paragraph per line as typed.
        fillAgenda(agenda, rq.memo.split(u'\n'), false);
        report.MergeAndOpen({&agenda}, 5);
        return;
    }
    if (rq.kind == kAvvisoAssemblea || rq.kind == kConvocazioneAssemblea) {
        fillAgenda(agenda, agendaItems(rq), true);
        report.MergeAndOpen({&agenda}, 5);
        return;
    }

    if (rq.kind == kNotificaConvocazione || rq.kind == kNotificaVerbale) {
        store::Dataset& owners = ws.ds(QStringLiteral("ADOTableproprietari"));
        owners.setFilter(store::equalsTerm(QStringLiteral("idCondominio"), ws.selection.condominium));
        owners.setSort(QStringLiteral("Proprietario ASC"));
        owners.first();
        DatasetSource rows(owners);
        try {
            report.MergeAndOpen({&rows}, 5);
        } catch (...) {
            owners.setFilter(QString());
            throw;
        }
        owners.setFilter(QString());
    } else {
        report.MergeAndOpen({}, 5);
    }
}

// "1. ", "2) ", "- ", "• " at the start of an agenda line.
const QRegularExpression& itemNumbering()
{
    static const QRegularExpression re(QStringLiteral("^\\s*(?:\\d{1,3}\\s*[.)\\-]|[-\\x{2022}*])\\s*"));
    return re;
}

} // namespace

QStringList agendaItems(const NoticeRequest& request)
{
    QStringList items;
    const QStringList source = request.agenda.isEmpty() ? request.memo.split(u'\n') : request.agenda;
    for (QString line : source) {
        line.remove(itemNumbering());
        line = line.simplified();
        if (!line.isEmpty())
            items << line;
    }
    return items;
}

const QStringList& noticeKinds()
{
    static const QStringList kinds{kAvvisoAssemblea, kAvvisoGenerico, kConvocazioneAssemblea, kNotificaConvocazione,
                                   kNotificaVerbale};
    return kinds;
}

QString noticePath(const app::Workspace& ws, const QString& kind, const QDate& today)
{
    return condominiumFolder(ws) + kind + QStringLiteral(" - ") + dateStamp(today) + QStringLiteral(".rtf");
}

NoticeResult produceNotice(app::Workspace& ws, TRtfReport& report, const NoticeRequest& request)
{
    NoticeResult result;
    result.outcome = app::Outcome::accepted();
    if (ws.selection.condominium.isEmpty() || !noticeKinds().contains(request.kind))
        return result;
    const QString failure = mergeFailure([&] { mergeNotice(ws, report, request); });
    removeVariables(report, commonVariableNames() + kNoticeVariables);
    if (failure.isEmpty()) {
        result.written = report.OutFile();
        return result;
    }
    // The document is written when only its opening failed.
    if (failure.startsWith(QStringLiteral("Failed to open report results")))
        result.written = report.OutFile();
    result.outcome = app::Outcome::refused(
        QStringLiteral("Avviso \"%1\" (modello \"%2\"): %3").arg(request.kind, templatePath(ws, request.kind), failure),
        app::MessageKind::Error);
    return result;
}

} // namespace velcaris::documents
