#include "documents/ReportExpression.h"

#include "documents/RtfReader.h"

#include <QFile>
#include <QLocale>
#include <cmath>

namespace velcaris::documents {
namespace {

struct Builtin {
    const char* name;
    int min;
    int max;
    FnKind kind;
};

const Builtin kBuiltins[] = {
    {"IF", 1, 1, FnKind::General}, {"WHILE", 1, 1, FnKind::General}, {"ELSIF", 1, 1, FnKind::General},
    {"IIF", 3, 3, FnKind::General}, {"SET", 2, 2, FnKind::General}, {"TRIM", 1, 1, FnKind::General},
    {"MID", 2, 3, FnKind::General}, {"SUBSTR", 2, 3, FnKind::General}, {"COPY", 2, 3, FnKind::General},
    {"UPPER", 1, 1, FnKind::General}, {"LOWER", 1, 1, FnKind::General}, {"STR", 1, 3, FnKind::General},
    {"VAL", 1, 1, FnKind::General}, {"POS", 2, 2, FnKind::General},
    {"EOF", 1, 1, FnKind::Dataset}, {"BOF", 1, 1, FnKind::Dataset}, {"NEXT", 1, 1, FnKind::Dataset},
    {"PRIOR", 1, 1, FnKind::Dataset}, {"FIRST", 1, 1, FnKind::Dataset}, {"LAST", 1, 1, FnKind::Dataset},
    {"INT", 1, 1, FnKind::General}, {"FRAC", 1, 1, FnKind::General}, {"ROUND", 1, 2, FnKind::General},
    {"NOW", 0, 0, FnKind::General}, {"DATE", 0, 0, FnKind::General}, {"TIME", 0, 0, FnKind::General},
    {"DATETOSTR", 1, 1, FnKind::General}, {"DATETIMETOSTR", 1, 1, FnKind::General},
    {"TIMETOSTR", 1, 1, FnKind::General}, {"STRTODATE", 1, 1, FnKind::General},
    {"STRTODATETIME", 1, 1, FnKind::General}, {"STRTOTIME", 1, 1, FnKind::General},
    {"YEAR", 1, 1, FnKind::General}, {"MONTH", 1, 1, FnKind::General}, {"DAY", 1, 1, FnKind::General},
    {"SYEAR", 1, 1, FnKind::General}, {"SMONTH", 1, 1, FnKind::General}, {"SDAY", 1, 1, FnKind::General},
    {"DTOS", 1, 1, FnKind::General}, {"STOD", 1, 1, FnKind::General},
    {"FORMATFLOAT", 2, 2, FnKind::General}, {"POWER", 2, 2, FnKind::General},
    {"INTPOWER", 2, 2, FnKind::General},
    {"SUM", 2, 3, FnKind::Aggregate}, {"CTN", 2, 3, FnKind::Aggregate}, {"CTS", 2, 3, FnKind::Aggregate},
    {"VAR", 1, 10000, FnKind::Aggregate},
    {"NOFORMAT", 1, 1, FnKind::Format}, {"FEXP", 1, 2, FnKind::Format}, {"FFIX", 1, 2, FnKind::Format},
    {"FNUM", 1, 2, FnKind::Format}, {"FCUR", 1, 2, FnKind::Format}, {"FIMG", 1, 2, FnKind::Format},
    {"FLNK", 1, 1, FnKind::Format}, {"FFIXR", 1, 2, FnKind::Format}, {"FNUMR", 1, 2, FnKind::Format},
    {"FDTM", 2, 2, FnKind::Format}, {"FBOOL", 1, 1, FnKind::Format}, {"FRTF", 1, 1, FnKind::Format},
    {"FITA", 1, 2, FnKind::Format}, {"FEUR", 1, 2, FnKind::Format},
};

const Builtin* findBuiltin(const QString& name)
{
    const QByteArray up = name.toUpper().toLatin1();
    for (const Builtin& b : kBuiltins)
        if (up == b.name)
            return &b;
    return nullptr;
}

// The time of day alone is held as a date-time on this day, and printed without the date.
// ---------------------------------------------------------------------------------------------
// Lexer

enum class LT { Num, Str, Ident, Date, Op, LParen, RParen, Comma, End };

struct LexTok {
    LT t;
    QString s;
    double num = 0;
    QDate date;
    int pos = 0;  // start in the text
    int end = 0;
};

bool isSpace(QChar c) { return c.isSpace() || c.unicode() == 0xA0; }
bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

std::vector<LexTok> lex(const QString& text)
{
    std::vector<LexTok> out;
    const int n = int(text.size());
    int i = 0;
    auto syntax = [&](const QString& why) -> SyntaxError {
        return SyntaxError(QStringLiteral("Errore di sintassi nell'espressione \"%1\": %2").arg(text, why));
    };
    while (i < n) {
        const QChar c = text[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        const int start = i;
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit())) {
            while (i < n && text[i].isDigit())
                ++i;
            if (i < n && text[i] == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit()) {
                ++i;
                while (i < n && text[i].isDigit())
                    ++i;
            }
            if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))
                && i + 1 < n && (text[i + 1].isDigit() || ((text[i + 1] == QLatin1Char('-') || text[i + 1] == QLatin1Char('+')) && i + 2 < n && text[i + 2].isDigit()))) {
                i += 2;
                while (i < n && text[i].isDigit())
                    ++i;
            }
            LexTok t{LT::Num, text.mid(start, i - start), 0, {}, start, i};
            t.num = t.s.toDouble();
            t.pos = start;
            t.end = i;
            out.push_back(t);
            continue;
        }
        if (isIdentStart(c)) {
            while (i < n && isIdentChar(text[i]))
                ++i;
            out.push_back({LT::Ident, text.mid(start, i - start), 0, {}, start, i});
            continue;
        }
        const char16_t u = c.unicode();
        if (u == '\'' || u == '"' || u == 0x201C || u == 0x2018 || u == 0x201D || u == 0x2019 || u == 0xAB) {
            char16_t close = u;
            if (u == 0x201C) close = 0x201D;
            if (u == 0x2018) close = 0x2019;
            if (u == 0xAB) close = 0xBB;
            QString s;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i].unicode() == close || (close == 0x201D && text[i].unicode() == 0x201C)) {
                    if (i + 1 < n && text[i + 1].unicode() == close && (close == '\'' || close == '"')) {
                        s.append(text[i]);
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                s.append(text[i++]);
            }
            if (!closed)
                throw syntax(QStringLiteral("testo tra virgolette non chiuso"));
            out.push_back({LT::Str, s, 0, {}, start, i});
            continue;
        }
        if (c == QLatin1Char('{')) {
            const int close = text.indexOf(QLatin1Char('}'), i);
            if (close < 0)
                throw syntax(QStringLiteral("data senza parentesi graffa di chiusura"));
            const QString body = text.mid(i + 1, close - i - 1).trimmed();
            const QDate d = QDate::fromString(body, QStringLiteral("yyyy-MM-dd"));
            if (body.size() != 10 || !d.isValid())
                throw SyntaxError(QStringLiteral("Data non valida: {%1} nell'espressione \"%2\" "
                                                 "(scrivere {aaaa-mm-gg})").arg(body, text));
            LexTok t{LT::Date, body, 0, {}, start, close + 1};
            t.date = d;
            t.pos = start;
            t.end = close + 1;
            out.push_back(t);
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('(')) { out.push_back({LT::LParen, QStringLiteral("("), 0, {}, i, i + 1}); ++i; continue; }
        if (c == QLatin1Char(')')) { out.push_back({LT::RParen, QStringLiteral(")"), 0, {}, i, i + 1}); ++i; continue; }
        if (c == QLatin1Char(',')) { out.push_back({LT::Comma, QStringLiteral(","), 0, {}, i, i + 1}); ++i; continue; }
        static const char* const ops[] = {"&&", "||", "<>", "!=", "<=", ">=", "=>", ":=",
                                          "=", "<", ">", "+", "-", "*", "/", "%", "!", ":", "."};
        bool matched = false;
        for (const char* op : ops) {
            const QLatin1String o(op);
            if (text.mid(i, o.size()) == o) {
                out.push_back({LT::Op, QString(o), 0, {}, i, int(i + o.size())});
                i += int(o.size());
                matched = true;
                break;
            }
        }
        if (!matched)
            throw syntax(QStringLiteral("carattere inatteso '%1'").arg(c));
    }
    out.push_back({LT::End, QString(), 0, {}, n, n});
    return out;
}

