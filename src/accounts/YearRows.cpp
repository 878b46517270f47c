#include "accounts/YearRows.h"

#include "cashbook/Balances.h"
#include "store/Schema.h"

namespace velcaris::accounts {

using store::Money;

namespace {

QDate isoDate(const QVariant& v)
{
    return v.isNull() ? QDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

double amountOf(const QVariant& v)
{
    return v.isNull() ? 0.0 : v.toDouble();
}

} // namespace

QVector<ExpenseRow> readExpenses(store::Database& db, const AccountingYear& year, YearSpan span)
{
    const QString yearCondition =
        span == YearSpan::Year ? QStringLiteral("u.AA = ?") : yearOrEarlierCondition(QStringLiteral("u.AA"));
    store::Statement st(
        db, QStringLiteral("SELECT u.id, u.AA, u.Tabella, u.TipoSpesa, u.Tipologia, u.Causale, u.NumFattura, "
                           "u.DataFattura, u.DataPagamento, u.DataRitenuta, u.PeriodoRiferimento, u.IdFornitore, %1, "
                           "u.pagato, u.Pagamento, u.MetodoRitenuta, u.CodTributo, u.ImportoLordo, u.Commissione, "
                           "u.RitenuteOperate, u.Interessi "
                           "FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore "
                           "WHERE u.Condominio = ? AND %2 ORDER BY u.id")
                .arg(store::personDisplayNameSql(QStringLiteral("f")), yearCondition));
    QVector<QVariant> values = {year.condominium};
    values += span == YearSpan::Year ? QVector<QVariant>{year.name} : yearOrEarlierValues(year);
    st.bindAll(values);
    QVector<ExpenseRow> rows;
    while (st.step()) {
        ExpenseRow r;
        r.id = st.value(0).toLongLong();
        r.year = st.value(1).toString();
        r.table = st.value(2).toString();
        r.item = st.value(3).toString();
        r.type = st.value(4).toString();
        r.causale = st.value(5).toString();
        r.number = st.value(6).toString();
        r.invoiceDate = isoDate(st.value(7));
        r.paymentDate = isoDate(st.value(8));
        r.withholdingDate = isoDate(st.value(9));
        r.period = isoDate(st.value(10));
        r.supplierId = st.value(11).toLongLong();
        r.supplier = st.value(12).toString();
        r.paid = st.value(13).toBool();
        r.paymentMethod = st.value(14).toString();
        r.withholdingMethod = st.value(15).toString();
        r.taxCode = st.value(16).toString().trimmed();
        // The stored gross (ImportoLordo) is what saving made of it: the invoice plus the commission
        // less the withholding. The invoice is undone from it as the registers' view does, and the
        // balances' own rule says what goes out.
        const double stored = amountOf(st.value(17));
        const double commission = amountOf(st.value(18));
        const double withholding = amountOf(st.value(19));
        const double interest = amountOf(st.value(20));
        const double invoice = Money::fromDouble(stored - commission + withholding).toDouble();
        const cashbook::ExpenseOutflow out = cashbook::expenseOutflow(invoice, commission, withholding, interest);
        r.payment = Money::fromDouble(out.payment);
        r.withholdingOut = Money::fromDouble(out.withholding);
        r.withheld = Money::fromDouble(withholding);
        rows.push_back(r);
    }
    return rows;
}

QVector<IncomeRow> readIncome(store::Database& db, const AccountingYear& year)
{
    store::Statement st(db, QStringLiteral("SELECT e.id, e.Data, e.TipoMovimento, %1, e.Nome, e.Tipologia, e.Nota, "
                                           "e.Ricevuta, e.MetodoPagamento, e.Importo "
                                           "FROM Entrate AS e LEFT JOIN Anagrafe AS p ON p.Id = e.IdPersona "
                                           "WHERE e.Condominio = ? AND e.AA = ? ORDER BY e.id")
                                .arg(store::personDisplayNameSql(QStringLiteral("p"))));
    st.bindAll({year.condominium, year.name});
    QVector<IncomeRow> rows;
    while (st.step()) {
        IncomeRow r;
        r.id = st.value(0).toLongLong();
        r.date = isoDate(st.value(1));
        r.kind = st.value(2).toString();
        r.counterpart = st.value(3).toString();
        if (r.counterpart.isEmpty())
            r.counterpart = st.value(4).toString();
        r.type = st.value(5).toString();
        r.note = st.value(6).toString();
        r.receipt = st.value(7).isNull() ? QString() : st.value(7).toString();
        r.method = st.value(8).toString();
        r.amount = Money::fromDouble(amountOf(st.value(9)));
        rows.push_back(r);
    }
    return rows;
}

} // namespace velcaris::accounts
