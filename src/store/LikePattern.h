#pragma once
// The registers' LIKE pattern: '*' any run, '?' one character, "[c]" the character c itself (so
// that a '*', '?' or '[' the user typed can be looked for); letter case ignored. One matcher
// serves the engine's vlike() function of the filters and the datasets' quick filter, so a row
// is chosen the same way whether the statement or the memory does the choosing.
#include <QString>
#include <QVariant>
#include <QVector>

namespace velcaris::store {

struct LikePattern {
    enum Kind : char { Run, One, Char };
    QVector<Kind> kinds;
    QString chars; // the folded character of each Char item (blank for the others)
};

LikePattern parseLikePattern(const QString& pattern);
// The text as UTF-8 bytes, the way the engine hands a value to vlike().
bool likeMatches(const LikePattern& pattern, const char* text, int bytes);
// A value as the engine would see it: NULL never matches; numbers are matched in the engine's
// own text form (2.0 as "2.0").
bool likeMatches(const LikePattern& pattern, const QVariant& value);

} // namespace velcaris::store
