#include "allocation/QuotaExplanation.h"

#include "allocation/QuotaSchedule.h"
#include "documents/LetterVariables.h"
#include "documents/RecordSource.h"
#include "documents/ReportError.h"
#include "store/Money.h"
#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::allocation {

using store::Statement;

namespace {

// A person's name made fit for a file name.
QString fileNamePart(QString text)
{
    for (QChar& c : text)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = u'_';
    return text.trimmed();
}

struct Owner {
    qint64 id = 0;
    QString name;
};

QVector<Owner> ownersOf(store::Database& db, const QString& condominium, const QVector<qint64>& chosen)
{
    QVector<Owner> out;
    Statement st(db, QStringLiteral("SELECT DISTINCT a.Id, %1 FROM Locali AS l INNER JOIN Anagrafe AS a ON a.Id = l.idProprietario "
                                    "WHERE l.IdCondominio = ? ORDER BY 2, a.Id")
                         .arg(store::personDisplayNameSql(QStringLiteral("a"))));
    st.bind(1, condominium);
    while (st.step()) {
        const qint64 id = st.value(0).toLongLong();
        if (chosen.isEmpty() || chosen.contains(id))
            out.push_back({id, st.value(1).toString()});
    }
    return out;
}

// The owner's quotas of the year, all units together, with two decimals.
QString yearTotal(store::Database& db, const QString& condominium, const QString& year, qint64 ownerId)
{
    const QVariant sum = db.scalar(QStringLiteral("SELECT SUM(q.Importo) FROM Quote AS q INNER JOIN Locali AS l "
                                                  "ON l.Id = q.IdLocale WHERE l.IdCondominio = ? AND q.AA = ? "
                                                  "AND l.idProprietario = ?"),
                                   {condominium, year, ownerId});
    return store::formatAmount(sum.toDouble());
}

} // namespace

QVector<ExplanationSection> ownerExplanation(store::Database& db, const QString& condominium, const QString& year,
                                             qint64 ownerId, NumberStyle style)
{
    // The quotas of one unit computed together share their reasons: they make one section.
    struct Group {
        qint64 unit = 0;
        QVariant computation;
        QVector<qint64> quotas;
        QStringList names;
    };
    QVector<Group> groups;
    Statement st(db, QStringLiteral("SELECT q.IdQuota, q.NomeQuote, l.Id, qr.IdRipartizioneLocale, q.Importo "
                                    "FROM Quote AS q INNER JOIN Locali AS l ON l.Id = q.IdLocale "
                                    "LEFT JOIN QuoteRipartizioni AS qr ON qr.IdQuota = q.IdQuota "
                                    "WHERE l.IdCondominio = ? AND q.AA = ? AND l.idProprietario = ? "
                                    "ORDER BY l.Id, q.DataScadenza, q.IdQuota"));
    st.bindAll({condominium, year, ownerId});
    QHash<QString, int> index;
    while (st.step()) {
        const qint64 unit = st.value(2).toLongLong();
        const QVariant computation = st.value(3);
        // Quotas without reasons stand alone; so does a quota whose amount was changed by hand.
        const QString key = computation.isNull()
                                ? QStringLiteral("q%1").arg(st.value(0).toLongLong())
                                : QStringLiteral("%1/%2/%3").arg(unit).arg(computation.toLongLong()).arg(store::formatAmount(st.value(4).toDouble()));
        auto found = index.constFind(key);
        if (found == index.cend()) {
            found = index.insert(key, int(groups.size()));
            groups.push_back({unit, computation, {}, {}});
        }
        groups[*found].quotas << st.value(0).toLongLong();
        groups[*found].names << st.value(1).toString();
    }
    QVector<ExplanationSection> sections;
    for (const Group& g : groups) {
        const QuotaBreakdown b = breakdownOfQuota(db, g.quotas.first());
        ExplanationSection s;
        s.unit = b.unit;
        s.quotas = g.names;
        s.lines = explanationLines(b, style);
        sections.push_back(s);
    }
    return sections;
}

QString explanationPath(const app::Workspace& ws, const QString& owner, const QString& year)
{
    return documents::condominiumFolder(ws) + kExplanationTemplate + QStringLiteral(" - ") + fileNamePart(owner)
           + QStringLiteral(" - A.A.") + fileNamePart(year) + QStringLiteral(".rtf");
}

ExplanationRun produceExplanations(app::Workspace& ws, documents::TRtfReport& report, const QVector<qint64>& owners,
                                   const QDate& today)
{
    ExplanationRun run;
    store::Database& db = ws.mainDb();
    const QString condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (year.isEmpty()) {
        run.outcome = app::Outcome::refused(QStringLiteral("Il condominio non ha un anno amministrativo corrente"));
        return run;
    }
    const QString templateFile = documents::templatePath(ws, kExplanationTemplate);
    for (const Owner& owner : ownersOf(db, condominium, owners)) {
        documents::MemoryRecordSource rows({QStringLiteral("Unita"), QStringLiteral("Quote"), QStringLiteral("Riga")}, {});
        for (const ExplanationSection& s : ownerExplanation(db, condominium, year, owner.id, NumberStyle::Letter))
            for (int i = 0; i < s.lines.size(); ++i)
                rows.appendRow({i == 0 ? s.unit : QString(), i == 0 ? s.quotas.join(QStringLiteral(", ")) : QString(),
                                s.lines[i]});
        rows.first();
        report.ClearVariables();
        documents::addCommonVariables(ws, report, today);
        report.AddVariable(QStringLiteral("persona"), owner.name);
        report.AddVariable(QStringLiteral("saluto"), documents::salutationOfPerson(ws, owner.id));
        report.AddVariable(QStringLiteral("anno"), year);
        report.AddVariable(QStringLiteral("totale_anno"), yearTotal(db, condominium, year, owner.id));
        const QString target = explanationPath(ws, owner.name, year);
        report.SetInFile(templateFile);
        report.SetOutFile(target);
        try {
            documents::makeDocumentFolder(ws, QFileInfo(target).absolutePath());
            report.Merge({&rows});
        } catch (const documents::ReportError& e) {
            report.ClearVariables();
            run.outcome = app::Outcome::failed(QStringLiteral("%1 (modello %2): %3")
                                                   .arg(owner.name, QDir::toNativeSeparators(templateFile), e.message()));
            return run;
        }
        run.written << target;
    }
    report.ClearVariables();
    run.outcome = app::Outcome::accepted();
    return run;
}

} // namespace velcaris::allocation
