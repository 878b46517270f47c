#include "cashbook/Balances.h"

#include "store/FilterText.h"
#include "store/Money.h"

namespace velcaris::cashbook {

using store::Dataset;
using store::formatAmount;

namespace {

const QString kCassa = QStringLiteral("Cassa");
const QString kContoCorrente = QStringLiteral("Conto Corrente");

double amountOf(const QVariant& v)
{
    return v.isNull() ? 0.0 : v.toDouble();
}

double textValue(const QString& text)
{
    return store::parseNumber(text).value_or(0.0);
}

} // namespace

bool countsAsCash(const QString& method)
{
    return method == kCassa;
}

ExpenseOutflow expenseOutflow(double invoice, double commission, double withholding, double interest)
{
    return {invoice + commission - withholding, withholding + interest};
}

QString Balances::textEntrateC() const { return formatAmount(entrateC); }
QString Balances::textEntrateCC() const { return formatAmount(entrateCC); }
QString Balances::textEntrateTOT() const { return formatAmount(entrateC + entrateCC); }
QString Balances::textUsciteC() const { return formatAmount(usciteC); }
QString Balances::textUsciteCC() const { return formatAmount(usciteCC); }
QString Balances::textUsciteTOT() const { return formatAmount(usciteC + usciteCC); }
QString Balances::textTOTC() const { return formatAmount(textValue(textEntrateC()) - textValue(textUsciteC())); }
QString Balances::textTOTCC() const { return formatAmount(textValue(textEntrateCC()) - textValue(textUsciteCC())); }
QString Balances::textTOT() const { return formatAmount(textValue(textTOTC()) + textValue(textTOTCC())); }

Balances RicalcolaSaldi(app::Workspace& ws)
{
    for (const char* name : {"ADOQueryEntrate", "ADOQueryUscite"})
        if (Dataset& d = ws.ds(QLatin1String(name)); d.isActive())
            d.requery();
    return totalsOfShownRows(ws);
}

Balances totalsOfShownRows(app::Workspace& ws)
{
    Balances b;
    Dataset& entrate = ws.ds(QStringLiteral("ADOQueryEntrate"));
    if (entrate.isActive()) {
        const int method = entrate.fieldIndex(QStringLiteral("MetodoPagamento"));
        const int amount = entrate.fieldIndex(QStringLiteral("Importo"));
        for (int row = 0; row < entrate.rowCount(); ++row) {
            const double value = amountOf(entrate.valueAt(row, amount));
            if (countsAsCash(entrate.valueAt(row, method).toString()))
                b.entrateC += value;
            else
                b.entrateCC += value;
        }
        entrate.first();
    }
    Dataset& uscite = ws.ds(QStringLiteral("ADOQueryUscite"));
    if (uscite.isActive()) {
        const int paid = uscite.fieldIndex(QStringLiteral("Pagato"));
        const int payment = uscite.fieldIndex(QStringLiteral("Pagamento"));
        const int withholdingMethod = uscite.fieldIndex(QStringLiteral("MetodoRitenuta"));
        const int invoice = uscite.fieldIndex(QStringLiteral("ImportoFattura"));
        const int commission = uscite.fieldIndex(QStringLiteral("Commissione"));
        const int withholding = uscite.fieldIndex(QStringLiteral("RitenuteOperate"));
        const int interest = uscite.fieldIndex(QStringLiteral("Interessi"));
        for (int row = 0; row < uscite.rowCount(); ++row) {
            if (!uscite.valueAt(row, paid).toBool())
                continue;
            const ExpenseOutflow out = expenseOutflow(
                amountOf(uscite.valueAt(row, invoice)), amountOf(uscite.valueAt(row, commission)),
                amountOf(uscite.valueAt(row, withholding)), amountOf(uscite.valueAt(row, interest)));
            (countsAsCash(uscite.valueAt(row, payment).toString()) ? b.usciteC : b.usciteCC) += out.payment;
            (countsAsCash(uscite.valueAt(row, withholdingMethod).toString()) ? b.usciteC : b.usciteCC) += out.withholding;
        }
        uscite.first();
    }
    return b;
}

QStringList bankSummary(app::Workspace& ws, const QStringList& names, bool onlyNegative)
{
    Dataset& entrate = ws.ds(QStringLiteral("ADOTableSommaEntrate"));
    Dataset& uscite = ws.ds(QStringLiteral("ADOTableSommaUscite"));
    entrate.requery();
    uscite.requery();
    QStringList lines;
    for (const QString& name : names) {
        const QString filter = store::equalsTerm(QStringLiteral("Condominio"), name);
        entrate.setFilter(filter);
        uscite.setFilter(filter);
        double income = 0, outflow = 0;
        for (int row = 0; row < entrate.rowCount(); ++row)
            if (entrate.valueAt(row, QStringLiteral("MetodoPagamento")).toString() == kContoCorrente)
                income += amountOf(entrate.valueAt(row, QStringLiteral("Importo")));
        for (int row = 0; row < uscite.rowCount(); ++row) {
            if (uscite.valueAt(row, QStringLiteral("Pagamento")).toString() == kContoCorrente)
                outflow += amountOf(uscite.valueAt(row, QStringLiteral("Uscite")));
            if (uscite.valueAt(row, QStringLiteral("MetodoRitenuta")).toString() == kContoCorrente)
                outflow += amountOf(uscite.valueAt(row, QStringLiteral("UsciteRitenuta")));
        }
        const double balance = income - outflow;
        if (!onlyNegative || balance < 0)
            lines << name + u'\t' + formatAmount(balance);
    }
    return lines;
}

} // namespace velcaris::cashbook
