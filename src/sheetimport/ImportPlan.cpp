#include "sheetimport/ImportPlan.h"

#include "registry/Condominiums.h"
#include "sheetimport/Planner.h"
#include "sheetimport/SpreadsheetFile.h"

namespace velcaris::sheetimport {

int ImportPlan::refusedRows() const
{
    int n = 0;
    for (const RowNote& note : notes)
        n += note.refused ? 1 : 0;
    return n;
}

bool ImportPlan::writesSomething() const
{
    return error.isEmpty() && (!persons.isEmpty() || !suppliers.isEmpty() || !units.isEmpty() || tablesAdded > 0);
}

QString ImportPlan::summary() const
{
    // "Persone" is feminine: "nuove, modificate".
    auto pair = [](int added, int changed, const char* noun, bool feminine) {
        return (feminine ? QStringLiteral("%1: %2 nuove, %3 modificate") : QStringLiteral("%1: %2 nuovi, %3 modificati"))
            .arg(QLatin1String(noun)).arg(added).arg(changed);
    };
    return QStringList{pair(unitsAdded, unitsChanged, "Locali", false), pair(personsAdded, personsChanged, "Persone", true),
                       pair(suppliersAdded, suppliersChanged, "Fornitori", false),
                       QStringLiteral("Tabelle millesimali nuove: %1").arg(tablesAdded),
                       QStringLiteral("Righe scartate: %1").arg(refusedRows())}
        .join(u'\n');
}

ImportPlan planImport(app::Workspace& ws, const SheetBook& book)
{
    ImportPlan plan;
    plan.fileName = book.fileName;
    plan.condominium = ws.selection.condominium;
    if (plan.condominium.isEmpty()) {
        plan.error = registry::kChooseCondominiumFirst;
        return plan;
    }
    // Each sheet with its kind and columns; persons first, since the units name them.
    struct Found {
        const SheetTable* sheet;
        SheetKind kind;
        SheetColumns columns;
    };
    QVector<Found> found;
    QStringList unreadable;
    for (const SheetTable& sheet : book.sheets) {
        SheetKind kind = kindOfSheetName(sheet.name); // Unknown: the headers tell
        if (kind == SheetKind::Instructions)
            continue;
        SheetColumns columns = findColumns(kind, sheet.rows);
        if (columns.headerRow < 0) {
            bool empty = true;
            for (const QStringList& row : sheet.rows)
                empty = empty && row.join(QString()).trimmed().isEmpty();
            if (!empty)
                unreadable << sheet.name;
            continue;
        }
        found.push_back({&sheet, kind, columns});
    }
    if (found.isEmpty()) {
        plan.error = QStringLiteral("Nel file %1 nessun foglio ha le intestazioni attese: la colonna \"Locale\" per i "
                                    "locali, \"Cognome\" (o \"Cognome e nome\") per le persone, \"Cognome\" o "
                                    "\"Ragione sociale\" con \"Partita IVA\" per i fornitori.")
                         .arg(book.fileName);
        return plan;
    }
    for (const QString& name : std::as_const(unreadable))
        plan.notes.push_back({name, 0, QStringLiteral("foglio ignorato: le intestazioni non sono riconosciute"), false});

    Planner planner(ws, plan);
    for (const SheetKind kind : {SheetKind::Persons, SheetKind::Suppliers, SheetKind::Units})
        for (const Found& f : std::as_const(found)) {
            if (f.kind != kind)
                continue;
            if (kind == SheetKind::Persons)
                planner.persons(*f.sheet, f.columns);
            else if (kind == SheetKind::Suppliers)
                planner.suppliers(*f.sheet, f.columns);
            else
                planner.units(*f.sheet, f.columns);
        }
    planner.finish();
    return plan;
}

ImportPlan previewImport(app::Workspace& ws, const QString& path)
{
    const SheetRead read = readSpreadsheet(path);
    if (!read.book) {
        ImportPlan plan;
        plan.condominium = ws.selection.condominium;
        plan.error = read.error;
        return plan;
    }
    return planImport(ws, *read.book);
}

} // namespace velcaris::sheetimport
