#include "accounts/ConguaglioStatement.h"

#include "documents/LetterVariables.h"
#include "reports/RegisterExport.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace velcaris::accounts {

using store::Money;

namespace {

QString day(const QDate& d)
{
    return d.isValid() ? documents::shortDate(d) : QString();
}

QString money(Money m)
{
    return m.toString();
}

} // namespace

QVector<OwnerConguaglio> ownerConguagli(const UnitStatement& statement)
{
    QVector<OwnerConguaglio> owners;
    QHash<qint64, int> index;
    for (const UnitStatementLine& line : statement.lines) {
        if (line.ownerId == 0)
            continue;
        auto found = index.constFind(line.ownerId);
        if (found == index.cend()) {
            found = index.insert(line.ownerId, int(owners.size()));
            OwnerConguaglio o;
            o.ownerId = line.ownerId;
            o.owner = line.owner;
            owners.push_back(o);
        }
        OwnerConguaglio& o = owners[*found];
        o.units.push_back(line);
        o.share += line.share;
        o.charged += line.charged;
        o.carried += line.carried;
        o.paid += line.paid;
        o.conguaglio += line.conguaglio();
        o.arrears += line.arrears();
    }
    return owners;
}

QString conguaglioOutcomeText(Money conguaglio, const std::optional<ClosingRecord>& closing)
{
    if (conguaglio.isZero())
        return QStringLiteral("in pari");
    if (conguaglio < Money())
        return QStringLiteral("a credito");
    if (closing && closing->due.isValid())
        return QStringLiteral("da versare entro il %1").arg(day(closing->due));
    return QStringLiteral("da versare alla scadenza fissata con la chiusura dell'esercizio");
}

QStringList conguaglioVariableNames()
{
    static const QStringList names{QStringLiteral("anno"), QStringLiteral("inizio"), QStringLiteral("fine"),
                                   QStringLiteral("persona"), QStringLiteral("indirizzo"), QStringLiteral("cap"),
                                   QStringLiteral("città"), QStringLiteral("quota_riportata"),
                                   QStringLiteral("tot_quota"), QStringLiteral("tot_addebitato"),
                                   QStringLiteral("tot_riportato"), QStringLiteral("tot_versato"),
                                   QStringLiteral("tot_conguaglio"), QStringLiteral("importo_conguaglio"),
                                   QStringLiteral("esito_conguaglio"), QStringLiteral("tot_morosita"),
                                   QStringLiteral("saluto")};
    return names;
}

void addConguaglioVariables(app::Workspace& ws, documents::TRtfReport& report, const AccountingYear& year,
                            const QString& carriedQuotaName, const OwnerConguaglio& owner,
                            const std::optional<ClosingRecord>& closing, const QDate& today)
{
    documents::addCommonVariables(ws, report, today);
    auto add = [&report](const QString& name, const QString& value) { report.AddVariable(name, value); };

    QString address, cap, town;
    {
        store::Statement st(ws.mainDb(),
                            QStringLiteral("SELECT Indirizzo, CAP, \"Città\" FROM Anagrafe WHERE Id = ?"));
        st.bind(1, owner.ownerId);
        if (st.step()) {
            address = st.value(0).toString();
            cap = st.value(1).toString();
            town = st.value(2).toString();
        }
    }
    add(QStringLiteral("anno"), year.name);
    add(QStringLiteral("inizio"), day(year.start));
    add(QStringLiteral("fine"), day(year.end));
    add(QStringLiteral("persona"), owner.owner);
    add(QStringLiteral("saluto"), documents::salutationOfPerson(ws, owner.ownerId));
    add(QStringLiteral("indirizzo"), address);
    add(QStringLiteral("cap"), cap);
    add(QStringLiteral("città"), town);
    add(QStringLiteral("quota_riportata"),
        carriedQuotaName.isEmpty() ? QStringLiteral("Conguaglio precedente") : carriedQuotaName);
    add(QStringLiteral("tot_quota"), money(owner.share));
    add(QStringLiteral("tot_addebitato"), money(owner.charged));
    add(QStringLiteral("tot_riportato"), money(owner.carried));
    add(QStringLiteral("tot_versato"), money(owner.paid));
    add(QStringLiteral("tot_conguaglio"), money(owner.conguaglio));
    add(QStringLiteral("importo_conguaglio"),
        money(owner.conguaglio < Money() ? -owner.conguaglio : owner.conguaglio));
    add(QStringLiteral("esito_conguaglio"), conguaglioOutcomeText(owner.conguaglio, closing));
    add(QStringLiteral("tot_morosita"), money(owner.arrears));
}

