#pragma once
// Sort strings of the registers: "Tabella ASC,Id DESC", "[Nome Quota] desc".
#include "store/FilterExpression.h"

#include <QString>

namespace velcaris::store {

// Compiles a sort string into an ORDER BY body (without "ORDER BY"), e.g.
// "\"Tabella\" COLLATE NOCASE ASC, \"Id\" COLLATE NOCASE DESC". Empty input gives empty output.
// An unknown field or a bad direction word raises StoreError naming it.
QString compileSort(const QString& sort, const FieldResolver& resolve);

} // namespace velcaris::store