// ---------------------------------------------------------------------------------------------
// Parser

class Parser {
public:
    Parser(const QString& text, const TUDFList& udfs, bool dotAsColon)
        : text_(text), udfs_(udfs), dot_(dotAsColon), toks_(lex(text)) {}

    ExprPtr parseAll()
    {
        ExprPtr e = assignment();
        if (peek().t != LT::End)
            throw syntax(QStringLiteral("testo inatteso \"%1\"").arg(text_.mid(peek().pos)));
        return e;
    }

private:
    const LexTok& peek(int k = 0) const { return toks_[std::min(pos_ + k, int(toks_.size()) - 1)]; }
    const LexTok& take() { return toks_[std::min(pos_++, int(toks_.size()) - 1)]; }
    bool isOp(const char* op, int k = 0) const { return peek(k).t == LT::Op && peek(k).s == QLatin1String(op); }

    SyntaxError syntax(const QString& why) const
    {
        return SyntaxError(QStringLiteral("Errore di sintassi nell'espressione \"%1\": %2").arg(text_, why));
    }

    std::shared_ptr<Expr> node(Expr::K k, int from, int to)
    {
        auto e = std::make_shared<Expr>();
        e->kind = k;
        e->text = text_.mid(from, to - from).trimmed();
        return e;
    }

