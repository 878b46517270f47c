#pragma once
// The files an administrator receives from the suppliers' portals: FatturaPA XML files, the same
// signed (".xml.p7m", a CAdES envelope in DER or in base64) and zip archives holding either. Each
// file becomes its invoices, or is refused with its Italian reason while the others are still read.
// The signature itself is not checked: the exchange system checked it before delivery.
#include "einvoice/Invoice.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::einvoice {

// One invoice read, with the file it came from (kept as received, signature included).
struct ReadInvoice {
    QString file;       // as the user knows it: "IT01234567890_1a2b3.xml.p7m" or "lotto.zip: IT..._1a2b3.xml"
    QString fileName;   // the file's own name, without folders or the archive's name
    QByteArray original;
    int body = 1;       // which body of the file (several invoices can share one file)
    Invoice invoice;
};

struct RefusedFile {
    QString file;
    QString reason;
};

struct ReadBatch {
    QVector<ReadInvoice> invoices;
    QVector<RefusedFile> refused;
};

// The XML inside a signed envelope (an envelope in an envelope is opened too), or nullopt with
// the reason: not an envelope, the content left outside (a detached signature), damaged.
std::optional<QByteArray> signedContent(const QByteArray& p7m, QString* reason);

// Reads one file held in memory, named as received; its invoices and its refusal go into `batch`.
void readInvoiceFile(const QString& name, const QByteArray& bytes, ReadBatch& batch);

// Reads the files at `paths`; a folder stands for its .xml, .p7m and .zip files (not its subfolders).
ReadBatch readInvoicePaths(const QStringList& paths);

} // namespace velcaris::einvoice
