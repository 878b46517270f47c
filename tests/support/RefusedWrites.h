#pragma once
// A write the database itself refuses, as a full disk or a broken server would: a trigger on a
// table, in the syntax of whichever engine holds the office, so that a test of "all or nothing"
// runs on both.
#include "store/Database.h"

#include <QString>

namespace velcaris::test {

// From now on the engine refuses `event` ("INSERT", "UPDATE", "DELETE") on `table` ("Uscite",
// "web.Quote") with `message`, for every row or only those where `condition` holds (over NEW,
// e.g. "NEW.Tabella = 'C'").
void refuseWrites(store::Database& db, const QString& table, const QString& event, const QString& message,
                  const QString& condition = QString());
// Takes the refusal off `table` again.
void allowWrites(store::Database& db, const QString& table);

} // namespace velcaris::test
