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
    Balances b;
    Dataset& entrate = ws.ds(QStringLiteral("ADOQueryEntrate"));
    if (entrate.isActive()) {
        entrate.requery();
        const int method = entrate.fieldIndex(QStringLiteral("MetodoPagamento"));
        const int amount = entrate.fieldIndex(QStringLiteral("Importo"));
        for (int row = 0; row < entrate.rowCount(); ++row) {
            const double value = amountOf(entrate.valueAt(row, amount));
            if (entrate.valueAt(row, method).toString() == kCassa)
                b.entrateC += value;
            else
                b.entrateCC += value;
        }
        entrate.first();
    }
    Dataset& uscite = ws.ds(QStringLiteral("ADOQueryUscite"));
    if (uscite.isActive()) {
        uscite.requery();
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
            const double r = amountOf(uscite.valueAt(row, withholding));
            const double i = amountOf(uscite.valueAt(row, interest));
            // The supplier is paid the invoice and commission less the withholding; the withholding
            // goes out later with its interest, which adds to what the expense cost.
            const double outflow = amountOf(uscite.valueAt(row, invoice)) + amountOf(uscite.valueAt(row, commission)) - r;
            (uscite.valueAt(row, payment).toString() == kCassa ? b.usciteC : b.usciteCC) += outflow;
            (uscite.valueAt(row, withholdingMethod).toString() == kCassa ? b.usciteC : b.usciteCC) += r + i;
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
