#pragma once
// The allocation of a current year's amounts into quotas over the workspace: what TFRipartizione
// reads when it opens, the preview it shows before writing, and the writing itself. Every Quote
// row and web quota row of one confirmation is written in one transaction, or none.
#include "allocation/AllocationPlan.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::allocation {

inline const QString kEmptyQuotaName = QStringLiteral("Il nome della quota non può essere nullo");
inline const QString kBadInstalments =
    QStringLiteral("Il numero delle quote deve essere un numero intero maggiore di zero");

// A table of the condominium, in the order the dialog lists them (by name).
struct AllocationTable {
    qint64 id = -1;
    QString nome;
};

// What the dialog works on: the condominium's tables and the units of its unit view (those with
// an owner, a tenant and a type found in their tables, and a thousandths row), ascending Id.
struct AllocationUnits {
    QVector<AllocationTable> tables;
    QVector<PlanUnit> units;       // thousandths in the order of `tables`; a missing row is 0
    QVector<QString> owners;       // display names, one per unit
    QVector<QString> tenants;
    QStringList leftOut;           // names of the condominium's units missing from the view
    QVector<bool> participationKnown; // false where a percentage is missing (refused on confirm)
};

AllocationUnits loadAllocationUnits(app::Workspace& ws, const QString& condominium);

// The distinct non-empty staircases of the units, ascending (case-sensitive).
QStringList staircasesOf(const QVector<PlanUnit>& units);

// The quota types (Tipologia) in their stored order.
QStringList quotaTypes(app::Workspace& ws);

struct InstalmentInput {
    QString name;
    QDate due; // null: the date cell was never touched
};

// The contents of the "Ripartizione Quote" tab, as typed.
struct AllocationInput {
    int typeIndex = 1;                     // ComboTipologia; index 3 is the extraordinary type
    QVector<QString> amounts;              // GridTabelle column 2, one per table of loadAllocationUnits
    bool equalParts = false;               // CheckPU
    QString equalPart;                     // EditPU
    QString instalments;                   // NumeroQuote
    QVector<InstalmentInput> rows;         // GridQuote, as many as NumeroQuote says
    bool halfUnitRounding = false;         // CheckArrotonda
    bool toTheCent = false;                // CheckCentesimo: "al centesimo" (see AllocationPlan.h)
    QStringList staircases;                // checked in RipScale
    QVector<qint64> excluded;              // units unchecked in TFEccezioni (when confirmed)
};

// What will be written, shown before writing.
struct AllocationPreview {
    struct Table {
        QString nome;
        double amount = 0;      // entered
        double shares = 0;      // sum of the units' unrounded shares
    };
    QVector<Table> tables;
    QVector<store::Money> instalmentTotals; // one per instalment
    store::Money rowsTotal;                 // every row to write
    store::Money expected;                  // the amounts of the tables that share (equal parts: E x p / 100 per unit)
    QStringList unshared;                   // tables with an amount but no weight among the units taking part
    qint64 differenceCents = 0;             // rowsTotal - expected
    QStringList existingNames;              // instalment names the year already has
    QStringList leftOut;                    // units of the condominium outside the unit view
    int units = 0;                          // units taking part
    int rows = 0;                           // Quote rows to write
    int webRows = 0;                        // of which published
    QString year;
    QString type;
    bool toTheCent = false;                 // shared al centesimo
};

struct AllocationCheck {
    app::Outcome refusal;                   // done when the input is acceptable
    PlanInput plan;
    AllocationPlan result;
    AllocationPreview preview;
};

// Checks the input against the current condominium and year and computes what would be written.
// Refused (nothing computed) without a current year, with a number of instalments that is empty,
// 0 or not a whole number, rows that do not match it, an amount (an empty one too) or equal part
// that is not a number, an empty instalment name or one with a full stop, a missing participation percentage,
// or no unit taking part.
AllocationCheck checkAllocation(app::Workspace& ws, const AllocationInput& input);

// The preview in Italian, one line per item.
QStringList previewLines(const AllocationPreview& preview);

// "Conferma" of the preview: checks again, then writes every row instalment-major, each
// published to the web database when the unit's owner (or else its tenant) has web access. One
// transaction across both databases. The outcome carries the number of rows written as its key.
app::Outcome confirmAllocation(app::Workspace& ws, const AllocationInput& input);

// The contents of the "Quote Personali" tab.
struct PersonalQuotaInput {
    std::optional<qint64> unitId; // the unit of the single-quota view's current row
    QString name;                 // EditQuota
    QString amount;               // EditImporto
    QDate due;                    // EditData
    QString note;                 // EditNote
};

// A single charge to one unit: type "Spese personali", nothing paid, payable, published like an
// allocated quota (with the note). Refused with an empty name, an amount that is not a number or
// no unit. One transaction.
app::Outcome addPersonalQuota(app::Workspace& ws, const PersonalQuotaInput& input);

} // namespace velcaris::allocation
