#pragma once
// Expenses (Uscite): a supplier's invoice charged to a budget item of the current year, with the
// withholding tax the condominium retains and pays later. What TFormUscite shows and writes.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "cashbook/ExpenseSplit.h"
#include "store/RowStamp.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::cashbook {

inline const QString kNoSupplierMessage = QStringLiteral(
    "E' necessario associare preventivamente un fornitore al condominio nella linguetta \"Fornitori\"");
inline const QString kNoBudgetItemMessage = QStringLiteral(
    "E' necessario creare preventivamente una voce di preventivo nella linguetta \"Preventivo\"");
inline const QString kNetAndWithholdingQuestion = QStringLiteral(
    "La somma di importo netto e della ritenuta operata è diversa dall'importo lordo. Continuare?");

struct SupplierChoice {
    qint64 id = 0;
    QString fornitore;
};

struct BudgetChoice {
    qint64 id = 0;
    QString tabella;
    QString descrizione; // the table's description
    QString voce;        // DescrizioneVoceSpesa
};

// The suppliers associated with the condominium, by name.
QVector<SupplierChoice> expenseSuppliers(app::Workspace& ws, const QString& condominium);
// The budget items of the condominium's current year, by table.
QVector<BudgetChoice> expenseBudgetItems(app::Workspace& ws, const QString& condominium);
// Why an expense of the condominium cannot be entered (no supplier, no budget item), or empty.
QString expensePrecondition(app::Workspace& ws, const QString& condominium);

// The dialog's controls.
struct ExpenseInput {
    QString condominio; // written by an add only
    QString aa;         // written by an add only
    std::optional<qint64> fornitore;
    QString tipoSpesa; // the budget item's DescrizioneVoceSpesa
    QString tabella;   // and its table
    QString causale;
    QString numFattura;
    QDate dataFattura;
    QString importoLordo;
    QString imponibileIVA;
    QString commissione;
    QDate dataPagamento;
    QString pagamento;
    QString tipologia;
    QString nota;
    bool pagato = true;
    bool ritenuta = false; // "Ritenuta d'acconto" ticked
    QString importoNetto;
    QString ritenuteOperate;
    QString interessi;
    QDate periodoRiferimento;
    bool ravvedimento = false;
    QString codTributo;
    QDate dataRitenuta;
    QString metodoRitenuta;
    // The expense's row as the dialog read it: a modification is refused, nothing written, when
    // another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

// The VAT shown for a gross and a taxable base: gross - base with two decimals; "0.00" when the
// gross is smaller than the base (no negative VAT); empty while either text is empty or not a number.
QString vatText(const QString& gross, const QString& base);

// Every failed check in order, one message each: the required fields, then the amounts that are
// not numbers. Empty when the expense can be saved.
QStringList expenseProblems(const ExpenseInput& input);

// Whether net + withholding differs from the gross while the withholding is ticked (the
// dialog then asks kNetAndWithholdingQuestion before saving).
bool netAndWithholdingDiffer(const ExpenseInput& input);

// Writes a new expense: one row, or with `split` (the split's lines, percentages checked) one row
// per line with a percentage, all in one transaction. The outcome's key is the first row written.
app::Outcome addExpense(app::Workspace& ws, const ExpenseInput& input, const QVector<SplitLine>& split = {});

// Changes the expense `id` (its condominium and year stay), unless another desk changed or deleted
// it since `input.asRead` (a stale refusal, Outcome::stale).
app::Outcome modifyExpense(app::Workspace& ws, qint64 id, const ExpenseInput& input);

// The stored expense as the dialog shows it: the gross amount is the stored outflow with the
// commission taken out and the withholding put back; the withholding is ticked when the row has
// a tax code.
std::optional<ExpenseInput> readExpense(app::Workspace& ws, qint64 id);

} // namespace velcaris::cashbook
