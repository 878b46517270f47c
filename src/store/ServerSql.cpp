#include "store/ServerSql.h"

#include <QMutex>
#include <algorithm>
#include <QVector>

namespace velcaris::store {

namespace {

enum class Kind { Space, Word, Name, Text, Param, Comment, Other };

struct Token {
    Kind kind;
    QString text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

QVector<Token> tokenize(const QString& sql)
{
    QVector<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype from = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            out.push_back({Kind::Space, sql.mid(from, i - from)});
        } else if (c == u'\'' || c == u'"') {
            // Quoted text or name; a doubled quote stands for itself.
            ++i;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({c == u'\'' ? Kind::Text : Kind::Name, sql.mid(from, i - from)});
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            out.push_back({Kind::Comment, sql.mid(from, i - from)});
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.push_back({Kind::Comment, sql.mid(from, i - from)});
        } else if (c == u'?') {
            // "?" or a numbered "?NNN", whose digits belong to it.
            ++i;
            while (i < n && sql[i].isDigit())
                ++i;
            out.push_back({Kind::Param, sql.mid(from, i - from)});
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(sql[i]))
                ++i;
            out.push_back({Kind::Word, sql.mid(from, i - from)});
        } else {
            ++i;
            out.push_back({Kind::Other, QString(c)});
        }
    }
    return out;
}

bool is(const Token& t, const char* word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& quotedName)
{
    QString inner = quotedName.mid(1, quotedName.size() - 2);
    inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return inner;
}

QHash<QString, QString>& schemaSpellings()
{
    static QHash<QString, QString> names;
    return names;
}

QMutex& spellingsMutex()
{
    static QMutex mutex;
    return mutex;
}

// The INSERT statements of the text, read from their first words: INSERT INTO name [AS alias]
// [(columns)] followed by VALUES or SELECT (DEFAULT VALUES names nothing).
QVector<InsertTarget> insertTargets(const QVector<Token>& all)
{
    QVector<Token> tokens;
    for (const Token& t : all)
        if (t.kind != Kind::Space && t.kind != Kind::Comment)
            tokens.push_back(t);
    auto isName = [&](qsizetype i) {
        return i < tokens.size() && (tokens[i].kind == Kind::Word || tokens[i].kind == Kind::Name);
    };
    auto isChar = [&](qsizetype i, char c) {
        return i < tokens.size() && tokens[i].kind == Kind::Other && tokens[i].text == QLatin1Char(c);
    };
    auto serverName = [&](qsizetype i) {
        return tokens[i].kind == Kind::Name ? u'"' + foldName(unquoted(tokens[i].text)).replace(u'"', QStringLiteral("\"\"")) + u'"'
                                            : tokens[i].text;
    };
    QVector<InsertTarget> out;
    bool atStart = true;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const bool start = atStart;
        atStart = isChar(i, ';');
        if (!start || !is(tokens[i], "INSERT") || !(i + 1 < tokens.size() && is(tokens[i + 1], "INTO")) || !isName(i + 2))
            continue;
        qsizetype j = i + 2;
        InsertTarget target;
        target.table = serverName(j++);
        while (isChar(j, '.') && isName(j + 1)) {
            target.table += u'.' + serverName(j + 1);
            j += 2;
        }
        if (j < tokens.size() && is(tokens[j], "AS"))
            j += 2;
        if (j < tokens.size() && is(tokens[j], "DEFAULT"))
            continue;
        if (isChar(j, '(')) {
            for (++j; j < tokens.size() && !isChar(j, ')'); ++j)
                if (isName(j))
                    target.columns << foldName(tokens[j].kind == Kind::Name ? unquoted(tokens[j].text) : tokens[j].text);
        } else {
            target.allColumns = true;
        }
        out.push_back(target);
    }
    return out;
}

} // namespace

QString foldName(const QString& name)
{
    QString out = name;
    for (QChar& c : out)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    return out;
}

