#pragma once
// Writing filter expressions: values are quoted here, never concatenated by hand, so that a name
// with an apostrophe stays one value.
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace velcaris::store {

// 'text' with an embedded quote doubled: D'Angelo -> 'D''Angelo'.
inline QString quoteFilterValue(const QString& text)
{
    QString q = text;
    q.replace(QStringLiteral("'"), QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

// field='value', the value quoted.
inline QString equalsTerm(const QString& field, const QString& value)
{
    return field + u'=' + quoteFilterValue(value);
}

// field=number, bare.
inline QString equalsTerm(const QString& field, qint64 value)
{
    return field + u'=' + QString::number(value);
}

// The terms joined with AND; empty terms are left out, so an optional condition is just an
// empty text. No terms at all: the empty filter.
inline QString andTerms(std::initializer_list<QString> terms)
{
    QStringList kept;
    for (const QString& t : terms)
        if (!t.isEmpty())
            kept << t;
    return kept.join(QStringLiteral(" AND "));
}

} // namespace velcaris::store
