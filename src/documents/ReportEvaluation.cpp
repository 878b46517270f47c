#include "documents/ReportExpression.h"

// Evaluating parsed expressions: operators, the built-in functions, formats and pictures.
#include "documents/RtfReader.h"
#include "store/Money.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace velcaris::documents {
namespace {

const QDate kTimeOnlyDay(1899, 12, 30);

// ---------------------------------------------------------------------------------------------
// Evaluation helpers

double roundHalfAway(double x, int decimals)
{
    decimals = std::clamp(decimals, -15, 15);
    const double p = std::pow(10.0, decimals);
    double v = x * p;
    // Binary fractions such as 1.005 read just below the half: nudge by a relative epsilon.
    v += std::copysign(std::fabs(v) * 1e-12, v);
    return std::round(v) / p;
}

QString fixed(double x, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    QString s = QString::number(roundHalfAway(x, decimals), 'f', decimals);
    if (s.startsWith(QLatin1Char('-')) && s.count(QLatin1Char('0')) + s.count(QLatin1Char('.')) == s.size() - 1)
        s.remove(0, 1); // no "-0.00"
    return s;
}

QString groupThousands(const QString& fixedText)
{
    QString sign;
    QString s = fixedText;
    if (s.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    const int dot = s.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? s : s.left(dot);
    const QString rest = dot < 0 ? QString() : s.mid(dot);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char(','));
    return sign + whole + rest;
}

// A Delphi-style number format: "0.00", "#,##0.00", "0.###", with literal text around it.
QString formatFloat(const QString& format, double x)
{
    QString fmt = format.section(QLatin1Char(';'), 0, 0);
    int first = -1;
    int last = -1;
    for (int i = 0; i < fmt.size(); ++i)
        if (QStringLiteral("0#.,").contains(fmt[i])) {
            if (first < 0) first = i;
            last = i;
        }
    if (first < 0)
        return fmt;
    const QString prefix = fmt.left(first);
    const QString suffix = fmt.mid(last + 1);
    const QString pat = fmt.mid(first, last - first + 1);
    const int dot = pat.indexOf(QLatin1Char('.'));
    const QString intPat = dot < 0 ? pat : pat.left(dot);
    const QString decPat = dot < 0 ? QString() : pat.mid(dot + 1);
    const int minDec = int(decPat.count(QLatin1Char('0')));
    const int maxDec = minDec + int(decPat.count(QLatin1Char('#')));
    const int minInt = int(intPat.count(QLatin1Char('0')));
    QString s = fixed(x, maxDec);
    QString sign;
    if (s.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    int sdot = s.indexOf(QLatin1Char('.'));
    if (sdot >= 0) {
        int keep = int(s.size());
        while (keep - sdot - 1 > minDec && s[keep - 1] == QLatin1Char('0'))
            --keep;
        s.truncate(keep);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    sdot = s.indexOf(QLatin1Char('.'));
    QString whole = sdot < 0 ? s : s.left(sdot);
    const QString frac = sdot < 0 ? QString() : s.mid(sdot);
    if (whole == QLatin1String("0") && minInt == 0)
        whole.clear();
    while (whole.size() < minInt)
        whole.prepend(QLatin1Char('0'));
    QString out = whole + frac;
    if (intPat.contains(QLatin1Char(',')))
        out = groupThousands(out);
    return prefix + sign + out + suffix;
}

double number(const TReportVariable& v, const Expr& where)
{
    bool ok = false;
    const double d = v.toNumber(&ok);
    if (!ok && !v.isNull())
        throw ReportError(QStringLiteral("Valore non numerico \"%1\" in %2").arg(v.toText(), where.text));
    return d;
}

QDateTime dateTime(const TReportVariable& v, const Expr& where)
{
    bool ok = false;
    const QDateTime dt = v.toDateTime(&ok);
    if (!ok)
        throw ReportError(QStringLiteral("Data non valida \"%1\" in %2").arg(v.toText(), where.text));
    return dt;
}

RecordSource* datasetOf(const Expr& e, const EvalContext& ctx)
{
    RecordSource* ds = ctx.dataset(e.alias);
    if (!ds)
        throw ReportError(QStringLiteral("Alias di dataset non trovato: %1 in %2")
                              .arg(QChar(char16_t('A' + e.alias)), e.text));
    return ds;
}

int compareValues(const TReportVariable& a, const TReportVariable& b, const EvalContext& ctx)
{
    using T = TReportVariable::Type;
    if (a.type() == T::Bool || b.type() == T::Bool) {
        const bool x = a.toBool(ctx.falseValue());
        const bool y = b.toBool(ctx.falseValue());
        return x == y ? 0 : (x ? 1 : -1);
    }
    if (!a.isNull() && !b.isNull() && a.isNumeric() && b.isNumeric()) {
        const double x = a.toNumber();
        const double y = b.toNumber();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const bool aDate = a.type() == T::Date || a.type() == T::DateTime;
    const bool bDate = b.type() == T::Date || b.type() == T::DateTime;
    if (aDate || bDate) {
        bool okA = false;
        bool okB = false;
        const QDateTime x = a.toDateTime(&okA);
        const QDateTime y = b.toDateTime(&okB);
        if (okA && okB)
            return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.toText(ctx.trueValue(), ctx.falseValue()).compare(b.toText(ctx.trueValue(), ctx.falseValue()));
}

bool isDateValue(const TReportVariable& v)
{
    return v.type() == TReportVariable::Type::Date || v.type() == TReportVariable::Type::DateTime;
}

TReportVariable binaryOp(const Expr& e, EvalContext& ctx)
{
    const QString& op = e.op;
    if (op == QLatin1String("&&"))
        return TReportVariable::fromBool(evaluate(*e.args[0], ctx).toBool(ctx.falseValue())
                                         && evaluate(*e.args[1], ctx).toBool(ctx.falseValue()));
    if (op == QLatin1String("||"))
        return TReportVariable::fromBool(evaluate(*e.args[0], ctx).toBool(ctx.falseValue())
                                         || evaluate(*e.args[1], ctx).toBool(ctx.falseValue()));
    const TReportVariable a = evaluate(*e.args[0], ctx);
    const TReportVariable b = evaluate(*e.args[1], ctx);
    if (op == QLatin1String("=")) return TReportVariable::fromBool(compareValues(a, b, ctx) == 0);
    if (op == QLatin1String("<>")) return TReportVariable::fromBool(compareValues(a, b, ctx) != 0);
    if (op == QLatin1String("<")) return TReportVariable::fromBool(compareValues(a, b, ctx) < 0);
    if (op == QLatin1String(">")) return TReportVariable::fromBool(compareValues(a, b, ctx) > 0);
    if (op == QLatin1String("<=")) return TReportVariable::fromBool(compareValues(a, b, ctx) <= 0);
    if (op == QLatin1String(">=")) return TReportVariable::fromBool(compareValues(a, b, ctx) >= 0);
    if (isDateValue(a) && (op == QLatin1String("+") || op == QLatin1String("-")) && !isDateValue(b)) {
        const double days = number(b, e) * (op == QLatin1String("-") ? -1 : 1);
        const QDateTime dt = a.toDateTime().addSecs(qint64(std::llround(days * 86400.0)));
        return a.type() == TReportVariable::Type::Date ? TReportVariable::fromDate(dt.date())
                                                       : TReportVariable::fromDateTime(dt);
    }
    if (op == QLatin1String("-") && isDateValue(a) && isDateValue(b))
        return TReportVariable::fromNumber(double(b.toDateTime().secsTo(a.toDateTime())) / 86400.0);
    const bool numeric = (a.isNull() || a.isNumeric()) && (b.isNull() || b.isNumeric());
    if (op == QLatin1String("+") && !numeric)
        return TReportVariable::fromText(a.toText(ctx.trueValue(), ctx.falseValue())
                                         + b.toText(ctx.trueValue(), ctx.falseValue()));
    const double x = number(a, e);
    const double y = number(b, e);
    if (op == QLatin1String("+")) return TReportVariable::fromNumber(x + y);
    if (op == QLatin1String("-")) return TReportVariable::fromNumber(x - y);
    if (op == QLatin1String("*")) return TReportVariable::fromNumber(x * y);
    if (y == 0)
        throw ReportError(QStringLiteral("Divisione per zero nell'espressione %1").arg(e.text));
    if (op == QLatin1String("/")) return TReportVariable::fromNumber(x / y);
    return TReportVariable::fromNumber(std::fmod(x, y));
}

QString text(const TReportVariable& v, const EvalContext& ctx)
{
    return v.toText(ctx.trueValue(), ctx.falseValue());
}

QString substring(const QString& s, double start, double len, bool hasLen)
{
    qint64 from = qint64(std::floor(start));
    if (from < 1)
        from = 1;
    if (from > s.size())
        return QString();
    if (!hasLen)
        return s.mid(from - 1);
    if (len <= 0)
        return QString();
    return s.mid(from - 1, qsizetype(std::min<double>(len, double(s.size()))));
}

TReportVariable callBuiltin(const Expr& e, EvalContext& ctx)
{
    const QString& f = e.name;
    auto arg = [&](int i) { return evaluate(*e.args[size_t(i)], ctx); };
    auto num = [&](int i) { return number(arg(i), *e.args[size_t(i)]); };
    auto str = [&](int i) { return text(arg(i), ctx); };
    auto dt = [&](int i) { return dateTime(arg(i), *e.args[size_t(i)]); };
    const int n = int(e.args.size());

    if (e.fn == FnKind::Dataset) {
        RecordSource* ds = datasetOf(e, ctx);
        if (f == QLatin1String("EOF")) return TReportVariable::fromBool(ds->eof());
        if (f == QLatin1String("BOF")) return TReportVariable::fromBool(ds->bof());
        if (f == QLatin1String("NEXT")) ds->next();
        else if (f == QLatin1String("PRIOR")) ds->prior();
        else if (f == QLatin1String("FIRST")) ds->first();
        else if (f == QLatin1String("LAST")) ds->last();
        // Moving prints nothing; its value tells whether a row is current.
        return TReportVariable::fromBool(!ds->eof() && !ds->bof());
    }
    if (f == QLatin1String("IF") || f == QLatin1String("WHILE") || f == QLatin1String("ELSIF"))
        return TReportVariable::fromBool(arg(0).toBool(ctx.falseValue()));
    if (f == QLatin1String("IIF"))
        return arg(0).toBool(ctx.falseValue()) ? arg(1) : arg(2);
    if (f == QLatin1String("SET")) {
        ctx.assign(e.args[0]->name, arg(1));
        return TReportVariable::fromText(QString());
    }
    if (f == QLatin1String("TRIM")) return TReportVariable::fromText(str(0).trimmed());
    if (f == QLatin1String("MID") || f == QLatin1String("SUBSTR") || f == QLatin1String("COPY"))
        return TReportVariable::fromText(substring(str(0), num(1), n > 2 ? num(2) : 0, n > 2));
    if (f == QLatin1String("UPPER")) return TReportVariable::fromText(str(0).toUpper());
    if (f == QLatin1String("LOWER")) return TReportVariable::fromText(str(0).toLower());
    if (f == QLatin1String("STR")) {
        const double x = num(0);
        QString s = n > 2 ? fixed(x, int(num(2))) : TReportVariable::formatNumber(x);
        if (n > 1)
            s = s.rightJustified(int(std::clamp(num(1), 0.0, 1000.0)), QLatin1Char(' '));
        return TReportVariable::fromText(s);
    }
    if (f == QLatin1String("VAL")) {
        bool ok = false;
        const double d = str(0).trimmed().toDouble(&ok);
        return TReportVariable::fromNumber(ok ? d : 0);
    }
    if (f == QLatin1String("POS")) return TReportVariable::fromNumber(double(str(1).indexOf(str(0)) + 1));
    if (f == QLatin1String("INT")) return TReportVariable::fromNumber(std::trunc(num(0)));
    if (f == QLatin1String("FRAC")) {
        const double x = num(0);
        return TReportVariable::fromNumber(x - std::trunc(x));
    }
    if (f == QLatin1String("ROUND")) return TReportVariable::fromNumber(roundHalfAway(num(0), n > 1 ? int(num(1)) : 0));
    if (f == QLatin1String("NOW")) return TReportVariable::fromDateTime(QDateTime::currentDateTime());
    if (f == QLatin1String("DATE")) return TReportVariable::fromDate(QDate::currentDate());
    if (f == QLatin1String("TIME")) return TReportVariable::fromDateTime(QDateTime(kTimeOnlyDay, QTime::currentTime()));
    if (f == QLatin1String("DATETOSTR")) return TReportVariable::fromText(dt(0).date().toString(QStringLiteral("dd/MM/yyyy")));
    if (f == QLatin1String("DATETIMETOSTR")) return TReportVariable::fromText(dt(0).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    if (f == QLatin1String("TIMETOSTR")) return TReportVariable::fromText(dt(0).time().toString(QStringLiteral("HH:mm:ss")));
    if (f == QLatin1String("STRTODATE") || f == QLatin1String("STRTODATETIME")) {
        bool ok = false;
        const QString s = str(0);
        const QDateTime d = parseDateTimeText(s, &ok);
        if (!ok)
            throw ReportError(QStringLiteral("Data non valida \"%1\" in %2").arg(s, e.text));
        return f == QLatin1String("STRTODATE") ? TReportVariable::fromDate(d.date()) : TReportVariable::fromDateTime(d);
    }
    if (f == QLatin1String("STRTOTIME")) {
        const QString s = str(0).trimmed();
        QTime t = QTime::fromString(s, QStringLiteral("HH:mm:ss"));
        if (!t.isValid()) t = QTime::fromString(s, QStringLiteral("H:mm:ss"));
        if (!t.isValid()) t = QTime::fromString(s, QStringLiteral("H:mm"));
        if (!t.isValid()) t = QTime::fromString(s, QStringLiteral("H.mm"));
        if (!t.isValid())
            throw ReportError(QStringLiteral("Ora non valida \"%1\" in %2").arg(s, e.text));
        return TReportVariable::fromDateTime(QDateTime(kTimeOnlyDay, t));
    }
    if (f == QLatin1String("YEAR")) return TReportVariable::fromNumber(dt(0).date().year());
    if (f == QLatin1String("MONTH")) return TReportVariable::fromNumber(dt(0).date().month());
    if (f == QLatin1String("DAY")) return TReportVariable::fromNumber(dt(0).date().day());
    if (f == QLatin1String("SYEAR")) return TReportVariable::fromText(dt(0).date().toString(QStringLiteral("yyyy")));
    if (f == QLatin1String("SMONTH")) return TReportVariable::fromText(dt(0).date().toString(QStringLiteral("MM")));
    if (f == QLatin1String("SDAY")) return TReportVariable::fromText(dt(0).date().toString(QStringLiteral("dd")));
    if (f == QLatin1String("DTOS")) return TReportVariable::fromText(dt(0).date().toString(QStringLiteral("yyyyMMdd")));
    if (f == QLatin1String("STOD")) {
        const QString s = str(0).trimmed();
        const QDate d = QDate::fromString(s, QStringLiteral("yyyyMMdd"));
        if (!d.isValid())
            throw ReportError(QStringLiteral("Data non valida \"%1\" in %2 (atteso aaaammgg)").arg(s, e.text));
        return TReportVariable::fromDate(d);
    }
    if (f == QLatin1String("FORMATFLOAT")) return TReportVariable::fromText(formatFloat(str(0), num(1)));
    if (f == QLatin1String("POWER")) return TReportVariable::fromNumber(std::pow(num(0), num(1)));
    if (f == QLatin1String("INTPOWER")) return TReportVariable::fromNumber(std::pow(num(0), std::trunc(num(1))));
    throw ReportError(QStringLiteral("Illegal function use: %1 - si usa solo nel comando scan").arg(e.text));
}

// Picture size in pixels from a PNG or JPEG header.
bool imageSize(const QByteArray& data, bool* png, int* w, int* h)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n") && data.size() >= 24) {
        auto be32 = [&](int at) {
            return (quint32(quint8(data[at])) << 24) | (quint32(quint8(data[at + 1])) << 16)
                 | (quint32(quint8(data[at + 2])) << 8) | quint32(quint8(data[at + 3]));
        };
        *png = true;
        *w = int(be32(16));
        *h = int(be32(20));
        return *w > 0 && *h > 0;
    }
    if (data.startsWith("\xFF\xD8")) {
        int i = 2;
        while (i + 9 < data.size()) {
            if (quint8(data[i]) != 0xFF) return false;
            const quint8 m = quint8(data[i + 1]);
            const int len = (quint8(data[i + 2]) << 8) | quint8(data[i + 3]);
            if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
                *png = false;
                *h = (quint8(data[i + 5]) << 8) | quint8(data[i + 6]);
                *w = (quint8(data[i + 7]) << 8) | quint8(data[i + 8]);
                return *w > 0 && *h > 0;
            }
            i += 2 + len;
        }
    }
    return false;
}

QByteArray picture(const QString& path, double scale, bool binary, const Expr& e)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Immagine non trovata: %1 in %2").arg(path, e.text));
    const QByteArray data = f.readAll();
    bool png = false;
    int w = 0;
    int h = 0;
    if (!imageSize(data, &png, &w, &h))
        throw ReportError(QStringLiteral("Formato d'immagine non gestito (solo PNG e JPEG): %1").arg(path));
    const int pct = int(std::clamp(scale, 1.0, 1000.0));
    QByteArray out = "{\\pict";
    out += png ? "\\pngblip" : "\\jpegblip";
    out += "\\picw" + QByteArray::number(w) + "\\pich" + QByteArray::number(h);
    // 96 pixels to the inch, 1440 twips to the inch.
    out += "\\picwgoal" + QByteArray::number(w * 15) + "\\pichgoal" + QByteArray::number(h * 15);
    out += "\\picscalex" + QByteArray::number(pct) + "\\picscaley" + QByteArray::number(pct);
    if (binary) {
        out += "\\bin" + QByteArray::number(data.size()) + " ";
        out += data;
    } else {
        out += " ";
        out += data.toHex();
    }
    out += "}";
    return out;
}

QString delphiDateFormat(const QString& fmt, const QDateTime& dt)
{
    const QLocale it(QLocale::Italian, QLocale::Italy);
    QString out;
    bool afterHour = false;
    for (int i = 0; i < fmt.size();) {
        auto at = [&](const char* s) { return fmt.mid(i, qsizetype(strlen(s))).compare(QLatin1String(s), Qt::CaseInsensitive) == 0; };
        if (fmt[i] == QLatin1Char('\'') || fmt[i] == QLatin1Char('"')) {
            const QChar q = fmt[i];
            const int close = fmt.indexOf(q, i + 1);
            const int end = close < 0 ? int(fmt.size()) : close;
            out += fmt.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (at("yyyy")) { out += dt.toString(QStringLiteral("yyyy")); i += 4; }
        else if (at("yy")) { out += dt.toString(QStringLiteral("yy")); i += 2; }
        else if (at("mmmm")) { out += it.monthName(dt.date().month()); i += 4; }
        else if (at("mmm")) { out += it.monthName(dt.date().month(), QLocale::ShortFormat); i += 3; }
        else if (at("mm")) { out += afterHour ? dt.toString(QStringLiteral("mm")) : dt.toString(QStringLiteral("MM")); i += 2; afterHour = false; }
        else if (at("m")) { out += afterHour ? dt.toString(QStringLiteral("m")) : dt.toString(QStringLiteral("M")); i += 1; afterHour = false; }
        else if (at("dddd")) { out += it.dayName(dt.date().dayOfWeek()); i += 4; }
        else if (at("ddd")) { out += it.dayName(dt.date().dayOfWeek(), QLocale::ShortFormat); i += 3; }
        else if (at("dd")) { out += dt.toString(QStringLiteral("dd")); i += 2; }
        else if (at("d")) { out += dt.toString(QStringLiteral("d")); i += 1; }
        else if (at("hh")) { out += dt.toString(QStringLiteral("HH")); i += 2; afterHour = true; }
        else if (at("h")) { out += dt.toString(QStringLiteral("H")); i += 1; afterHour = true; }
        else if (at("nn")) { out += dt.toString(QStringLiteral("mm")); i += 2; }
        else if (at("n")) { out += dt.toString(QStringLiteral("m")); i += 1; }
        else if (at("ss")) { out += dt.toString(QStringLiteral("ss")); i += 2; }
        else if (at("s")) { out += dt.toString(QStringLiteral("s")); i += 1; }
        else { out += fmt[i]; ++i; }
    }
    return out;
}

} // namespace
TReportVariable evaluate(const Expr& e, EvalContext& ctx)
{
    switch (e.kind) {
    case Expr::K::Literal:
        return e.literal;
    case Expr::K::Var: {
        TReportVariable v;
        ctx.lookupVariable(e.name, v); // a variable that is not set reads as empty
        return v;
    }
    case Expr::K::Field: {
        RecordSource* ds = datasetOf(e, ctx);
        if (!ds->hasField(e.name))
            throw ReportError(QStringLiteral("Campo non trovato: %1").arg(e.text));
        return TReportVariable::fromVariant(ds->value(e.name));
    }
    case Expr::K::Unary: {
        const TReportVariable v = evaluate(*e.args[0], ctx);
        if (e.op == QLatin1String("!"))
            return TReportVariable::fromBool(!v.toBool(ctx.falseValue()));
        const double d = number(v, e);
        return TReportVariable::fromNumber(e.op == QLatin1String("-") ? -d : d);
    }
    case Expr::K::Binary:
        return binaryOp(e, ctx);
    case Expr::K::Assign: {
        const TReportVariable v = evaluate(*e.args[0], ctx);
        ctx.assign(e.name, v);
        return v;
    }
    case Expr::K::Call: {
        if (e.builtin)
            return callBuiltin(e, ctx);
        const TUDF* u = ctx.udf(e.name);
        if (!u)
            throw ReportError(QStringLiteral("Function not found: ") + e.name);
        QVector<TReportVariable> args;
        args.reserve(qsizetype(e.args.size()));
        for (const ExprPtr& a : e.args)
            args.append(evaluate(*a, ctx));
        TReportVariable result;
        if (u->OnCalculate)
            u->OnCalculate(args, result);
        return result;
    }
    }
    return {};
}

bool referencesUnknown(const Expr& e, const EvalContext& ctx)
{
    if (e.kind == Expr::K::Var) {
        TReportVariable v;
        return !ctx.lookupVariable(e.name, v);
    }
    if (e.kind == Expr::K::Field) {
        RecordSource* ds = ctx.dataset(e.alias);
        return !ds || !ds->hasField(e.name);
    }
    if (e.kind == Expr::K::Call && e.builtin && e.name == QLatin1String("SET"))
        return referencesUnknown(*e.args[1], ctx);
    if (e.kind == Expr::K::Assign)
        return referencesUnknown(*e.args[0], ctx);
    for (const ExprPtr& a : e.args)
        if (referencesUnknown(*a, ctx))
            return true;
    return false;
}

QByteArray applyFormat(const Expr& e, EvalContext& ctx)
{
    const QString& f = e.name;
    const int n = int(e.args.size());
    const TReportVariable v = evaluate(*e.args[0], ctx);
    auto decimals = [&](int fallback) {
        return n > 1 ? int(number(evaluate(*e.args[1], ctx), *e.args[1])) : fallback;
    };
    auto value = [&]() {
        bool ok = false;
        const double d = v.toNumber(&ok);
        if (!ok && !v.isNull())
            throw ReportError(QStringLiteral("Valore non numerico \"%1\" in %2").arg(text(v, ctx), e.text));
        return d;
    };
    QString out;
    if (f == QLatin1String("NOFORMAT")) {
        if (v.type() == TReportVariable::Type::Bool)
            out = v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else if (v.type() == TReportVariable::Type::Number)
            out = QString::number(v.toNumber(), 'g', 17);
        else if (isDateValue(v))
            out = v.toDateTime().toString(Qt::ISODate);
        else
            out = text(v, ctx);
    } else if (f == QLatin1String("FEXP")) {
        out = QString::number(value(), 'E', std::clamp(decimals(6), 0, 17));
    } else if (f == QLatin1String("FFIX") || f == QLatin1String("FFIXR")) {
        const double d = value();
        out = (f == QLatin1String("FFIXR") && roundHalfAway(d, decimals(2)) == 0) ? QString() : fixed(d, decimals(2));
    } else if (f == QLatin1String("FNUM") || f == QLatin1String("FNUMR")) {
        const double d = value();
        out = (f == QLatin1String("FNUMR") && roundHalfAway(d, decimals(2)) == 0) ? QString()
                                                                                 : groupThousands(fixed(d, decimals(2)));
    } else if (f == QLatin1String("FCUR")) {
        out = QString::fromUtf8("€ ") + groupThousands(fixed(value(), decimals(2)));
    } else if (f == QLatin1String("FITA") || f == QLatin1String("FEUR")) {
        // FITA(x[, decimals]): "1.094,16"; FEUR: "€ 1.094,16". A value that is not a number (a
        // sentence, an empty amount, a dash) is printed with the numbers with decimals inside it
        // in the Italian form ("1.000,000 millesimi"), rather than stopping the letter.
        bool numeric = false;
        const double d = v.toNumber(&numeric);
        if (!numeric || v.type() == TReportVariable::Type::Bool) {
            out = store::italianNumbersIn(text(v, ctx));
        } else {
            const QString number = store::italianForm(fixed(d, decimals(2)));
            out = f == QLatin1String("FEUR") ? QString::fromUtf8("€ ") + number : number;
        }
    } else if (f == QLatin1String("FDTM")) {
        // FDTM(format, date) or FDTM(date, format): the argument that is a date is the date.
        TReportVariable fmt = v;
        TReportVariable d = evaluate(*e.args[1], ctx);
        const Expr* dateArg = e.args[1].get();
        bool firstIsDate = false;
        bool secondIsDate = false;
        v.toDateTime(&firstIsDate);
        d.toDateTime(&secondIsDate);
        if (firstIsDate && !secondIsDate) {
            std::swap(fmt, d);
            dateArg = e.args[0].get();
        }
        out = d.isNull() ? QString() : delphiDateFormat(text(fmt, ctx), dateTime(d, *dateArg));
    } else if (f == QLatin1String("FBOOL")) {
        out = v.toBool(ctx.falseValue()) ? ctx.trueValue() : ctx.falseValue();
    } else if (f == QLatin1String("FLNK")) {
        QString url = text(v, ctx);
        QString target = url;
        target.replace(QLatin1Char('"'), QStringLiteral("%22"));
        return "{\\field{\\*\\fldinst HYPERLINK \"" + rtf::escapeText(target) + "\"}{\\fldrslt "
             + rtf::escapeText(url) + "}}";
    } else if (f == QLatin1String("FIMG")) {
        return picture(text(v, ctx), n > 1 ? number(evaluate(*e.args[1], ctx), *e.args[1]) : 100, ctx.graphicsBinary(), e);
    } else if (f == QLatin1String("FRTF")) {
        // The value is RTF of its own: accepted only as a balanced fragment, so that it cannot
        // close or reopen the document's groups.
        const QString s = text(v, ctx);
        QByteArray frag;
        for (const QChar c : s) {
            if (c.unicode() < 0x80)
                frag.append(char(c.unicode()));
            else
                frag += "\\u" + QByteArray::number(int(qint16(c.unicode()))) + "?";
        }
        try {
            rtf::parse("{\\rtf1 " + frag + "}");
        } catch (const ReportError&) {
            throw ReportError(QStringLiteral("Il valore di %1 non è un frammento RTF valido").arg(e.text));
        }
        return "{" + frag + "}";
    }
    return rtf::escapeText(out);
}

} // namespace velcaris::documents
