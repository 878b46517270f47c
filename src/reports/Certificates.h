#pragma once
// The withholding certificates: for each checked supplier, the document that lists the tax the
// condominium withheld from it in a year, with the total in figures and in words; the choice of
// the suppliers with withholding; the year's selection of the 770 return.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "documents/DocumentBatch.h"
#include "documents/RtfReport.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace velcaris::reports {

inline const QString kCertificazione = QStringLiteral("Certificazione");

struct CertificateEntry {
    qint64 supplierId = 0;
    QString caption; // "Cognome Nome", or the surname alone
    bool checked = false;
};

struct CertificateRequest {
    QString year; // as typed
    QVector<CertificateEntry> entries;
    QDate today;  // the certificate's date
};

using CertificateRun = documents::DocumentBatch;

// The total of the withholdings as the certificate prints it: always two decimals ("150.50",
// "150.00", "0.00").
QString certificateTotal(double sum);
// The total in words, "/" and its cents: "centocinquanta/50"; a zero total is "zero/00".
QString certificateTotalInWords(const QString& totalText);

// The filter of ADOTableCertificazioni for one supplier's withholdings of `year`.
QString certificateFilter(const QString& condominium, qint64 supplierId, int year);

// "<Output>/<condominium>/<year> - <caption>.rtf"
QString certificatePath(const app::Workspace& ws, int year, const QString& caption);

// Writes the certificate of each checked entry, in order; `gauge` gets the gauge's position after
// each entry. The first failure ends the run; the certificates written before it stay.
CertificateRun produceCertificates(app::Workspace& ws, documents::TRtfReport& report, const CertificateRequest& rq,
                                   const std::function<void(int)>& gauge = {});

// The suppliers of the current condominium with a withholding of the year (refused without a year).
struct WithholdingSuppliers {
    app::Outcome outcome;
    QSet<qint64> ids;
};
WithholdingSuppliers suppliersWithWithholding(app::Workspace& ws, const QString& year);

// Selects the year's withholding rows of the current condominium in ADOTable770 (the 770 return
// is filed from them); the outcome says how many, or that the year is missing.
app::Outcome selectModello770(app::Workspace& ws, const QString& year);

} // namespace velcaris::reports
