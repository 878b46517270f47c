#pragma once
// Importing suppliers' electronic invoices as expenses of the current condominium's current year:
// the proposal (each invoice with its supplier found in the register by partita IVA, then by
// codice fiscale, or a new supplier filled from the invoice; the expense it becomes; whether it is
// already recorded or addressed to someone else), and the confirmation, which writes the new
// suppliers, their association with the condominium and the expenses in one transaction, then
// keeps each file and a readable copy of each invoice under Output/<condominium>/Fatture/.
#include "cashbook/Expenses.h"
#include "einvoice/InvoiceFiles.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "registry/Suppliers.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::einvoice {

enum class SupplierMatch { PartitaIva, CodiceFiscale, New };

struct ImportRow {
    ReadInvoice source;
    SupplierMatch match = SupplierMatch::New;
    std::optional<qint64> supplierId; // the supplier found in the register
    QString supplierName;             // as the grids show it
    registry::SupplierInput newSupplier; // filled from the invoice, written on confirmation when New
    QString supplierKey;              // the same new supplier in several rows is written once
    cashbook::ExpenseInput expense;   // the proposed expense (no supplier yet when New)
    QString duplicate;      // why the invoice is already recorded; empty otherwise
    QString otherAddressee; // why it seems addressed to someone else; empty otherwise
    bool chosen = true;     // imported on confirmation; a duplicate starts unchosen
    bool acceptOtherAddressee = false; // the user confirmed it concerns the condominium all the same
};

struct ImportProposal {
    QString condominium;
    QString year;
    QVector<ImportRow> rows;
    QVector<RefusedFile> refused; // the files that were not read, with their reason
};

// Why no invoice can be imported now (no condominium chosen, no current year, no budget item);
// empty when it can.
QString importPrecondition(app::Workspace& ws, const QString& condominium);

// The proposal for the invoices read, in `batch`'s order.
ImportProposal proposeImport(app::Workspace& ws, const QString& condominium, const ReadBatch& batch);

// The payment of a row: its date and place ("Cassa", "Conto Corrente"), and with them the
// withholding's reference month and its due date (the 16th of the next month).
void setPayment(ImportRow& row, const QDate& day, const QString& place);

struct ImportInput {
    QString condominium;
    QVector<ImportRow> rows; // the proposal's rows with the user's choices
};

struct ImportResult {
    int expenses = 0;
    int newSuppliers = 0;
    QStringList kept; // the files written under Output/<condominium>/Fatture/
};

// Writes the chosen rows. Refused, with one message per problem naming the invoice and nothing
// written, when a chosen row is already recorded, is addressed to someone else without the user's
// confirmation, has no budget item or an expense that the expense dialog would refuse.
app::Outcome importInvoices(app::Workspace& ws, const ImportInput& input, ImportResult* result = nullptr);

// The folder that keeps the imported files: Output/<condominium>/Fatture.
QString invoicesFolder(const app::Workspace& ws, const QString& condominium);

} // namespace velcaris::einvoice
