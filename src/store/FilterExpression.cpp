#include "store/FilterExpression.h"

#include "store/Database.h"

#include <QDate>

namespace velcaris::store {

namespace {

enum class Kind { End, Word, Bracketed, String, Number, Date, Operator, Open, Close };

struct Token {
    Kind kind = Kind::End;
    QString text;   // the name, the decoded string, or the operator
    QVariant value; // Number and Date: the value to bind
    qsizetype start = 0;
    qsizetype end = 0; // one past the last character in the expression
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isOperatorChar(QChar c)
{
    return c == u'=' || c == u'<' || c == u'>' || c == u'!';
}

class Compiler {
public:
    Compiler(const QString& expression, const FieldResolver& resolve)
        : expr_(expression), resolve_(resolve)
    {
    }

    SqlFragment run()
    {
        tokenize();
        if (tokens_.size() == 1)
            return {};
        SqlFragment result = parseOr();
        const Token& next = peek();
        if (next.kind == Kind::Close)
            fail(QStringLiteral("Parentesi chiusa senza apertura"), rest(next));
        if (next.kind != Kind::End)
            fail(QStringLiteral("Testo inatteso"), rest(next));
        return result;
    }

private:
    // An operand of a comparison: a column, a bound value, or Null.
    struct Operand {
        QString sql;
        QVector<QVariant> params;
        bool isNull = false;
        qsizetype start = 0;
    };

    [[noreturn]] void fail(const QString& what, const QString& text) const
    {
        throw StoreError(QStringLiteral("%1: %2 (filtro: %3)").arg(what, text, expr_));
    }

    QString source(qsizetype from, qsizetype to) const { return expr_.mid(from, to - from).trimmed(); }
    QString rest(const Token& t) const { return source(t.start, expr_.size()); }

    // ---- lexer ----

    void tokenize()
    {
        qsizetype i = 0;
        const qsizetype n = expr_.size();
        while (true) {
            while (i < n && expr_[i].isSpace())
                ++i;
            if (i >= n)
                break;
            const QChar c = expr_[i];
            Token t;
            t.start = i;
            if (c == u'(' || c == u')') {
                t.kind = c == u'(' ? Kind::Open : Kind::Close;
                t.text = c;
                ++i;
            } else if (c == u'\'' || c == u'"') {
                t.kind = Kind::String;
                i = readQuoted(i, c, t.text);
            } else if (c == u'[') {
                const qsizetype close = expr_.indexOf(u']', i + 1);
                if (close < 0)
                    fail(QStringLiteral("Parentesi quadra non chiusa"), source(i, n));
                t.kind = Kind::Bracketed;
                t.text = expr_.mid(i + 1, close - i - 1).trimmed();
                if (t.text.isEmpty())
                    fail(QStringLiteral("Nome di campo vuoto"), source(i, close + 1));
                i = close + 1;
            } else if (isOperatorChar(c)) {
                t.kind = Kind::Operator;
                while (i < n && isOperatorChar(expr_[i]))
                    ++i;
                t.text = expr_.mid(t.start, i - t.start);
            } else if (isDigit(c) || (c == u'-' && i + 1 < n && isDigit(expr_[i + 1]))) {
                i = readNumberOrDate(i, t);
            } else if (isWordStart(c)) {
                t.kind = Kind::Word;
                while (i < n && isWordChar(expr_[i]))
                    ++i;
                t.text = expr_.mid(t.start, i - t.start);
            } else {
                fail(QStringLiteral("Carattere non previsto"), QString(c));
            }
            t.end = i;
            tokens_.append(t);
        }
        Token end;
        end.start = end.end = n;
        tokens_.append(end);
    }

