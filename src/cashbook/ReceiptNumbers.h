#pragma once
// Receipt numbers: one sequence per condominium and administrative year, starting at 1. A number
// once given is never given again, also when its payment is deleted and its receipt cancelled.
#include "foundation/Workspace.h"
#include "store/Database.h"

#include <QString>

namespace velcaris::cashbook {

// Nome of the condominium's current administrative year; empty when it has none.
QString currentYearName(app::Workspace& ws, const QString& condominium);

// One above the highest number the condominium's current year has used: among its income rows
// (compared as numbers, rows without a number ignored), the highest ever recorded as given
// (NumeriRicevute), and the receipt documents of that year in its receipt folder, cancelled ones
// included (they keep the numbers given before the record was kept). 1 when there is none.
int nextReceiptNumber(app::Workspace& ws, const QString& condominium);
// The same without the documents: one above the highest number the database holds as given.
// What a payment checks at its commit, when another desk may have given a number meanwhile.
int nextRecordedReceiptNumber(app::Workspace& ws, const QString& condominium);

// Records `number` as given in the condominium's `year`, unless a higher one is recorded. Runs
// inside the caller's transaction (the payment's).
void recordGivenReceiptNumber(store::Database& db, const QString& condominium, const QString& year, int number);

} // namespace velcaris::cashbook
