#include "store/LikePattern.h"

#include <cmath>

namespace velcaris::store {

LikePattern parseLikePattern(const QString& pattern)
{
    const QString p = pattern.toCaseFolded();
    LikePattern out;
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p[i] == u'*') {
            out.kinds << LikePattern::Run;
            out.chars += u' ';
        } else if (p[i] == u'?') {
            out.kinds << LikePattern::One;
            out.chars += u' ';
        } else if (p[i] == u'[' && i + 2 < p.size() && p[i + 2] == u']') {
            out.kinds << LikePattern::Char;
            out.chars += p[i + 1];
            i += 2;
        } else {
            out.kinds << LikePattern::Char;
            out.chars += p[i];
        }
    }
    return out;
}

namespace {

// `at(i)` gives the text's i-th character already folded.
template <typename At>
bool wildcardMatch(const LikePattern& p, qsizetype size, At at)
{
    const qsizetype n = p.kinds.size();
    qsizetype pi = 0, ti = 0, star = -1, mark = 0;
    while (ti < size) {
        if (pi < n && (p.kinds[pi] == LikePattern::One || (p.kinds[pi] == LikePattern::Char && p.chars[pi].unicode() == at(ti)))) {
            ++pi;
            ++ti;
        } else if (pi < n && p.kinds[pi] == LikePattern::Run) {
            star = pi++;
            mark = ti;
        } else if (star >= 0) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < n && p.kinds[pi] == LikePattern::Run)
        ++pi;
    return pi == n;
}

bool matchesFolded(const LikePattern& p, const QString& folded)
{
    return wildcardMatch(p, folded.size(), [&folded](qsizetype i) -> char16_t { return folded[i].unicode(); });
}

// The engine's text of a floating value ("%!.15g": 2.0 keeps its ".0").
QString engineRealText(double v)
{
    if (std::isnan(v))
        return QString();
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    QString text = QString::asprintf("%.15g", v);
    if (!text.contains(u'.') && !text.contains(u'e'))
        text += QStringLiteral(".0");
    return text;
}

} // namespace

bool likeMatches(const LikePattern& p, const char* text, int bytes)
{
    bool ascii = true;
    for (int i = 0; i < bytes && ascii; ++i)
        ascii = static_cast<unsigned char>(text[i]) < 0x80;
    if (ascii) {
        // Most register texts: folded byte by byte, without building a string.
        return wildcardMatch(p, bytes, [text](qsizetype i) -> char16_t {
            const char c = text[i];
            return char16_t(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
    }
    return matchesFolded(p, QString::fromUtf8(text, bytes).toCaseFolded());
}

bool likeMatches(const LikePattern& p, const QVariant& value)
{
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        bool ascii = true;
        for (const QChar c : text)
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii)
            return wildcardMatch(p, text.size(), [&text](qsizetype i) -> char16_t {
                const char16_t c = text[i].unicode();
                return char16_t(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
            });
        return matchesFolded(p, text.toCaseFolded());
    }
    case QMetaType::Double: return matchesFolded(p, engineRealText(value.toDouble()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return likeMatches(p, bytes.constData(), int(bytes.size()));
    }
    default: return matchesFolded(p, value.toString().toCaseFolded());
    }
}

} // namespace velcaris::store
