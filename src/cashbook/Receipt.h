#pragma once
// The receipt document of a payment: the template "Ricevuta.rtf" of the Output folder filled
// with the condominium, the number, the date, the payer, the paid lines and the total in figures
// and in words, written as "Output/<condominium>/Ricevute/Ricevuta n.<n> - A.A.<year>.rtf".
// Written when the payment is recorded, or again later from the income register's rows.
#include "foundation/Workspace.h"
#include "documents/RtfReport.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::platform {
class Shell;
}

namespace velcaris::cashbook {

inline const QString kReceiptTemplate = QStringLiteral("Ricevuta");

// "<Output>/<condominium>/Ricevute/", ending with '/'.
QString receiptFolder(const app::Workspace& ws, const QString& condominium);

// "<Output>/<condominium>/Ricevute/Ricevuta n.<number> - A.A.<year>.rtf"
QString receiptPath(const app::Workspace& ws, const QString& condominium, int number, const QString& year);

// The number of a receipt document of `year` named as receiptPath names it, RTF or PDF, also when
// it was marked " ANNULLATA"; nullopt for any other file.
std::optional<int> receiptFileNumber(const QString& fileName, const QString& year);

struct ReceiptLine {
    QString quota;  // the quota's name
    QString amount; // two decimals
    QString note;
};

// What the payment dialog shows when the payment is confirmed.
struct PaidReceipt {
    QString condominium;
    int number = 1;
    QString year;
    QDate date;
    QString payer;
    store::Money total;
    QVector<ReceiptLine> lines;
};

struct ReceiptRun {
    QString path;     // the document, whether or not it was written
    bool written = false;
    QStringList problems; // Italian: why the document was not written, opened or printed
};

// Writes the receipt of a payment just recorded, printing it through `shell` when `print`.
// Nothing here touches the recorded payment: a failure only comes back in `problems`.
ReceiptRun writePaymentReceipt(app::Workspace& ws, documents::TRtfReport& report, const PaidReceipt& receipt,
                               bool print, platform::Shell& shell);

// The question asked by a double click on a row of the income register: open the receipt when
// its document exists, or create it again.
QString receiptQuestion(bool exists, const QString& number, const QString& persona, const QString& date);

// Writes again the receipt `number` of the condominium's year from its income rows (ordered by
// date), opens it through `shell`, and prints it when `print`.
ReceiptRun recreateReceipt(app::Workspace& ws, documents::TRtfReport& report, const QString& condominium,
                           int number, const QString& year, bool print, platform::Shell& shell);

} // namespace velcaris::cashbook
