#pragma once
// What the owner statement hands to the payment dialog: who pays, and the statement rows the
// administrator selected, in the order of selection. The payment dialog keeps the payable ones.
#include "foundation/ViewMemory.h"

#include <QString>
#include <QVector>

namespace velcaris::app {

struct PaymentLine {
    QString quotaName;  // NomeQuote
    double amountDue = 0.0; // ImportoDaPagare of the statement row
    QString type;       // Tipologia
    bool payable = true; // PagabiliSiNo
};

struct PaymentDraft {
    bool ownerPays = false;  // the statement subject: the owner ("proprietario") or the tenant
    qint64 payerId = 0;      // idProprietario or idInquilino of the unit chosen in the Locali grid
    QString payerName;       // the name the statement shows for that person
    QVector<PaymentLine> lines;
    ViewMemory unitsView; // sort and row of the Locali grid when the statement opened
};

} // namespace velcaris::app