void fillConguaglioSource(documents::MemoryRecordSource& source, const OwnerConguaglio& owner)
{
    source.clear();
    source.setColumns({QStringLiteral("Locale"), QStringLiteral("Quota"), QStringLiteral("Addebitato"),
                       QStringLiteral("Riportato"), QStringLiteral("Versato"), QStringLiteral("Conguaglio"),
                       QStringLiteral("Morosita")});
    for (const UnitStatementLine& l : owner.units)
        source.appendRow({l.unit, money(l.share), money(l.charged), money(l.carried), money(l.paid),
                          money(l.conguaglio()), money(l.arrears())});
    source.first();
}

QString conguaglioDocumentPath(const app::Workspace& ws, const QString& yearName, const QString& owner, qint64 ownerId)
{
    const QString tellApart = ownerId ? QStringLiteral(" (%1)").arg(ownerId) : QString();
    return documents::condominiumFolder(ws) + kConguaglioTemplate + u' ' + reports::fileNamePart(yearName) +
           QStringLiteral(" - ") + reports::fileNamePart(owner) + tellApart + QStringLiteral(".rtf");
}

documents::DocumentBatch produceConguagli(app::Workspace& ws, documents::TRtfReport& report, const AccountingYear& year,
                                          const UnitStatement& statement, const QVector<qint64>& owners,
                                          const QDate& today)
{
    documents::DocumentBatch run;
    if (ws.selection.condominium.isEmpty()) {
        run.outcome = app::Outcome::refused(QStringLiteral("Selezionare prima un condominio"));
        return run;
    }
    QVector<OwnerConguaglio> chosen;
    // Owners whose names give the same file name carry their number in it, so no document
    // replaces another's.
    QHash<QString, int> sameName;
    for (const OwnerConguaglio& o : ownerConguagli(statement)) {
        ++sameName[reports::fileNamePart(o.owner).toLower()];
        if (owners.isEmpty() || owners.contains(o.ownerId))
            chosen.push_back(o);
    }
    if (chosen.isEmpty()) {
        run.outcome = app::Outcome::refused(QStringLiteral("Nessun proprietario di un locale tra i condomini scelti"),
                                            app::MessageKind::Information);
        return run;
    }
    const std::optional<ClosingRecord> closing = closingOf(ws.mainDb(), year);
    const QString templateFile = documents::templatePath(ws, kConguaglioTemplate);

    documents::BatchSteps steps;
    steps.count = int(chosen.size());
    steps.checked = [](int) { return true; };
    steps.produce = [&](int i) {
        const OwnerConguaglio& o = chosen[i];
        documents::MemoryRecordSource rows;
        fillConguaglioSource(rows, o);
        report.ClearVariables();
        addConguaglioVariables(ws, report, year, statement.carriedQuotaName, o, closing, today);
        const bool shared = sameName.value(reports::fileNamePart(o.owner).toLower()) > 1;
        const QString target = conguaglioDocumentPath(ws, year.name, o.owner, shared ? o.ownerId : 0);
        report.SetInFile(templateFile);
        report.SetOutFile(target);
        documents::makeDocumentFolder(ws, QFileInfo(target).absolutePath());
        report.Merge({&rows});
    };
    steps.failure = [&](int i, const QString& failure) {
        return QStringLiteral("Estratto conguaglio per %1 non prodotto (modello \"%2\"): %3\n"
                              "Gli estratti già scritti restano; i successivi non sono stati prodotti.")
            .arg(chosen[i].owner, QDir::toNativeSeparators(templateFile), failure);
    };
    run = documents::produceBatch(report, steps);
    // The engine is shared with the window's other documents.
    report.ClearVariables();
    return run;
}

} // namespace velcaris::accounts