    // A quoted string; the quote character doubled stands for itself. Returns the index after it.
    qsizetype readQuoted(qsizetype i, QChar quote, QString& out) const
    {
        const qsizetype begin = i++;
        while (i < expr_.size()) {
            if (expr_[i] == quote) {
                if (i + 1 < expr_.size() && expr_[i + 1] == quote) {
                    out += quote;
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            out += expr_[i++];
        }
        fail(QStringLiteral("Virgolette non chiuse"), expr_.mid(begin));
    }

    // 12, -3, 12.50, or a date d/m/yyyy. Letters may follow at once ("3AND").
    qsizetype readNumberOrDate(qsizetype i, Token& t) const
    {
        const qsizetype n = expr_.size();
        const qsizetype begin = i;
        auto digits = [&] {
            const qsizetype from = i;
            while (i < n && isDigit(expr_[i]))
                ++i;
            return i - from;
        };
        const bool negative = expr_[i] == u'-';
        if (negative)
            ++i;
        const qsizetype dayDigits = digits();
        if (i < n && expr_[i] == u'/') {
            // Dates are day/month/year with a four-digit year.
            ++i;
            const qsizetype monthDigits = digits();
            qsizetype yearDigits = 0;
            if (i < n && expr_[i] == u'/') {
                ++i;
                yearDigits = digits();
            }
            const QStringList parts = expr_.mid(begin, i - begin).split(u'/');
            const bool shaped = !negative && dayDigits <= 2 && monthDigits >= 1 && monthDigits <= 2
                && yearDigits == 4 && !(i < n && (expr_[i] == u'/' || expr_[i] == u'.'));
            const QDate date = shaped ? QDate(parts[2].toInt(), parts[1].toInt(), parts[0].toInt()) : QDate();
            if (!date.isValid())
                fail(QStringLiteral("Data non valida"), source(begin, wordEnd(i)));
            t.kind = Kind::Date;
            t.text = expr_.mid(begin, i - begin);
            t.value = date.toString(Qt::ISODate);
            return i;
        }
        bool decimal = false;
        if (i < n && expr_[i] == u'.') {
            ++i;
            decimal = true;
            if (digits() == 0)
                fail(QStringLiteral("Numero non valido"), source(begin, wordEnd(i)));
        }
        // A number runs straight into a keyword ("3AND"), never into more digits or a point.
        if (i < n && (expr_[i] == u'.' || expr_[i] == u'_'))
            fail(QStringLiteral("Numero non valido"), source(begin, wordEnd(i)));
        t.kind = Kind::Number;
        t.text = expr_.mid(begin, i - begin);
        bool ok = false;
        if (!decimal) {
            const qint64 whole = t.text.toLongLong(&ok);
            if (ok)
                t.value = whole;
        }
        if (!ok)
            t.value = t.text.toDouble();
        return i;
    }

    qsizetype wordEnd(qsizetype i) const
    {
        while (i < expr_.size() && (isWordChar(expr_[i]) || expr_[i] == u'.' || expr_[i] == u'/'))
            ++i;
        return i;
    }

    // ---- parser ----

    const Token& peek() const { return tokens_[pos_]; }
    const Token& take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

    static bool isKeyword(const Token& t, const char* word)
    {
        return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    static bool isConnective(const Token& t) { return isKeyword(t, "AND") || isKeyword(t, "OR"); }

    static bool startsCondition(const Token& t)
    {
        switch (t.kind) {
        case Kind::Open:
        case Kind::Bracketed:
        case Kind::String:
        case Kind::Number:
        case Kind::Date:
            return true;
        case Kind::Word:
            return !isConnective(t) && !isKeyword(t, "LIKE") && !isKeyword(t, "IS");
        default:
            return false;
        }
    }

    void expectCondition(const Token& after)
    {
        if (!startsCondition(peek()))
            fail(QStringLiteral("Condizione mancante dopo"), after.text);
    }

    SqlFragment parseOr()
    {
        SqlFragment result = parseAnd();
        bool several = false;
        while (isKeyword(peek(), "OR")) {
            const Token op = take();
            expectCondition(op);
            const SqlFragment next = parseAnd();
            result.sql += QStringLiteral(" OR ") + next.sql;
            result.params += next.params;
            several = true;
        }
        // Bracketed so that the caller may combine it with further conditions.
        if (several)
            result.sql = u'(' + result.sql + u')';
        return result;
    }

    SqlFragment parseAnd()
    {
        SqlFragment result = parseNot();
        while (isKeyword(peek(), "AND")) {
            const Token op = take();
            expectCondition(op);
            const SqlFragment next = parseNot();
            result.sql += QStringLiteral(" AND ") + next.sql;
            result.params += next.params;
        }
        return result;
    }

    // Brackets and NOT nest through recursion; deeper text is refused before the stack runs out.
    struct Nesting {
        Compiler& c;
        explicit Nesting(Compiler& compiler) : c(compiler)
        {
            if (++c.depth_ > kMaxFilterNesting) {
                --c.depth_;
                throw StoreError(QStringLiteral("Filtro troppo annidato: più di %1 livelli di parentesi o di NOT "
                                                "(filtro: %2)")
                                     .arg(kMaxFilterNesting)
                                     .arg(c.expr_.size() > 80 ? c.expr_.left(80) + QStringLiteral("...") : c.expr_));
            }
        }
        ~Nesting() { --c.depth_; }
    };

    SqlFragment parseNot()
    {
        if (isKeyword(peek(), "NOT")) {
            const Nesting nesting(*this);
            const Token op = take();
            expectCondition(op);
            SqlFragment inner = parseNot();
            inner.sql = QStringLiteral("NOT (") + inner.sql + u')';
            return inner;
        }
        return parsePrimary();
    }

    SqlFragment parsePrimary()
    {
        const Token& t = peek();
        if (t.kind == Kind::Open) {
            const Nesting nesting(*this);
            const Token open = take();
            if (peek().kind == Kind::Close)
                fail(QStringLiteral("Parentesi vuote"), source(open.start, peek().end));
            if (peek().kind == Kind::End)
                fail(QStringLiteral("Parentesi non chiusa"), rest(open));
            SqlFragment inner = parseOr();
            if (peek().kind == Kind::End)
                fail(QStringLiteral("Parentesi non chiusa"), rest(open));
            if (peek().kind != Kind::Close)
                fail(QStringLiteral("Testo inatteso"), rest(peek()));
            take();
            // parseOr brackets a disjunction; anything else binds tighter than the AND or OR
            // it is joined with, so no further brackets are needed.
            return inner;
        }
        if (isConnective(t))
            fail(QStringLiteral("Condizione mancante prima di"), t.text);
        if (t.kind == Kind::Close)
            fail(QStringLiteral("Parentesi chiusa senza apertura"), rest(t));
        return parseComparison();
    }

    SqlFragment parseComparison()
    {
        const Token& first = peek();
        Operand left;
        if (!parseOperand(left))
            fail(QStringLiteral("Campo o valore atteso"), rest(first));

        const Token& opToken = peek();
        const qsizetype leftEnd = tokens_[pos_ - 1].end;
        enum class Op { Compare, Like, NotLike, IsNull, IsNotNull } op = Op::Compare;
        QString sqlOp;
        if (opToken.kind == Kind::Operator) {
            static const QStringList known = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                              QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
            const qsizetype index = known.indexOf(opToken.text);
            if (index < 0)
                fail(QStringLiteral("Operatore sconosciuto"), opToken.text);
            sqlOp = known[index]; // one of the fixed operators, not the user's text
            take();
        } else if (isKeyword(opToken, "LIKE")) {
            op = Op::Like;
            take();
        } else if (isKeyword(opToken, "NOT") && isKeyword(tokens_[pos_ + 1], "LIKE")) {
            op = Op::NotLike;
            take();
            take();
        } else if (isKeyword(opToken, "IS")) {
            take();
            op = Op::IsNull;
            if (isKeyword(peek(), "NOT")) {
                take();
                op = Op::IsNotNull;
            }
            if (!isKeyword(peek(), "NULL"))
                fail(QStringLiteral("Null atteso dopo IS"), source(opToken.start, wordEndOf(peek())));
            take();
        } else if (opToken.kind == Kind::Word && !isConnective(opToken)) {
            fail(QStringLiteral("Operatore sconosciuto"), opToken.text);
        } else if (opToken.kind == Kind::End || opToken.kind == Kind::Close || isConnective(opToken)) {
            fail(QStringLiteral("Operatore mancante dopo"), source(left.start, leftEnd));
        } else {
            fail(QStringLiteral("Operatore mancante prima di"), rest(opToken));
        }

        if (op == Op::IsNull || op == Op::IsNotNull)
            return {left.sql + (op == Op::IsNull ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL")),
                    left.params};

        const qsizetype opEnd = tokens_[pos_ - 1].end;
        Operand right;
        if (!parseOperand(right))
            fail(QStringLiteral("Valore mancante dopo"), source(left.start, opEnd));

        if (left.isNull || right.isNull) {
            if (sqlOp != QLatin1String("=") && sqlOp != QLatin1String("<>"))
                fail(QStringLiteral("Null si confronta solo con = o <>"), source(left.start, tokens_[pos_ - 1].end));
            const Operand& other = left.isNull ? right : left;
            const QString test = sqlOp == QLatin1String("=") ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL");
            return {(other.isNull ? QStringLiteral("NULL") : other.sql) + test, other.params};
        }
        if (op == Op::Like || op == Op::NotLike) {
            // vlike(pattern, value): '*' and '?' are the only wildcards, letter case is ignored.
            SqlFragment f{QStringLiteral("vlike(%1, %2)").arg(right.sql, left.sql), right.params + left.params};
            if (op == Op::NotLike)
                f.sql = QStringLiteral("NOT ") + f.sql;
            return f;
        }
        return {left.sql + u' ' + sqlOp + u' ' + right.sql, left.params + right.params};
    }

    qsizetype wordEndOf(const Token& t) const { return t.kind == Kind::End ? expr_.size() : t.end; }

    // Reads a field or a value; false (nothing consumed) when the next token is neither.
    bool parseOperand(Operand& out)
    {
        const Token& t = peek();
        out.start = t.start;
        switch (t.kind) {
        case Kind::String:
            out.sql = QStringLiteral("?");
            out.params = {t.text};
            break;
        case Kind::Number:
        case Kind::Date:
            out.sql = QStringLiteral("?");
            out.params = {t.value};
            break;
        case Kind::Bracketed:
            out.sql = column(t.text);
            break;
        case Kind::Word:
            if (isKeyword(t, "TRUE") || isKeyword(t, "FALSE")) {
                out.sql = QStringLiteral("?");
                out.params = {qint64(isKeyword(t, "TRUE") ? 1 : 0)};
            } else if (isKeyword(t, "NULL")) {
                out.isNull = true;
            } else if (isConnective(t) || isKeyword(t, "NOT") || isKeyword(t, "LIKE") || isKeyword(t, "IS")) {
                return false;
            } else {
                out.sql = column(t.text);
            }
            break;
        default:
            return false;
        }
        take();
        return true;
    }

    QString column(const QString& name) const
    {
        const QString real = resolve_ ? resolve_(name) : QString();
        if (real.isEmpty())
            fail(QStringLiteral("Campo sconosciuto"), name);
        return quoteIdentifier(real);
    }

    const QString& expr_;
    const FieldResolver& resolve_;
    QVector<Token> tokens_;
    qsizetype pos_ = 0;
    int depth_ = 0;
};

} // namespace

SqlFragment compileFilter(const QString& expression, const FieldResolver& resolve)
{
    return Compiler(expression, resolve).run();
}

} // namespace velcaris::store
