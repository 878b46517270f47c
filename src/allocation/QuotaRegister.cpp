#include "allocation/QuotaRegister.h"

#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "foundation/Selection.h"
#include "store/Money.h"

namespace velcaris::allocation {

using store::Database;

namespace {

QString notAnAmount(const QString& text)
{
    return QStringLiteral("\"%1\" non è un importo valido: scrivere un numero con il punto come separatore decimale")
        .arg(text.trimmed());
}

// An income link that marks a quota as paid: anything but empty or 0.
bool linkedToIncome(const QVariant& idEntrata)
{
    if (!idEntrata.isValid() || idEntrata.isNull())
        return false;
    const QString text = idEntrata.toString().trimmed();
    return !text.isEmpty() && text != QLatin1String("0");
}

void requeryQuotaRegisters(app::Workspace& ws)
{
    requeryRegisters(ws, {"ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2"});
}

// Publishes quota `id` when the unit's owner, or else its tenant, has web access.
void publishNewQuota(Database& db, const QString& condominium, qint64 id)
{
    const QVariant published = db.scalar(
        QStringLiteral("SELECT 1 FROM main.WEBDBQuote AS w WHERE w.IdQuota = ? AND "
                       "(EXISTS (SELECT 1 FROM web.Accesso AS a WHERE a.id = w.idProprietario) "
                       "OR EXISTS (SELECT 1 FROM web.Accesso AS a WHERE a.id = w.idInquilino))"),
        {id});
    if (!published.isValid())
        return;
    store::Statement row(db, QStringLiteral("SELECT idProprietario, idInquilino, IdLocale, Nome, NomeQuote, importo, "
                                            "Tipologia, DataScadenza, AA, Note FROM main.WEBDBQuote WHERE IdQuota = ?"));
    row.bindAll({id});
    if (!row.step())
        return;
    QVector<QVariant> v;
    for (int c = 0; c < row.columnCount(); ++c)
        v << row.value(c);
    db.exec(QStringLiteral("INSERT INTO web.Quote (Condominio, IdProprietario, IdInquilino, idLocale, Locale, NomeQuote, "
                           "Importo, Tipologia, DataScadenza, AA, Nota) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
            {condominium, v[0], v[1], v[2], v[3], v[4], store::formatAmount(v[5].toDouble()), v[6], v[7], v[8], v[9]});
}

} // namespace

QStringList quotaColumnOrder(Database& db, const QString& condominium, const QString& year, qint64 unit)
{
    QStringList names;
    store::Statement st(db, QStringLiteral("SELECT NomeQuote FROM Quote WHERE IdCondominio = ? AND IdLocale = ? "
                                           "AND Tipologia IS NOT ? AND AA = ? "
                                           "ORDER BY Tipologia ASC, DataScadenza ASC, IdQuota ASC"));
    st.bindAll({condominium, unit, kPersonalQuotaType, year});
    while (st.step()) {
        const QString name = st.value(0).toString();
        if (!st.value(0).isNull() && !names.contains(name))
            names << name;
    }
    return names;
}

app::Rgb quotaCellColour(const QVariant& value)
{
    const double v = (value.isValid() && !value.isNull()) ? value.toDouble() : 0.0;
    if (v > 0)
        return {0xC0, 0xDC, 0xC0};
    if (v < 0)
        return {0xFF, 0xBF, 0xBF};
    return {0xFF, 0xFF, 0xFF};
}

double addToQuotaSum(double sum, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return sum;
    return store::Money::fromDouble(sum + value.toDouble()).toDouble();
}

QString quotaSumText(double sum)
{
    return QStringLiteral("La somma è: ") + store::formatAmount(sum);
}

app::Outcome changeQuotaAmount(app::Workspace& ws, const QuotaAmountInput& input)
{
    const std::optional<double> number = store::parseNumber(input.amount);
    if (!number)
        return app::Outcome::refused(notAnAmount(input.amount), app::MessageKind::Error);
    const double amount = store::Money::fromDouble(*number).toDouble();
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);

