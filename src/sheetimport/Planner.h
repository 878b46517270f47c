#pragma once
// The work of planImport, sheet by sheet: what the condominium holds, read once, and the plan
// growing row by row. Persons come first, since the units name them.
#include "sheetimport/ColumnNames.h"
#include "sheetimport/ImportPlan.h"

#include <QHash>
#include <QSet>

namespace velcaris::sheetimport {

// A cell of a row, trimmed; empty for a column the sheet does not have (-1).
inline QString cell(const QStringList& row, int column)
{
    return column >= 0 ? row.value(column).trimmed() : QString();
}

inline bool emptyRow(const QStringList& row)
{
    for (const QString& c : row)
        if (!c.trimmed().isEmpty())
            return false;
    return true;
}

// Texts compared without regard to case and repeated blanks.
QString matchKey(const QString& text);

class Planner {
public:
    Planner(app::Workspace& ws, ImportPlan& plan);

    void persons(const SheetTable& sheet, const SheetColumns& columns);
    void suppliers(const SheetTable& sheet, const SheetColumns& columns);
    void units(const SheetTable& sheet, const SheetColumns& columns);
    // The tables' totals and their warnings, once every sheet is read.
    void finish();

private:
    struct StoredPerson {
        qint64 id = -1;
        registry::PersonInput values;
    };
    struct StoredUnit {
        qint64 id = -1;
        PlannedUnit values;
    };

    void refuse(const QString& sheet, int row, const QString& text);
    void warn(const QString& sheet, int row, const QString& text);
    // The person a units' cell names (a codice fiscale or "Cognome Nome"): found, added when it
    // names nobody (`created` tells), or none with `problem` set when several persons answer.
    std::optional<PersonRef> resolvePerson(const QString& cell, bool& created, QString& problem);
    void indexPerson(const PersonRef& ref, const registry::PersonInput& values);
    int tableIndex(const QString& name);

    app::Workspace& ws_;
    ImportPlan& plan_;
    QString defaultChannel_;

    QVector<StoredPerson> storedPersons_;
    QHash<QString, QVector<PersonRef>> personsByName_; // matchKey("Cognome Nome")
    QHash<QString, QVector<PersonRef>> personsByCode_; // codice fiscale, upper case
    QHash<qint64, int> plannedPerson_;                 // stored Id -> index among the plan's persons
    QHash<qint64, QString> personRows_;                // stored Id -> "Persone, riga 4" of its row
    QSet<QString> newPersonKeys_;

    QVector<std::pair<qint64, registry::SupplierInput>> storedSuppliers_;
    QSet<qint64> associated_;          // suppliers already serving the condominium
    QHash<qint64, QString> supplierRows_; // stored id -> where a row matched it
    QHash<QString, QString> newSupplierRows_; // key of an added supplier -> where

    QVector<StoredUnit> storedUnits_;
    QHash<QString, QVector<int>> unitsByName_;          // matchKey(name) -> index among the stored
    QHash<qint64, QHash<qint64, double>> thousandths_;  // unit Id -> table Id -> stored value
    QHash<QString, QString> unitRows_;                  // matchKey(name) -> where
    QStringList types_;
};

} // namespace velcaris::sheetimport
