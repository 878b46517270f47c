#pragma once
// A readable copy of an electronic invoice, made by the program: supplier, customer, number and
// date, lines, VAT summary, withholding, total and payment, as a self-contained HTML page that the
// administrator can print or publish.
#include "einvoice/Invoice.h"

#include <QString>

namespace velcaris::einvoice {

QString invoiceHtml(const Invoice& invoice, const QString& fileName);

} // namespace velcaris::einvoice