    int lastEnd() const { return pos_ > 0 ? toks_[pos_ - 1].end : 0; }

    ExprPtr assignment()
    {
        // Bounded nesting: a template cannot exhaust the stack with brackets.
        struct Depth {
            int& d;
            explicit Depth(int& v) : d(v) { ++d; }
            ~Depth() { --d; }
        } guard(depth_);
        if (depth_ > 200)
            throw syntax(QStringLiteral("troppi livelli di parentesi"));
        if (peek().t == LT::Ident && isOp(":=", 1)) {
            const LexTok& id = take();
            take();
            ExprPtr value = assignment();
            auto e = node(Expr::K::Assign, id.pos, lastEnd());
            e->name = id.s;
            e->args.push_back(value);
            return e;
        }
        return binary(0);
    }

    static int level(const QString& op)
    {
        if (op == QLatin1String("||")) return 0;
        if (op == QLatin1String("&&")) return 1;
        if (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("!=")
            || op == QLatin1String("<") || op == QLatin1String(">") || op == QLatin1String("<=")
            || op == QLatin1String(">=") || op == QLatin1String("=>"))
            return 2;
        if (op == QLatin1String("+") || op == QLatin1String("-")) return 3;
        if (op == QLatin1String("*") || op == QLatin1String("/") || op == QLatin1String("%")) return 4;
        return -1;
    }

    ExprPtr binary(int minLevel)
    {
        const int from = peek().pos;
        ExprPtr left = unary();
        while (peek().t == LT::Op) {
            const int lv = level(peek().s);
            if (lv < 0 || lv < minLevel)
                break;
            QString op = take().s;
            if (op == QLatin1String("=>"))
                op = QStringLiteral(">=");
            if (op == QLatin1String("!="))
                op = QStringLiteral("<>");
            ExprPtr right = binary(lv + 1);
            auto e = node(Expr::K::Binary, from, lastEnd());
            e->op = op;
            e->args = {left, right};
            left = e;
        }
        return left;
    }

    ExprPtr unary()
    {
        if (isOp("!") || isOp("-") || isOp("+")) {
            const LexTok& t = take();
            ExprPtr operand = assignmentFree();
            auto e = node(Expr::K::Unary, t.pos, lastEnd());
            e->op = t.s;
            e->args.push_back(operand);
            return e;
        }
        return primary();
    }

    // A unary operand, counted in the nesting bound like a bracket.
    ExprPtr assignmentFree()
    {
        ++depth_;
        if (depth_ > 200) {
            --depth_;
            throw syntax(QStringLiteral("troppi livelli di parentesi"));
        }
        ExprPtr e;
        try {
            e = unary();
        } catch (...) {
            --depth_;
            throw;
        }
        --depth_;
        return e;
    }

