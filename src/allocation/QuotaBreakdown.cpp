#include "allocation/QuotaBreakdown.h"

#include "store/Money.h"

#include <QHash>

namespace velcaris::allocation {

using store::Statement;

namespace {

QVariant optionalDouble(const std::optional<double>& value)
{
    return value ? QVariant(*value) : QVariant();
}

// How one explanation writes its numbers.
struct Numbers {
    NumberStyle style;

    QString plain(const QString& text) const { return style == NumberStyle::Letter ? store::italianForm(text) : text; }
    // "100", "50", "33.5" (in a letter "33,5"): a percentage as the program writes numbers.
    QString percent(double value) const
    {
        return plain(QString::number(keep15(value), 'g', 15)) + QLatin1Char('%');
    }
    QString euro(double value) const
    {
        const QString amount = store::formatAmount(value);
        return style == NumberStyle::Letter ? QStringLiteral("€ ") + store::italianForm(amount)
                                            : amount + QStringLiteral(" €");
    }
    QString thousandths(double value) const { return plain(store::formatThousandths(value)); }
};

} // namespace

void recordAllocation(store::Database& db, const AllocationRecord& record)
{
    const PlanInput& input = *record.input;
    const AllocationPlan& plan = *record.plan;
    db.exec(QStringLiteral("INSERT INTO main.Ripartizioni (Condominio, AA, Data, Tipologia, NumeroRate, Personale, "
                           "ParteUguale, MezzaUnita, Scale) VALUES (?,?,?,?,?,0,?,?,?)"),
            {record.condominium, record.year, record.day, record.type, int(input.instalments.size()),
             optionalDouble(input.equalPart), input.halfUnitRounding && !input.equalPart,
             input.staircases.join(QStringLiteral(", "))});
    const qint64 allocation = db.lastInsertId();

    QHash<qint64, const PlanUnit*> units;
    for (const PlanUnit& u : input.units)
        units.insert(u.id, &u);
    Statement unitRow(db, QStringLiteral("INSERT INTO main.RipartizioniLocali (IdRipartizione, IdLocale, Locale, Escluso, "
                                         "Partecipazione, Totale, RataEsatta, RataCentesimi, Rata) VALUES (?,?,?,?,?,?,?,?,?)"));
    Statement tableRow(db, QStringLiteral("INSERT INTO main.RipartizioniTabelle (IdRipartizioneLocale, Ordine, Tabella, "
                                          "Importo, Millesimi, Partecipazione, MillesimiPonderati, TotalePonderato, Quota) "
                                          "VALUES (?,?,?,?,?,?,?,?,?)"));
    QVector<qint64> unitKeys(plan.units.size(), 0);
    for (int i = 0; i < plan.units.size(); ++i) {
        const UnitBreakdown& b = plan.units[i];
        unitRow.reset();
        unitRow.bindAll({allocation, b.id, b.nome, b.excluded, b.participation, b.total, b.instalmentExact,
                         b.instalmentCents.toDouble(), b.instalment.toDouble()});
        unitRow.step();
        unitKeys[i] = db.lastInsertId();
        if (input.equalPart)
            continue; // equal parts use no table
        const PlanUnit* u = units.value(b.id);
        for (int k = 0; k < input.amounts.size(); ++k) {
            tableRow.reset();
            tableRow.bindAll({unitKeys[i], k, record.tableNames.value(k), input.amounts[k],
                              u ? u->thousandths.value(k) : 0.0, b.participation, b.weighted.value(k),
                              plan.tableTotals.value(k), b.shares.value(k)});
            tableRow.step();
        }
    }
    // The quotas are new, and a quota's key is never given twice (not even after a deletion): none
    // has a link yet.
    Statement link(db, QStringLiteral("INSERT INTO main.QuoteRipartizioni (IdQuota, IdRipartizioneLocale) VALUES (?,?)"));
    for (int r = 0; r < plan.rows.size() && r < record.quotaIds.size(); ++r) {
        link.reset();
        link.bindAll({record.quotaIds[r], unitKeys.value(plan.rows[r].unit)});
        link.step();
    }
}

void recordPersonalQuota(store::Database& db, qint64 quotaId, const QString& condominium, const QString& year,
                         const QDate& day)
{
    db.exec(QStringLiteral("INSERT INTO main.Ripartizioni (Condominio, AA, Data, NumeroRate, Personale) VALUES (?,?,?,1,1)"),
            {condominium, year, day});
    const qint64 allocation = db.lastInsertId();
    db.exec(QStringLiteral("INSERT INTO main.RipartizioniLocali (IdRipartizione, IdLocale, Locale) "
                           "SELECT ?, Id, Nome FROM main.Locali WHERE Id = (SELECT IdLocale FROM main.Quote WHERE IdQuota = ?)"),
            {allocation, quotaId});
    db.exec(QStringLiteral("INSERT INTO main.QuoteRipartizioni (IdQuota, IdRipartizioneLocale) VALUES (?,?)"),
            {quotaId, db.lastInsertId()});
}

QuotaBreakdown breakdownOfQuota(store::Database& db, qint64 quotaId)
{
    QuotaBreakdown b;
    Statement quota(db, QStringLiteral(
        "SELECT q.NomeQuote, q.Importo, l.Nome, rl.Id, rl.Escluso, rl.Partecipazione, rl.Totale, rl.RataEsatta, "
        "rl.RataCentesimi, rl.Rata, r.Data, r.Tipologia, r.NumeroRate, r.Personale, r.ParteUguale, r.MezzaUnita, "
        "r.Scale, rl.Locale FROM Quote AS q LEFT JOIN Locali AS l ON l.Id = q.IdLocale "
        "LEFT JOIN QuoteRipartizioni AS qr ON qr.IdQuota = q.IdQuota "
        "LEFT JOIN RipartizioniLocali AS rl ON rl.Id = qr.IdRipartizioneLocale "
        "LEFT JOIN Ripartizioni AS r ON r.Id = rl.IdRipartizione WHERE q.IdQuota = ?"));
    quota.bind(1, quotaId);
    if (!quota.step())
        return b;
    b.quotaName = quota.value(0).toString();
    b.importo = quota.value(1).toDouble();
    b.unit = quota.value(2).toString();
    if (quota.value(3).isNull())
        return b; // no breakdown was kept for it
    b.known = true;
    const qint64 unitKey = quota.value(3).toLongLong();
    if (!quota.value(17).toString().isEmpty())
        b.unit = quota.value(17).toString(); // the name it had then
    b.excluded = quota.value(4).toBool();
    b.participation = quota.value(5).toDouble();
    b.total = quota.value(6).toDouble();
    b.instalmentExact = quota.value(7).toDouble();
    b.instalmentCents = quota.value(8).toDouble();
    b.instalment = quota.value(9).toDouble();
    b.day = quota.value(10).toDate();
    b.type = quota.value(11).toString();
    b.instalments = quota.value(12).toInt();
    b.personal = quota.value(13).toBool();
    if (!quota.value(14).isNull())
        b.equalPart = quota.value(14).toDouble();
    b.halfUnitRounding = quota.value(15).toBool();
    const QString staircases = quota.value(16).toString();
    if (!staircases.isEmpty())
        b.staircases = staircases.split(QStringLiteral(", "));

    Statement tables(db, QStringLiteral("SELECT Tabella, Importo, Millesimi, Partecipazione, MillesimiPonderati, "
                                        "TotalePonderato, Quota FROM RipartizioniTabelle WHERE IdRipartizioneLocale = ? "
                                        "ORDER BY Ordine"));
    tables.bind(1, unitKey);
    while (tables.step())
        b.tables.push_back({tables.value(0).toString(), tables.value(1).toDouble(), tables.value(2).toDouble(),
                            tables.value(3).toDouble(), tables.value(4).toDouble(), tables.value(5).toDouble(),
                            tables.value(6).toDouble()});
    return b;
}

QStringList explanationLines(const QuotaBreakdown& b, NumberStyle style)
{
    const Numbers n{style};
    const auto euro = [&n](double value) { return n.euro(value); };
    const auto percent = [&n](double value) { return n.percent(value); };
    QStringList lines;
    const QString unit = b.unit.isEmpty() ? QStringLiteral("della sua unità") : QStringLiteral("dell'unità %1").arg(b.unit);
    if (!b.known) {
        lines << QStringLiteral("Quota \"%1\" %2: %3").arg(b.quotaName, unit, euro(b.importo)) << kNoBreakdown;
        return lines;
    }
    if (b.personal) {
        lines << QStringLiteral("Quota \"%1\" %2: %3").arg(b.quotaName, unit, euro(b.importo))
              << QStringLiteral("È una quota personale, addebitata direttamente a questa unità: non deriva da una ripartizione.");
        return lines;
    }
    lines << QStringLiteral("Quota \"%1\" %2, dalla ripartizione del %3 (%4) %5.")
                 .arg(b.quotaName, unit, b.day.toString(QStringLiteral("dd/MM/yyyy")), b.type,
                      b.instalments == 1 ? QStringLiteral("in un'unica rata")
                                         : QStringLiteral("in %1 rate").arg(b.instalments));
    if (!b.staircases.isEmpty())
        lines << QStringLiteral("La ripartizione riguardava solo le scale: %1.").arg(b.staircases.join(QStringLiteral(", ")));
    if (b.excluded)
        lines << QStringLiteral("L'unità è stata esclusa da questa ripartizione: non le spetta alcuna quota.");
    if (b.equalPart) {
        lines << QStringLiteral("Ripartizione in parti uguali: %1 per unità, al %2: %3.")
                     .arg(euro(*b.equalPart), percent(b.participation), euro(b.total));
    } else {
        for (const TablePart& t : b.tables) {
            if (t.weightedTotal == 0) {
                lines << QStringLiteral("Tabella %1: %2 da ripartire, ma nessuna unità vi ha millesimi ponderati: %3.")
                             .arg(t.table, euro(t.amount), euro(0));
                continue;
            }
            lines << QStringLiteral("Tabella %1: %2 ripartiti su %3 millesimi ponderati; la sua unità ne ha %4 al %5: %6.")
                         .arg(t.table, euro(t.amount), n.thousandths(t.weightedTotal), n.thousandths(t.thousandths),
                              percent(t.participation), euro(t.share));
        }
    }
    lines << QStringLiteral("Totale a carico dell'unità: %1.").arg(euro(b.total));
    if (b.instalments == 1)
        lines << QStringLiteral("In un'unica rata, arrotondata al centesimo: %1.").arg(euro(b.instalmentCents));
    else if (style == NumberStyle::Letter)
        lines << QStringLiteral("Diviso in %1 rate: € %2 per rata, arrotondato al centesimo: %3.")
                     .arg(b.instalments)
                     .arg(n.plain(QString::number(keep15(b.instalmentExact), 'f', 4)), euro(b.instalmentCents));
    else
        lines << QStringLiteral("Diviso in %1 rate: %2 € per rata, arrotondato al centesimo: %3.")
                     .arg(b.instalments)
                     .arg(QString::number(keep15(b.instalmentExact), 'f', 4), euro(b.instalmentCents));
    if (b.halfUnitRounding)
        lines << QStringLiteral("Arrotondato al mezzo euro: %1.").arg(euro(b.instalment));
    lines << QStringLiteral("Importo della quota: %1.").arg(euro(b.importo));
    if (store::Money::fromDouble(b.importo) != store::Money::fromDouble(b.instalment))
        lines << QStringLiteral("L'importo è stato poi modificato dall'amministratore: la ripartizione dava %1.")
                     .arg(euro(b.instalment));
    return lines;
}

QVector<qint64> statementRowQuotas(store::Database& db, const QString& condominium, const QString& year, bool owner,
                                   qint64 personId, const QString& quotaName, const std::optional<QVariant>& type,
                                   const std::optional<QVariant>& dueDate)
{
    QVector<qint64> ids;
    Statement st(db, QStringLiteral("SELECT q.IdQuota FROM Quote AS q INNER JOIN Locali AS l ON l.Id = q.IdLocale "
                                    "WHERE l.IdCondominio = ? AND q.AA = ? AND q.NomeQuote = ? AND %1 = ? "
                                    "AND (? OR q.Tipologia IS ?) AND (? OR q.DataScadenza IS ?) "
                                    "ORDER BY l.Id, q.IdQuota")
                         .arg(owner ? QStringLiteral("l.idProprietario") : QStringLiteral("l.idInquilino")));
    st.bindAll({condominium, year, quotaName, personId, !type.has_value(), type.value_or(QVariant()),
                !dueDate.has_value(), dueDate.value_or(QVariant())});
    while (st.step())
        ids << st.value(0).toLongLong();
    return ids;
}

QString statementRowExplanation(store::Database& db, const QString& condominium, const QString& year, bool owner,
                                qint64 personId, const QString& quotaName, const std::optional<QVariant>& type,
                                const std::optional<QVariant>& dueDate)
{
    QStringList paragraphs;
    for (qint64 quota : statementRowQuotas(db, condominium, year, owner, personId, quotaName, type, dueDate))
        paragraphs << explanationLines(breakdownOfQuota(db, quota)).join(u'\n');
    if (paragraphs.isEmpty())
        return QStringLiteral("Nessuna quota \"%1\" nell'anno %2.").arg(quotaName, year);
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace velcaris::allocation
