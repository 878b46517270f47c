#pragma once
// Filters of the registers as the program writes them: "Nome='D''Angelo' AND Importo>=12.50",
// "[Nome Quota] LIKE '*rata*'", "DataScadenza<=08/12/2014". They are compiled into a
// parameterised SQL condition: values are always bound, never spliced into the SQL text.
#include "store/StoreError.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

namespace velcaris::store {

struct SqlFragment {
    QString sql;
    QVector<QVariant> params;
};

// Maps a field name as written in a filter or sort (any letter case, brackets removed) to the real
// column name of the dataset's source, or returns an empty QString when there is no such field.
using FieldResolver = std::function<QString(const QString&)>;

// How deep brackets and NOT may nest in a filter; deeper ones are refused (the engine's own
// parser has a bounded stack too, which the SQL of a filter must fit into).
inline constexpr int kMaxFilterNesting = 32;

// Compiles a filter expression into a parameterised SQL boolean expression (without "WHERE").
// An empty or blank expression gives an empty sql (no filter). Any error raises StoreError whose
// message names the offending text and quotes the whole expression.
SqlFragment compileFilter(const QString& expression, const FieldResolver& resolve);

} // namespace velcaris::store
