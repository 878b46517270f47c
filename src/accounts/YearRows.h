#pragma once
// The stored movements the year's accounts are made of, read once per section: the expenses
// (Uscite) with what each takes out of cash and bank, and the income (Entrate). Amounts are whole
// cents, each stored value rounded once.
#include "accounts/AccountingYear.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::accounts {

enum class YearSpan { Year, YearAndEarlier };

struct ExpenseRow {
    qint64 id = 0;
    QString year;            // AA
    QString table;           // Tabella
    QString item;            // TipoSpesa: the budget item's description
    QString type;            // Tipologia
    QString causale;
    QString number;          // NumFattura
    QDate invoiceDate;
    QDate paymentDate;
    QDate withholdingDate;   // DataRitenuta: when the withholding was paid to the treasury
    QDate period;            // PeriodoRiferimento
    qint64 supplierId = 0;
    QString supplier;
    bool paid = false;
    QString paymentMethod;
    QString withholdingMethod;
    QString taxCode;         // CodTributo
    store::Money payment;        // to the supplier: invoice + commission - withholding
    store::Money withheld;       // RitenuteOperate
    store::Money withholdingOut; // withholding + interest, to the treasury
    // The gross cost to the condominium: everything the expense takes out, invoice (VAT included:
    // a condominium cannot deduct it), bank commission and the interest of a late withholding.
    store::Money grossCost() const { return payment + withholdingOut; }
    bool extraordinary() const { return isExtraordinary(type); }
};

// The expenses of the condominium's year (or of that year and the earlier ones), by key.
QVector<ExpenseRow> readExpenses(store::Database& db, const AccountingYear& year, YearSpan span = YearSpan::Year);

struct IncomeRow {
    qint64 id = 0;
    QDate date;
    QString kind;        // TipoMovimento: a payment, the opening amount, a transfer
    QString counterpart; // the person, or else the name written on the row
    QString type;        // Tipologia
    QString note;
    QString receipt;     // Ricevuta, empty when none
    QString method;      // MetodoPagamento
    store::Money amount;
};

// The income rows of the condominium's year, by key.
QVector<IncomeRow> readIncome(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
