#pragma once
// Importing a building from a spreadsheet: the sheet of units with their thousandths, the sheet
// of persons and the sheet of suppliers. planImport reads the book against the condominium and
// says what would be written, row by row, without writing; applyImport writes that plan in one
// transaction. Persons are matched by codice fiscale, else by surname and first name; units by
// name within the condominium; suppliers by partita IVA, else codice fiscale, else name. A row
// that matches updates the record (the columns the sheet has, no other), a row that matches
// nothing adds one, and nothing is ever deleted.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "registry/Persons.h"
#include "registry/Suppliers.h"
#include "sheetimport/SheetBook.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::sheetimport {

// A row the import refuses (left out of the writing) or warns about (written all the same).
struct RowNote {
    QString sheet;
    int row = 0; // as the spreadsheet numbers it; 0 for the sheet as a whole
    QString text;
    bool refused = true;
};

// A person: a stored one by Id, or one the plan adds (its index among the plan's persons).
struct PersonRef {
    qint64 id = -1;
    int planned = -1;
    bool operator==(const PersonRef&) const = default;
};

struct PlannedPerson {
    std::optional<qint64> id; // none: added
    registry::PersonInput values; // the whole row as it will be stored (credentials as stored)
    bool web = false;             // the person has web credentials: its web access row follows
};

struct PlannedSupplier {
    std::optional<qint64> id;
    registry::SupplierInput values;
    bool changed = false;   // the supplier's own fields are written
    bool associate = false; // the supplier is associated with the condominium
};

struct PlannedTable {
    std::optional<qint64> id; // none: created
    QString name;
    bool inSheet = false; // a column of the units' sheet
    double total = 0;     // the thousandths of every unit of the condominium after the import
};

struct PlannedUnit {
    std::optional<qint64> id;
    QString nome, tipologia, piano, scala, foglio, particella, sub;
    PersonRef owner, tenant;
    int ord = 100;
    int str = 100;
    QVector<std::optional<double>> thousandths; // by index of the plan's tables; none: as stored
};

struct ImportPlan {
    QString condominium;
    QString fileName;
    QString error; // the file as a whole is refused: nothing can be written

    QVector<PlannedPerson> persons; // the added and the changed ones
    QVector<PlannedSupplier> suppliers;
    QVector<PlannedUnit> units;
    QVector<PlannedTable> tables; // every table of the condominium, the new ones last
    QStringList newTypes;         // unit types the sheet names and the program did not know

    int personsAdded = 0, personsChanged = 0;
    int suppliersAdded = 0, suppliersChanged = 0;
    int unitsAdded = 0, unitsChanged = 0;
    int tablesAdded = 0;
    QVector<RowNote> notes; // in the order of the sheets and their rows

    int refusedRows() const;
    bool writesSomething() const;
    // "3 locali nuovi, 2 modificati; ..." for the preview and the closing message.
    QString summary() const;
};

// The plan for `book` in the current condominium.
ImportPlan planImport(app::Workspace& ws, const SheetBook& book);
// Reads the file and plans it; a file that cannot be read gives a plan with its error.
ImportPlan previewImport(app::Workspace& ws, const QString& path);

// "Conferma": writes the plan in one transaction (persons with their web access rows, suppliers
// and their association, unit types, units with a copy of the quota schedule for the new ones,
// tables with a row for every unit, thousandths). A plan with an error, or made for another
// condominium than the current one, is refused and nothing is written.
app::Outcome applyImport(app::Workspace& ws, const ImportPlan& plan);

} // namespace velcaris::sheetimport
