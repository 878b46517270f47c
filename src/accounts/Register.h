#pragma once
// The registro di contabilità: every movement of cash and bank in the year, in date order, with
// the running balances. The rows and their rules are the balances' own (cashbook/Balances.h): the
// year's income rows (payments, opening amounts, transfers) by their payment method, and each
// paid expense as the payment to its supplier (by its payment method) and, when there is one, the
// payment of its withholding with the interest (by its withholding method, on the withholding's
// date or else the payment's); an unpaid expense moves no money. Starting from nothing (the
// opening amounts are movements of the year), the closing balances are the balances of the year.
#include "accounts/AccountingYear.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::accounts {

enum class Place { Cash, Bank };

struct RegisterLine {
    enum class Source { Income, ExpensePayment, Withholding };
    Source source = Source::Income;
    qint64 rowId = 0;        // the Entrate or Uscite row
    QDate date;              // null when the row has none (listed first)
    QString number;          // receipt or invoice number
    QString counterpart;     // the person, the supplier, or the treasury for a withholding
    QString description;
    Place place = Place::Cash;
    store::Money in;         // a negative income row (the outgoing half of a transfer) is an out
    store::Money out;
    store::Money cashBalance; // after this line
    store::Money bankBalance;
};

struct Register {
    QVector<RegisterLine> lines;
    store::Money cashIn, cashOut, bankIn, bankOut;
    store::Money closingCash() const { return cashIn - cashOut; }
    store::Money closingBank() const { return bankIn - bankOut; }
};

Register computeRegister(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