    qint64 written = 0;
    {
        store::Transaction transaction(db);
        store::Statement first(db, QStringLiteral("SELECT IdQuota, idEntrata FROM main.Quote WHERE IdLocale = ? "
                                                  "AND NomeQuote = ? AND AA = ? ORDER BY IdQuota LIMIT 1"));
        first.bindAll({input.unit, input.quotaName, year});
        if (first.step()) {
            if (linkedToIncome(first.value(1)))
                return app::Outcome::refused(kPaidQuotaMessage);
            written = first.value(0).toLongLong();
            db.exec(QStringLiteral("UPDATE main.Quote SET Importo = ? WHERE IdQuota = ?"), {amount, written});
            // The web copy of the first row is the first of the same name.
            db.exec(QStringLiteral("UPDATE web.Quote SET Importo = ? WHERE Id = (SELECT Id FROM web.Quote "
                                   "WHERE idLocale = ? AND NomeQuote = ? AND AA = ? ORDER BY Id LIMIT 1)"),
                    {store::formatAmount(amount), input.unit, input.quotaName, year});
        } else {
            store::Statement model(db, QStringLiteral("SELECT Tipologia, DataScadenza FROM main.Quote "
                                                      "WHERE IdCondominio = ? AND NomeQuote = ? AND AA = ? "
                                                      "ORDER BY IdQuota LIMIT 1"));
            model.bindAll({condominium, input.quotaName, year});
            const bool found = model.step();
            const QVariant type = found ? model.value(0) : QVariant();
            const QVariant due = found ? model.value(1) : QVariant();
            db.exec(QStringLiteral("INSERT INTO main.Quote (IdCondominio, IdLocale, NomeQuote, Tipologia, DataScadenza, "
                                   "AA, Importo) VALUES (?,?,?,?,?,?,?)"),
                    {condominium, input.unit, input.quotaName, type, due, year, amount});
            written = db.lastInsertId();
            publishNewQuota(db, condominium, written);
        }
        transaction.commit();
    }
    requeryQuotaRegisters(ws);
    return app::Outcome::accepted(written);
}

std::optional<QuotaNameDetails> readQuotaName(app::Workspace& ws, const QString& quotaName)
{
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return std::nullopt;
    store::Statement st(db, QStringLiteral("SELECT DataScadenza, Tipologia, (SELECT COUNT(*) FROM Quote "
                                           "WHERE IdCondominio = ?1 AND NomeQuote = ?2 AND AA = ?3) FROM Quote "
                                           "WHERE IdCondominio = ?1 AND NomeQuote = ?2 AND AA = ?3 "
                                           "ORDER BY IdQuota LIMIT 1"));
    st.bindAll({condominium, quotaName, year});
    if (!st.step())
        return std::nullopt;
    QuotaNameDetails details;
    details.dueDate = QDate::fromString(st.value(0).toString().left(10), Qt::ISODate);
    details.type = st.value(1).toString();
    details.count = st.value(2).toInt();
    return details;
}

app::Outcome modifyQuotas(app::Workspace& ws, const QuotaScheduleInput& input)
{
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);
    if (!input.dueDate.isValid())
        return app::Outcome::refused(QStringLiteral("Indicare la data di scadenza della quota"));
    {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("UPDATE main.Quote SET DataScadenza = ?, Tipologia = ? "
                               "WHERE IdCondominio = ? AND NomeQuote = ? AND AA = ?"),
                {input.dueDate, input.type, condominium, input.quotaName, year});
        // The published copies keep showing what the owners owe and when.
        db.exec(QStringLiteral("UPDATE web.Quote SET DataScadenza = ?, Tipologia = ? "
                               "WHERE Condominio = ? AND NomeQuote = ? AND AA = ?"),
                {input.dueDate, input.type, condominium, input.quotaName, year});
        transaction.commit();
    }
    requeryQuotaRegisters(ws);
    return app::Outcome::accepted();
}

QStringList quotaTypes(Database& db)
{
    QStringList types;
    store::Statement st(db, QStringLiteral("SELECT Tipologia FROM Tipologia ORDER BY Id"));
    while (st.step())
        types << st.value(0).toString();
    return types;
}

} // namespace velcaris::allocation
