#pragma once
// A table's row as a dialog read it, so that its "Conferma" writes over the row only while it is
// still stored so. On a server several desks edit the same rows: a dialog opened on one desk must
// never overwrite unseen what another desk saved in the meantime. The dialog stamps the row when
// it opens for a modification; the core function that writes it calls refuseIfChanged inside its
// transaction, before its UPDATE; a refusal tells the dialog to show the row as it is now.
// (A dataset's post() makes the same check on its own rows, in the same words.)
#include "store/Database.h"
#include "store/StoreError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::store {

struct RowStamp {
    QString table;
    QString keyColumn;
    QVariant key;
    QStringList columns;      // every column of the table, as the engine lists them
    QVector<QVariant> values; // the row's values in the order of columns (row after row for
                              // stampRows); empty when there was none
    bool several = false;     // stampRows: every row whose keyColumn holds key, not one row

    // An empty stamp (an add, an import, a test that does not care) checks nothing.
    bool isSet() const { return !table.isEmpty(); }
};

// The row of `table` whose `keyColumn` holds `key`, every column of it as stored now.
RowStamp stampRow(Database& db, const QString& table, const QString& keyColumn, const QVariant& key);
// Every row of `table` whose `keyColumn` holds `key` (a unit's thousandths, say), in the order of
// all their columns.
RowStamp stampRows(Database& db, const QString& table, const QString& keyColumn, const QVariant& key);

// Reads the stamped row again and raises StoreError (StoreFault::Conflict, rowChangedText() or
// rowDeletedText()) when it is no longer stored as stamped. Called inside the writer's
// transaction, before it writes: on a server that transaction reads at repeatable read, so a desk
// that changes the row after this check makes the write itself fail (see staleRowText). Nothing
// for an unset stamp.
void refuseIfChanged(Database& db, const RowStamp& stamp);

// The words of the refusal: the row changed, or went, since it was read.
QString rowChangedText();
QString rowDeletedText();

// Whether `failure` is refuseIfChanged's refusal (or a dataset's, which says the same).
bool isStaleRow(const StoreError& failure);

// For the writer's handler, once its transaction has rolled back: the words for the user when
// `failure` means that the stamped row changed or went since it was read. That is
// refuseIfChanged's own refusal; or, on a server, a write overtaken by a desk that changed the row
// after the check (the server's words, a Conflict), found by reading the row again, outside any
// transaction. Empty when the failure is another (the caller reports it as it is).
QString staleRowText(Database& db, const RowStamp& stamp, const StoreError& failure);

} // namespace velcaris::store