ServerSql toServerSql(const QString& sql)
{
    const QVector<Token> tokens = tokenize(sql);
    ServerSql out;
    // The next meaningful token after i (spaces and comments skipped), or -1.
    auto nextAfter = [&](qsizetype i) {
        for (qsizetype j = i + 1; j < tokens.size(); ++j)
            if (tokens[j].kind != Kind::Space && tokens[j].kind != Kind::Comment)
                return j;
        return qsizetype(-1);
    };
    QString& text = out.text;
    qsizetype operandStart = -1; // where the last name (maybe qualified) began in the output
    bool lastWasName = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const bool meaningful = t.kind != Kind::Space && t.kind != Kind::Comment;
        switch (t.kind) {
        case Kind::Param: {
            // As the file engine numbers them: "?NNN" is number NNN, a bare "?" one more than the
            // largest number so far.
            const int number = t.text.size() > 1 ? t.text.mid(1).toInt() : out.parameters + 1;
            out.parameters = std::max(out.parameters, number);
            text += QStringLiteral("$%1").arg(number);
            break;
        }
        case Kind::Name: {
            const QString name = unquoted(t.text);
            out.spellings.insert(foldName(name), name);
            const bool qualified = lastWasName && text.endsWith(u'.');
            if (!qualified)
                operandStart = text.size();
            QString folded = foldName(name);
            folded.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            text += u'"' + folded + u'"';
            lastWasName = true;
            continue;
        }
        case Kind::Word: {
            if (is(t, "COLLATE")) {
                const qsizetype next = nextAfter(i);
                if (next >= 0 && is(tokens[next], "NOCASE") && operandStart >= 0) {
                    const QString operand = text.mid(operandStart).trimmed();
                    text.truncate(operandStart);
                    text += QStringLiteral("vnocase(") + operand + u')';
                    i = next;
                    lastWasName = false;
                    operandStart = -1;
                    continue;
                }
            }
            if (is(t, "ASC") || is(t, "DESC")) {
                const qsizetype next = nextAfter(i);
                text += t.text;
                if (next < 0 || !is(tokens[next], "NULLS"))
                    text += is(t, "ASC") ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
                break;
            }
            if (is(t, "IS")) {
                qsizetype next = nextAfter(i);
                bool negated = false;
                qsizetype after = next;
                if (next >= 0 && is(tokens[next], "NOT")) {
                    negated = true;
                    after = nextAfter(next);
                }
                const bool keyword = after >= 0
                    && (is(tokens[after], "NULL") || is(tokens[after], "TRUE") || is(tokens[after], "FALSE")
                        || is(tokens[after], "DISTINCT") || is(tokens[after], "UNKNOWN"));
                if (!keyword && after >= 0) {
                    text += negated ? QStringLiteral("IS DISTINCT FROM") : QStringLiteral("IS NOT DISTINCT FROM");
                    if (negated)
                        i = next;
                    break;
                }
                text += t.text;
                break;
            }
            if (is(t, "REAL")) {
                text += QStringLiteral("DOUBLE PRECISION");
                break;
            }
            if (is(t, "DOUBLE")) {
                const qsizetype next = nextAfter(i);
                text += (next >= 0 && is(tokens[next], "PRECISION")) ? t.text : QStringLiteral("DOUBLE PRECISION");
                break;
            }
            const bool qualified = lastWasName && text.endsWith(u'.');
            if (!qualified)
                operandStart = text.size();
            if (!t.text[0].isDigit())
                out.spellings.insert(foldName(t.text), t.text);
            text += t.text;
            lastWasName = true;
            continue;
        }
        case Kind::Other:
            text += t.text;
            if (t.text == QLatin1String(".") && lastWasName)
                continue; // a qualified name goes on
            break;
        default:
            text += t.text;
            if (!meaningful)
                continue;
        }
        if (meaningful) {
            lastWasName = false;
            operandStart = -1;
        }
    }
    out.inserts = insertTargets(tokens);
    return out;
}

void learnSpellings(const QString& sql)
{
    const QVector<Token> tokens = tokenize(sql);
    QMutexLocker lock(&spellingsMutex());
    QHash<QString, QString>& names = schemaSpellings();
    for (const Token& t : tokens) {
        if (t.kind == Kind::Name) {
            const QString name = unquoted(t.text);
            names.insert(foldName(name), name);
        } else if (t.kind == Kind::Word && !t.text[0].isDigit() && t.text != t.text.toUpper()) {
            // Mixed or lower case words are names; keywords are written in capitals.
            names.insert(foldName(t.text), t.text);
        }
    }
}

QString spelledName(const QString& folded, const QHash<QString, QString>& statement)
{
    const auto own = statement.constFind(folded);
    if (own != statement.constEnd())
        return own.value();
    QMutexLocker lock(&spellingsMutex());
    return schemaSpellings().value(folded, folded);
}

} // namespace velcaris::store
