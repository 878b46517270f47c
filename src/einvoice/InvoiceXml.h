#pragma once
// Reading the XML of a FatturaPA file (versions FPR12 and FPA12 of format 1.2), whatever prefix
// its namespaces carry: elements are recognised by their local names. A file holds one header
// and one or more bodies, each body an invoice. Anything that is not a whole, readable invoice is
// refused with the Italian reason; the reader never stops on bad input, keeps no more than the
// fields it knows, and refuses a file larger than kLargestInvoiceXml.
#include "einvoice/Invoice.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::einvoice {

inline constexpr qint64 kLargestInvoiceXml = 32LL * 1024 * 1024;

struct ParsedXml {
    QVector<Invoice> invoices; // empty when refused
    QString refusal;           // why the file was refused; empty when read
    bool ok() const { return refusal.isEmpty(); }
};

ParsedXml parseInvoiceXml(const QByteArray& xml);

// An amount as the format writes it: optional "-", 1 to 11 digits, "." and 2 to 8 decimals,
// rounded to the cent half away from zero. nullopt for anything else.
std::optional<store::Money> parseInvoiceAmount(const QString& text);

} // namespace velcaris::einvoice
