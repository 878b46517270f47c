#include "allocation/Allocation.h"

#include "allocation/MillesimalTables.h"
#include "allocation/QuotaBreakdown.h"
#include "allocation/QuotaPublishing.h"
#include "allocation/QuotaSchedule.h"
#include "store/Failpoint.h"
#include "store/Schema.h"
#include "store/Money.h"

#include <QHash>
#include <algorithm>
#include <QSet>

namespace velcaris::allocation {

using store::Money;
using store::Statement;

AllocationUnits loadAllocationUnits(app::Workspace& ws, const QString& condominium)
{
    AllocationUnits out;
    for (const TableRecord& t : condominiumTables(ws, condominium))
        out.tables.push_back({t.id, t.data.nome});
    QHash<qint64, int> tableIndex;
    for (int k = 0; k < out.tables.size(); ++k)
        tableIndex.insert(out.tables[k].id, k);

    store::Database& db = ws.mainDb();
    Statement units(db, QStringLiteral("SELECT locali.Id, locali.Nome, locali.Scala, locali.PartecipazioneORD, "
                                       "locali.PartecipazioneSTR, %1, %2 FROM Locali AS locali "
                                       "INNER JOIN Anagrafe ON Anagrafe.Id = locali.idProprietario "
                                       "INNER JOIN Anagrafe AS Anagrafe_1 ON Anagrafe_1.Id = locali.idInquilino "
                                       "WHERE locali.IdCondominio = ? "
                                       "AND EXISTS (SELECT 1 FROM TipologieLocali AS t WHERE t.Tipologia = locali.IdTipologia) "
                                       "AND EXISTS (SELECT 1 FROM Millesimi AS m INNER JOIN Tabelle AS tb ON tb.Id = m.IdTabella "
                                       "WHERE m.IdLocale = locali.Id) ORDER BY locali.Id")
                                        .arg(store::personDisplayNameSql(QStringLiteral("Anagrafe")),
                                             store::personDisplayNameSql(QStringLiteral("Anagrafe_1"))));
    units.bind(1, condominium);
    QHash<qint64, int> unitIndex;
    while (units.step()) {
        PlanUnit u;
        u.id = units.value(0).toLongLong();
        u.nome = units.value(1).toString();
        u.scala = units.value(2).toString();
        // A percentage that is missing or not a number is refused when the allocation is confirmed.
        const std::optional<double> ord = units.value(3).isNull() ? std::nullopt : store::parseNumber(units.value(3).toString());
        const std::optional<double> str = units.value(4).isNull() ? std::nullopt : store::parseNumber(units.value(4).toString());
        u.partecipazioneORD = ord.value_or(0);
        u.partecipazioneSTR = str.value_or(0);
        u.thousandths.fill(0.0, out.tables.size());
        unitIndex.insert(u.id, int(out.units.size()));
        out.units.push_back(u);
        out.owners.push_back(units.value(5).toString());
        out.tenants.push_back(units.value(6).toString());
        out.participationKnown.push_back(ord.has_value() && str.has_value());
    }

    Statement shares(db, QStringLiteral("SELECT m.IdLocale, m.IdTabella, SUM(m.Millesimi) FROM Millesimi AS m "
                                        "INNER JOIN Locali AS l ON l.Id = m.IdLocale WHERE l.IdCondominio = ? "
                                        "GROUP BY m.IdLocale, m.IdTabella"));
    shares.bind(1, condominium);
    while (shares.step()) {
        const auto u = unitIndex.constFind(shares.value(0).toLongLong());
        const auto k = tableIndex.constFind(shares.value(1).toLongLong());
        if (u != unitIndex.cend() && k != tableIndex.cend())
            out.units[*u].thousandths[*k] = shares.value(2).toDouble();
    }

    Statement all(db, QStringLiteral("SELECT Id, Nome FROM Locali WHERE IdCondominio = ? ORDER BY Id"));
    all.bind(1, condominium);
    while (all.step())
        if (!unitIndex.contains(all.value(0).toLongLong()))
            out.leftOut << all.value(1).toString();
    return out;
}

QStringList staircasesOf(const QVector<PlanUnit>& units)
{
    QStringList out;
    for (const PlanUnit& u : units)
        if (!u.scala.isEmpty() && !out.contains(u.scala, Qt::CaseSensitive))
            out << u.scala;
    std::sort(out.begin(), out.end());
    return out;
}

QStringList quotaTypes(app::Workspace& ws)
{
    QStringList out;
    Statement st(ws.mainDb(), QStringLiteral("SELECT Tipologia FROM Tipologia ORDER BY Id"));
    while (st.step())
        out << st.value(0).toString();
    return out;
}

namespace {

// An amount cell: a number with "." as the decimal separator. A cleared cell is no number: read
// as 0 it would leave its table out unseen.
std::optional<double> amountOf(const QString& text)
{
    return store::parseNumber(text);
}

QString amountText(double value)
{
    return store::formatAmount(value);
}

} // namespace

AllocationCheck checkAllocation(app::Workspace& ws, const AllocationInput& input)
{
    AllocationCheck check;
    const QString condominium = ws.selection.condominium;
    const QString year = currentYearOf(ws.mainDb(), condominium);
    if (year.isEmpty()) {
        check.refusal = app::Outcome::refused(QStringLiteral("Il condominio non ha un anno amministrativo corrente"));
        return check;
    }
    bool wholeNumber = false;
    const int n = input.instalments.trimmed().toInt(&wholeNumber);
    if (!wholeNumber || n <= 0) {
        check.refusal = app::Outcome::refused(kBadInstalments);
        return check;
    }
    if (input.rows.size() != n) {
        check.refusal = app::Outcome::refused(QStringLiteral("Le righe delle quote non corrispondono al numero delle quote"));
        return check;
    }

    const AllocationUnits data = loadAllocationUnits(ws, condominium);
    PlanInput& plan = check.plan;
    plan.extraordinary = input.typeIndex == 3;
    // Shared to the cent, the rows are not rounded to half units: they would no longer add up.
    plan.toTheCent = input.toTheCent && !input.equalParts;
    plan.halfUnitRounding = input.halfUnitRounding && !plan.toTheCent;
    plan.staircases = input.staircases;
    if (input.equalParts) {
        const std::optional<double> e = store::parseNumber(input.equalPart);
        if (!e) {
            check.refusal = app::Outcome::refused(QStringLiteral("L'importo della singola quota non è un numero"));
            return check;
        }
        plan.equalPart = *e;
    }
    for (int k = 0; k < data.tables.size(); ++k) {
        const std::optional<double> a = amountOf(input.amounts.value(k));
        if (!a) {
            check.refusal = app::Outcome::refused(
                QStringLiteral("L'importo della tabella \"%1\" non è un numero").arg(data.tables[k].nome));
            return check;
        }
        plan.amounts.push_back(*a);
    }
    const QSet<qint64> excluded(input.excluded.cbegin(), input.excluded.cend());
    for (int u = 0; u < data.units.size(); ++u) {
        PlanUnit unit = data.units[u];
        if (!takesPart(unit, plan.staircases))
            continue;
        if (!data.participationKnown[u]) {
            check.refusal = app::Outcome::refused(
                QStringLiteral("La percentuale di partecipazione del locale \"%1\" non è un numero").arg(unit.nome));
            return check;
        }
        unit.excluded = excluded.contains(unit.id);
        plan.units.push_back(unit);
    }
    if (plan.units.isEmpty()) {
        check.refusal = app::Outcome::refused(QStringLiteral("Nessun locale partecipa alla ripartizione"));
        return check;
    }
    for (const InstalmentInput& row : input.rows) {
        if (row.name.trimmed().isEmpty()) {
            check.refusal = app::Outcome::refused(kEmptyQuotaName);
            return check;
        }
        if (row.name.contains(u'.')) {
            check.refusal = app::Outcome::refused(QStringLiteral("Il nome della quota non può contenere il punto"));
            return check;
        }
        plan.instalments.push_back({row.name, row.due});
    }

    check.result = computeAllocation(plan);
    const AllocationPlan& result = check.result;

    AllocationPreview& p = check.preview;
    p.year = year;
    p.type = quotaTypes(ws).value(input.typeIndex);
    p.units = int(result.units.size());
    p.rows = int(result.rows.size());
    p.leftOut = data.leftOut;
    p.toTheCent = plan.toTheCent;
    if (!plan.equalPart) {
        for (int k = 0; k < data.tables.size(); ++k) {
            p.tables.push_back({data.tables[k].nome, plan.amounts[k], result.sharesOf(k)});
            // A table without weight among the units shares nothing: told apart, not counted
            // as a rounding difference.
            if (result.tableTotals[k] != 0)
                p.expected += Money::fromDouble(plan.amounts[k]);
            else if (plan.amounts[k] != 0)
                p.unshared << data.tables[k].nome;
        }
    } else {
        for (const UnitBreakdown& u : result.units)
            p.expected += Money::fromDouble(u.total);
    }
    for (int i = 0; i < n; ++i)
        p.instalmentTotals.push_back(result.instalmentTotal(i));
    p.rowsTotal = result.rowsTotal();
    p.differenceCents = (p.rowsTotal - p.expected).cents();

    QSet<QString> names;
    for (const PlanInstalment& i : plan.instalments)
        names.insert(i.name);
    Statement existing(ws.mainDb(), QStringLiteral("SELECT DISTINCT NomeQuote FROM Quote WHERE IdCondominio = ? AND AA = ? "
                                                   "ORDER BY NomeQuote"));
    existing.bindAll({condominium, year});
    while (existing.step()) {
        const QString name = existing.value(0).toString();
        if (names.contains(name))
            p.existingNames << name;
    }
    const QuotaPublisher publisher(ws.mainDb(), condominium);
    for (const UnitBreakdown& u : result.units)
        if (publisher.publishes(u.id))
            p.webRows += n;
    check.refusal = app::Outcome::accepted();
    return check;
}

QStringList previewLines(const AllocationPreview& p)
{
    QStringList lines;
    lines << QStringLiteral("Anno %1, tipologia \"%2\": %3 quote per %4 locali (%5 pubblicate sul web).")
                 .arg(p.year, p.type)
                 .arg(p.rows)
                 .arg(p.units)
                 .arg(p.webRows);
    if (!p.tables.isEmpty()) {
        lines << QString() << QStringLiteral("Tabelle (importo inserito / somma delle quote dei locali):");
        for (const AllocationPreview::Table& t : p.tables)
            lines << QStringLiteral("  %1: %2 / %3").arg(t.nome, amountText(t.amount), amountText(t.shares));
    }
    lines << QString() << QStringLiteral("Totale per rata:");
    for (int i = 0; i < p.instalmentTotals.size(); ++i)
        lines << QStringLiteral("  rata %1: %2").arg(i + 1).arg(p.instalmentTotals[i].toString());
    lines << QString()
          << QStringLiteral("Totale delle quote: %1; importo da ripartire: %2; differenza per arrotondamento: %3")
                 .arg(p.rowsTotal.toString(), p.expected.toString(), Money::fromCents(p.differenceCents).toString());
    if (p.toTheCent)
        lines << QStringLiteral("Ripartizione al centesimo: ogni rata di ogni tabella è divisa tra i locali esattamente; "
                                "i centesimi che avanzano vanno uno ciascuno ai locali con i resti maggiori.");
    if (!p.unshared.isEmpty())
        lines << QString()
              << QStringLiteral("Attenzione: nessun locale che partecipa ha millesimi nelle tabelle %1; il loro importo non viene ripartito.")
                     .arg(p.unshared.join(QStringLiteral(", ")));
    if (!p.existingNames.isEmpty())
        lines << QString()
              << QStringLiteral("Attenzione: per l'anno %1 esistono già quote con il nome %2; confermando verranno scritte di nuovo.")
                     .arg(p.year, p.existingNames.join(QStringLiteral(", ")));
    if (!p.leftOut.isEmpty())
        lines << QString()
              << QStringLiteral("Locali esclusi perché senza proprietario, inquilino, tipologia o millesimi: %1")
                     .arg(p.leftOut.join(QStringLiteral(", ")));
    return lines;
}

app::Outcome confirmAllocation(app::Workspace& ws, const AllocationInput& input)
{
    const AllocationCheck check = checkAllocation(ws, input);
    if (!check.refusal.done)
        return check.refusal;
    store::Database& db = ws.mainDb();
    const QString condominium = ws.selection.condominium;
    const QString type = check.preview.type;
    const QString year = check.preview.year;

    store::Transaction transaction(db);
    QuotaPublisher publisher(db, condominium);
    Statement quota(db, QStringLiteral("INSERT INTO main.Quote (IdCondominio, IdLocale, NomeQuote, Importo, Tipologia, "
                                       "DataScadenza, AA) VALUES (?,?,?,?,?,?,?)"));
    QVector<qint64> quotaIds;
    quotaIds.reserve(check.result.rows.size());
    for (const PlanRow& row : check.result.rows) {
        const QVariant due = row.due.isValid() ? QVariant(row.due) : QVariant();
        quota.reset();
        quota.bindAll({condominium, row.unitId, row.name, row.amount.toDouble(), type, due, year});
        quota.step();
        quotaIds << db.lastInsertId();
        publisher.publish(row.unitId, {row.name, row.amount, type, due, year, QVariant()});
        store::failpoint("ripartizione.quota-scritta");
    }
    // The reasons of every quota, with the quotas.
    AllocationRecord record;
    record.condominium = condominium;
    record.year = year;
    record.type = type;
    record.day = QDate::currentDate();
    for (const AllocationPreview::Table& t : check.preview.tables)
        record.tableNames << t.nome;
    record.input = &check.plan;
    record.plan = &check.result;
    record.quotaIds = quotaIds;
    recordAllocation(db, record);
    transaction.commit();
    return app::Outcome::accepted(qint64(check.result.rows.size()));
}

app::Outcome addPersonalQuota(app::Workspace& ws, const PersonalQuotaInput& input)
{
    const QString condominium = ws.selection.condominium;
    const QString year = currentYearOf(ws.mainDb(), condominium);
    if (year.isEmpty())
        return app::Outcome::refused(QStringLiteral("Il condominio non ha un anno amministrativo corrente"));
    if (input.name.trimmed().isEmpty())
        return app::Outcome::refused(kEmptyQuotaName);
    if (input.name.contains(u'.'))
        return app::Outcome::refused(QStringLiteral("Il nome della quota non può contenere il punto"));
    const std::optional<double> amount = store::parseNumber(input.amount);
    if (!amount)
        return app::Outcome::refused(QStringLiteral("L'importo non è un numero"));
    store::Database& db = ws.mainDb();
    if (!input.unitId
        || !db.scalar(QStringLiteral("SELECT 1 FROM Locali WHERE Id = ? AND IdCondominio = ?"), {*input.unitId, condominium})
                .isValid())
        return app::Outcome::refused(QStringLiteral("Selezionare il locale a cui addebitare la quota"));

    const Money importo = Money::fromDouble(*amount);
    const QVariant due = input.due.isValid() ? QVariant(input.due) : QVariant();
    store::Transaction transaction(db);
    db.exec(QStringLiteral("INSERT INTO main.Quote (IdLocale, IdCondominio, NomeQuote, Importo, ImportoPagato, Tipologia, "
                           "DataScadenza, PagabiliSiNo, Note, AA) VALUES (?,?,?,?,0,?,?,1,?,?)"),
            {*input.unitId, condominium, input.name, importo.toDouble(), kPersonalQuotaType, due, input.note, year});
    const qint64 key = db.lastInsertId();
    recordPersonalQuota(db, key, condominium, year, QDate::currentDate());
    QuotaPublisher publisher(db, condominium);
    publisher.publish(*input.unitId, {input.name, importo, kPersonalQuotaType, due, year, input.note});
    transaction.commit();
    return app::Outcome::accepted(key);
}

} // namespace velcaris::allocation