    ExprPtr primary()
    {
        const LexTok& t = peek();
        switch (t.t) {
        case LT::Num: {
            take();
            auto e = node(Expr::K::Literal, t.pos, t.end);
            e->literal = TReportVariable::fromNumber(t.num);
            return e;
        }
        case LT::Str: {
            take();
            auto e = node(Expr::K::Literal, t.pos, t.end);
            e->literal = TReportVariable::fromText(t.s);
            return e;
        }
        case LT::Date: {
            take();
            auto e = node(Expr::K::Literal, t.pos, t.end);
            e->literal = TReportVariable::fromDate(t.date);
            return e;
        }
        case LT::LParen: {
            take();
            ExprPtr inner = assignment();
            if (peek().t != LT::RParen)
                throw syntax(QStringLiteral("manca la parentesi chiusa"));
            take();
            return inner;
        }
        case LT::Ident:
            return identifier();
        default:
            throw syntax(peek().t == LT::End ? QStringLiteral("espressione incompleta")
                                             : QStringLiteral("testo inatteso \"%1\"").arg(peek().s));
        }
    }

    ExprPtr identifier()
    {
        const LexTok id = take();
        // A field: one letter, a colon (or a full stop) and a column name.
        if (id.s.size() == 1 && id.s[0].isLetter() && id.s[0].unicode() < 128
            && (isOp(":") || (dot_ && isOp("."))) && peek(1).t == LT::Ident) {
            take();
            const LexTok& col = take();
            auto e = node(Expr::K::Field, id.pos, col.end);
            e->alias = id.s[0].toUpper().unicode() - 'A';
            e->name = col.s;
            return e;
        }
        if (peek().t == LT::LParen)
            return call(id);
        // A function without arguments may be named without brackets: while(grid1), NOW.
        {
            int mn = -1, mx = -1;
            FnKind kind = FnKind::General;
            const TUDF* u = udfs_.find(id.s);
            if ((u && u->ArgMinCount == 0) || (builtinInfo(id.s, &mn, &mx, &kind) && mn == 0 && mx == 0)) {
                auto e = node(Expr::K::Call, id.pos, id.end);
                if (u) {
                    e->name = u->Name;
                } else {
                    e->builtin = true;
                    e->fn = kind;
                    e->name = id.s.toUpper();
                }
                return e;
            }
        }
        if (id.s.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0
            || id.s.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            auto e = node(Expr::K::Literal, id.pos, id.end);
            e->literal = TReportVariable::fromBool(id.s.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
            return e;
        }
        auto e = node(Expr::K::Var, id.pos, id.end);
        e->name = id.s;
        return e;
    }

    ExprPtr call(const LexTok& id)
    {
        take(); // (
        std::vector<ExprPtr> args;
        if (peek().t != LT::RParen) {
            for (;;) {
                args.push_back(assignment());
                if (peek().t == LT::Comma) {
                    take();
                    continue;
                }
                break;
            }
        }
        if (peek().t != LT::RParen)
            throw syntax(QStringLiteral("manca la parentesi chiusa della funzione %1").arg(id.s));
        take();
        auto e = node(Expr::K::Call, id.pos, lastEnd());
        e->args = std::move(args);
        int minArgs = 0;
        int maxArgs = 0;
        FnKind kind = FnKind::General;
        if (builtinInfo(id.s, &minArgs, &maxArgs, &kind)) {
            e->builtin = true;
            e->fn = kind;
            e->name = id.s.toUpper();
        } else if (const TUDF* u = udfs_.find(id.s)) {
            minArgs = u->ArgMinCount;
            maxArgs = u->ArgMaxCount;
            e->name = u->Name;
        } else {
            throw ReportError(QStringLiteral("Function not found: ") + id.s);
        }
        const QString prefix = kind == FnKind::Format ? QStringLiteral("Illegal format function use: ")
                                                      : QStringLiteral("Illegal function use: ");
        const int n = int(e->args.size());
        if (n < minArgs)
            throw ReportError(prefix + e->text + QStringLiteral(" - number of arguments is less than minimum required"));
        if (n > maxArgs)
            throw ReportError(prefix + e->text + QStringLiteral(" - number of arguments is more than maximum allowed"));
        checkArguments(*e);
        return e;
    }

    static bool isName(const ExprPtr& a) { return a->kind == Expr::K::Var; }

    void checkArguments(Expr& e)
    {
        if (!e.builtin)
            return;
        if (e.fn == FnKind::Dataset) {
            const ExprPtr& a = e.args[0];
            if (!isName(a) || a->name.size() != 1 || !a->name[0].isLetter() || a->name[0].unicode() >= 128)
                throw ReportError(QStringLiteral("Illegal function use: %1 - l'argomento deve essere "
                                                 "l'alias di un dataset (una lettera da A a Z)").arg(e.text));
            e.alias = a->name[0].toUpper().unicode() - 'A';
        } else if (e.name == QLatin1String("SET")) {
            if (!isName(e.args[0]))
                throw ReportError(QStringLiteral("Illegal function use: %1 - il primo argomento deve "
                                                 "essere un nome di variabile").arg(e.text));
        } else if (e.name == QLatin1String("VAR")) {
            for (const ExprPtr& a : e.args)
                if (!isName(a))
                    throw ReportError(QStringLiteral("Illegal function use: %1 - gli argomenti devono "
                                                     "essere nomi di variabile").arg(e.text));
        } else if (e.fn == FnKind::Aggregate) {
            if (!isName(e.args[1]))
                throw ReportError(QStringLiteral("Illegal function use: %1 - il secondo argomento deve "
                                                 "essere il nome della variabile del risultato").arg(e.text));
            if (e.args.size() == 3
                && (!isName(e.args[2]) || e.args[2]->name.compare(QLatin1String("NORESET"), Qt::CaseInsensitive) != 0))
                throw ReportError(QStringLiteral("Illegal function use: %1 - il terzo argomento può "
                                                 "essere solo NORESET").arg(e.text));
        }
    }

    QString text_;
    const TUDFList& udfs_;
    bool dot_;
    std::vector<LexTok> toks_;
    int pos_ = 0;
    int depth_ = 0;
};

// Format functions only at the root of a marker, aggregates only at the root of a scan option.
void checkPlacement(const Expr& e, ParseMode mode, bool root)
{
    if (e.kind == Expr::K::Call && e.builtin) {
        if (e.fn == FnKind::Format && !(root && mode == ParseMode::Marker))
            throw ReportError(mode == ParseMode::ScanOption
                ? QStringLiteral("Illegal format function use: %1 - una funzione di formato non può "
                                 "stare in un comando scan").arg(e.text)
                : QStringLiteral("Illegal format function use: %1 - una funzione di formato vale per "
                                 "tutto il marcatore e non può stare dentro un'espressione").arg(e.text));
        if (e.fn == FnKind::Aggregate && !(root && mode == ParseMode::ScanOption))
            throw ReportError(QStringLiteral("Illegal function use: %1 - le funzioni SUM, CTN, CTS e VAR "
                                             "si scrivono solo nel comando scan").arg(e.text));
    }
    for (const ExprPtr& a : e.args)
        checkPlacement(*a, mode, false);
}

bool bracketsBalanced(const QString& text)
{
    int depth = 0;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0;
}


} // namespace

bool builtinInfo(const QString& name, int* minArgs, int* maxArgs, FnKind* kind)
{
    const Builtin* b = findBuiltin(name);
    if (!b)
        return false;
    *minArgs = b->min;
    *maxArgs = b->max;
    *kind = b->kind;
    return true;
}

ExprPtr parseExpression(const QString& text, const TUDFList& udfs, ParseMode mode, bool dotAsColon)
{
    if (!bracketsBalanced(text)) {
        // The message names the kind of the function the text starts with.
        int i = 0;
        while (i < text.size() && isSpace(text[i])) ++i;
        int j = i;
        while (j < text.size() && isIdentChar(text[j])) ++j;
        int mn = 0, mx = 0;
        FnKind kind = FnKind::General;
        const bool format = builtinInfo(text.mid(i, j - i), &mn, &mx, &kind) && kind == FnKind::Format;
        throw ReportError((format ? QStringLiteral("Brackets balance violation in format function ")
                                  : QStringLiteral("Brackets balance violation in function ")) + text.trimmed());
    }
    Parser p(text, udfs, dotAsColon);
    ExprPtr e = p.parseAll();
    checkPlacement(*e, mode, true);
    return e;
}

} // namespace velcaris::documents
