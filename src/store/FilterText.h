#pragma once
// Writing values into filter expressions.
#include <QString>

namespace velcaris::store {

// 'text' with an embedded quote doubled: D'Angelo -> 'D''Angelo'.
inline QString quoteFilterValue(const QString& text)
{
    QString q = text;
    q.replace(QStringLiteral("'"), QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

} // namespace velcaris::store
