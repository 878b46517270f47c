#pragma once
// Writing filter expressions: values are quoted here, never concatenated by hand, so that a name
// with an apostrophe stays one value.
#include <QString>
#include <QStringList>
#include <QChar>
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

// The text as a LIKE pattern that matches exactly itself: the wildcards '*' and '?', and the
// '[' that brackets a literal character, are each put between brackets ("50%*" -> "50%[*]").
inline QString literalPattern(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'[') {
            out += u'[';
            out += c;
            out += u']';
        } else {
            out += c;
        }
    }
    return out;
}

// field LIKE '*text*': the field contains the text anywhere, letter case ignored. What the user
// typed is looked for literally, wildcards included.
inline QString containsTerm(const QString& field, const QString& text)
{
    return field + QStringLiteral(" LIKE ") + quoteFilterValue(u'*' + literalPattern(text) + u'*');
}

// field LIKE 'text': the field equals the text without regard to letter case.
inline QString equalsIgnoringCaseTerm(const QString& field, const QString& text)
{
    return field + QStringLiteral(" LIKE ") + quoteFilterValue(literalPattern(text));
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

// The terms joined with OR, each bracketed; empty terms are left out.
inline QString orTerms(std::initializer_list<QString> terms)
{
    QStringList kept;
    for (const QString& t : terms)
        if (!t.isEmpty())
            kept << u'(' + t + u')';
    return kept.join(QStringLiteral(" OR "));
}

} // namespace velcaris::store
