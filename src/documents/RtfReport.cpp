#include "documents/RtfReport.h"

#include "documents/ReportExpression.h"
#include "documents/RtfReader.h"
#include "platform/Shell.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velcaris::documents {

// ---------------------------------------------------------------------------------------------
// Variables

int TVarList::indexOf(const QString& name) const
{
    const QString n = name.trimmed();
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i].first.compare(n, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TVarList::add(const QString& name, const QString& value)
{
    const QString n = name.trimmed();
    if (indexOf(n) >= 0)
        throw ReportError(QStringLiteral("Can't add report variable ") + n + QStringLiteral(" - variable already exists"));
    // A name the templates could never write: refused rather than stored unreachable.
    if (n.isEmpty() || n.contains(QLatin1Char('=')) || n.contains(QLatin1Char('\\')))
        throw ReportError(QStringLiteral("Nome di variabile non valido: \"%1\"").arg(name));
    items_.append({n, value});
}

void TVarList::remove(const QString& name)
{
    const int i = indexOf(name);
    if (i >= 0)
        items_.remove(i);
}

bool TVarList::find(const QString& name, QString* value) const
{
    const int i = indexOf(name);
    if (i < 0)
        return false;
    if (value)
        *value = items_[i].second;
    return true;
}

QStringList TVarList::text() const
{
    QStringList out;
    for (const auto& it : items_)
        out.append(it.first + QLatin1Char('=') + it.second);
    return out;
}

namespace {

using rtf::Tok;

// ---------------------------------------------------------------------------------------------
// Template structure

struct Marker {
    int tb = 0;         // token of the opening backslash
    int te = 0;         // one past the closing backslash (or past an absorbed paragraph end)
    int absorbed = -1;  // the \par token dropped with a block marker alone on its line
    QString text;       // between the backslashes, trimmed
};

enum class Kw { None, Scan, ScanEntry, ScanFooter, EndScan, If, ElsIf, Else, EndIf };

struct Aggregate {
    QString fn;     // SUM, CTN, CTS, VAR
    ExprPtr value;  // SUM/CTN/CTS
    QString target; // SUM/CTN/CTS
    QStringList names; // VAR
    bool noReset = false;
};

struct Node;

struct Segment {
    int tb = 0;
    int te = 0;
    std::vector<Node> nodes;
};

struct Node {
    enum class K { Literal, Value, Scan, If, Skeleton } kind = K::Literal;
    int tb = 0;
    int te = 0;
    // Value
    int marker = -1;
    ExprPtr expr;
    // Scan
    int alias = -1;
    ExprPtr whileCond;
    bool page = false;
    bool noEof = false;
    std::vector<Aggregate> aggregates;
    int entryM = -1;
    int footerM = -1;
    Segment head;
    Segment body;
    Segment foot;
    // If (condMarkers[0] is the if, then the elsifs; elseM the else)
    std::vector<int> condMarkers;
    std::vector<ExprPtr> conds;
    int elseM = -1;
    std::vector<Segment> branches;
    // Scan and If
    int openM = -1;
    int endM = -1;
    // Scan whose markers stand in the first and last cell of one table row: the body is the
    // whole row, the markers' own tokens included (Skeleton nodes).
    bool rowMode = false;
};

bool startsWithWord(const QString& lower, const char* word, QString* rest)
{
    const QLatin1String w(word);
    if (!lower.startsWith(w))
        return false;
    *rest = lower.mid(w.size()).trimmed();
    return true;
}

Kw keywordOf(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("endscan")) return Kw::EndScan;
    if (t == QLatin1String("scanentry")) return Kw::ScanEntry;
    if (t == QLatin1String("scanfooter")) return Kw::ScanFooter;
    if (t == QLatin1String("else")) return Kw::Else;
    if (t == QLatin1String("endif")) return Kw::EndIf;
    QString rest;
    if (startsWithWord(t, "scan", &rest) && (rest.isEmpty() || rest.startsWith(QLatin1Char('('))))
        return Kw::Scan;
    if (startsWithWord(t, "elsif", &rest) && rest.startsWith(QLatin1Char('(')))
        return Kw::ElsIf;
    if (startsWithWord(t, "if", &rest) && rest.startsWith(QLatin1Char('(')))
        return Kw::If;
    return Kw::None;
}

bool isBlank(char16_t c) { return c == ' ' || c == '\t' || c == 0xA0; }

// Top-level comma-separated pieces of text (brackets and quotes respected).
QStringList splitArguments(const QString& s)
{
    QStringList out;
    int depth = 0;
    QChar quote;
    QString cur;
    for (const QChar c : s) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            out.append(cur.trimmed());
            cur.clear();
            continue;
        }
        cur.append(c);
    }
    out.append(cur.trimmed());
    return out;
}

class Compiler {
public:
    Compiler(const rtf::Document& doc, const TRtfReport& report, const QVector<RecordSource*>& datasets)
        : doc_(doc), report_(report), datasets_(datasets), ntok_(int(doc.tokens.size()))
    {
        findMarkers();
    }

    Segment compile()
    {
        int stop = -1;
        Kw kw = Kw::None;
        Segment root = parsePart(&stop, &kw);
        // A closing or middle keyword with no block open around it.
        if (stop >= 0 && kw != Kw::None && kw != Kw::Scan && kw != Kw::If)
            nestingError(kw, stop, "");
        return root;
    }

    std::vector<Marker> markers_;

private:
    void findMarkers()
    {
        const auto& toks = doc_.tokens;
        int open = -1;
        QString text;
        for (int i = 0; i < ntok_; ++i) {
            const rtf::Token& t = toks[size_t(i)];
            if (t.kind == Tok::Break && open >= 0)
                throw ReportError(QStringLiteral("Marcatore non chiuso: \"\\%1\" (manca la barra rovesciata "
                                                 "di chiusura prima della fine del paragrafo)").arg(text));
            if (t.kind != Tok::Char)
                continue;
            if (t.ch == u'\\') {
                if (open < 0) {
                    open = i;
                    text.clear();
                } else {
                    markers_.push_back({open, i + 1, -1, text.trimmed()});
                    open = -1;
                }
            } else if (open >= 0) {
                text.append(QChar(t.ch));
            }
        }
        if (open >= 0)
            throw ReportError(QStringLiteral("Marcatore non chiuso: \"\\%1\" (manca la barra rovesciata "
                                             "di chiusura prima della fine del documento)").arg(text));
        if (!(report_.Options & moKeepRtfPar))
            for (size_t m = 0; m < markers_.size(); ++m)
                if (keywordOf(markers_[m].text) != Kw::None)
                    absorbParagraphEnd(m);
    }

    // A block marker alone on its line takes that line's paragraph end with it, so that the
    // block markers leave no empty paragraphs in the document.
    void absorbParagraphEnd(size_t m)
    {
        const auto& toks = doc_.tokens;
        Marker& mk = markers_[m];
        const int prevEnd = m > 0 ? markers_[m - 1].te : 0;
        for (int i = mk.tb - 1; i >= 0; --i) {
            const rtf::Token& t = toks[size_t(i)];
            if (t.kind == Tok::Break)
                break;
            if (i < prevEnd || (t.kind == Tok::Char && !isBlank(t.ch)))
                return;
        }
        const int nextStart = m + 1 < markers_.size() ? markers_[m + 1].tb : ntok_;
        for (int i = mk.te; i < ntok_; ++i) {
            const rtf::Token& t = toks[size_t(i)];
            if (i >= nextStart || (t.kind == Tok::Char && !isBlank(t.ch)))
                return;
            if (t.kind == Tok::Break) {
                const QByteArray w = doc_.source.mid(t.start, t.end - t.start).trimmed();
                if (w != "\\par")
                    return; // a table cell or row end is structure, not an empty line
                mk.absorbed = i;
                mk.te = i + 1;
                return;
            }
        }
    }

    [[noreturn]] void nestingError(Kw kw, int m, const char* expected)
    {
        const QString t = markers_[size_t(m)].text;
        switch (kw) {
        case Kw::EndScan: throw ReportError(QStringLiteral("Error: Endscan is not expected: ") + t);
        case Kw::ScanEntry: throw ReportError(QStringLiteral("Error: Scanentry must be after scan: ") + t);
        case Kw::ScanFooter: throw ReportError(QStringLiteral("Error: Scanfooter must be after scan: ") + t);
        case Kw::EndIf: throw ReportError(QStringLiteral("Error: \"endif\" must be after \"if\": ") + t);
        case Kw::Else: throw ReportError(QStringLiteral("Error: \"else\" must be after \"if\": ") + t);
        case Kw::ElsIf: throw ReportError(QStringLiteral("Error: \"elsif\" must be after \"if\": ") + t);
        default: throw ReportError(QStringLiteral("Nesting error - %1 expected: %2").arg(QLatin1String(expected), t));
        }
    }

    // Nodes up to the next marker that ends or divides a block (not consumed), or to the end.
    Segment parsePart(int* stop, Kw* kw)
    {
        Segment p;
        p.tb = pos_;
        while (mi_ < markers_.size()) {
            const Marker& m = markers_[mi_];
            if (m.tb > pos_) {
                Node lit;
                lit.kind = Node::K::Literal;
                lit.tb = pos_;
                lit.te = m.tb;
                p.nodes.push_back(std::move(lit));
                pos_ = m.tb;
            }
            const Kw k = keywordOf(m.text);
            const int idx = int(mi_);
            if (k == Kw::Scan) {
                consume();
                Node scanNode = parseScan(idx);
                // A scan widened to its table row takes the row's start from the text before it.
                if (scanNode.rowMode && !p.nodes.empty() && p.nodes.back().kind == Node::K::Literal
                    && p.nodes.back().te > scanNode.tb) {
                    p.nodes.back().te = scanNode.tb;
                    if (p.nodes.back().te <= p.nodes.back().tb)
                        p.nodes.pop_back();
                }
                p.nodes.push_back(std::move(scanNode));
            } else if (k == Kw::If) {
                consume();
                p.nodes.push_back(parseIf(idx));
            } else if (k != Kw::None) {
                p.te = pos_;
                *stop = idx;
                *kw = k;
                return p;
            } else {
                consume();
                p.nodes.push_back(valueNode(idx));
            }
        }
        if (pos_ < ntok_) {
            Node lit;
            lit.kind = Node::K::Literal;
            lit.tb = pos_;
            lit.te = ntok_;
            p.nodes.push_back(std::move(lit));
            pos_ = ntok_;
        }
        p.te = pos_;
        *stop = -1;
        *kw = Kw::None;
        return p;
    }

    void consume()
    {
        pos_ = markers_[mi_].te;
        ++mi_;
    }

    Node valueNode(int idx)
    {
        Node n;
        n.kind = Node::K::Value;
        n.marker = idx;
        n.tb = markers_[size_t(idx)].tb;
        n.te = markers_[size_t(idx)].te;
        const QString& text = markers_[size_t(idx)].text;
        if (text.isEmpty())
            return n;
        try {
            n.expr = parseExpression(text, report_.UDFList1, ParseMode::Marker, report_.Options & moDotAsColon);
        } catch (const SyntaxError&) {
            // Ordinary text between two backslashes stays as it is; a function call must parse.
            int i = 0;
            while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == QLatin1Char('_')))
                ++i;
            const QString rest = text.mid(i).trimmed();
            if (i > 0 && rest.startsWith(QLatin1Char('(')))
                throw;
        }
        return n;
    }

    ExprPtr condition(int idx, const char* fn)
    {
        const QString& text = markers_[size_t(idx)].text;
        ExprPtr e = parseExpression(text, report_.UDFList1, ParseMode::Condition, report_.Options & moDotAsColon);
        if (e->kind != Expr::K::Call || e->name != QLatin1String(fn))
            throw ReportError(QStringLiteral("Errore di sintassi nel marcatore: %1 (atteso %2(condizione))")
                                  .arg(text, QString::fromLatin1(fn).toLower()));
        return e->args[0];
    }

    // Blocks nest through recursion: their depth is bounded.
    struct BlockDepth {
        int& d;
        BlockDepth(int& v, const QString& marker) : d(v)
        {
            if (++d > 500) {
                --d;
                throw ReportError(QStringLiteral("Troppi blocchi annidati (più di 500) al marcatore %1").arg(marker));
            }
        }
        ~BlockDepth() { --d; }
    };

    Node parseIf(int idx)
    {
        BlockDepth guard(blockDepth_, markers_[size_t(idx)].text);
        Node n;
        n.kind = Node::K::If;
        n.openM = idx;
        n.tb = markers_[size_t(idx)].tb;
        n.condMarkers.push_back(idx);
        n.conds.push_back(condition(idx, "IF"));
        for (;;) {
            int stop = -1;
            Kw kw = Kw::None;
            Segment part = parsePart(&stop, &kw);
            if (stop < 0)
                throw ReportError(QStringLiteral("Nesting error - endif expected, but end of document found"));
            const QString& t = markers_[size_t(stop)].text;
            if (kw == Kw::ElsIf) {
                if (n.elseM >= 0)
                    throw ReportError(QStringLiteral("Error: \"elsif\" is not expected after \"else\": ") + t);
                n.branches.push_back(std::move(part));
                n.condMarkers.push_back(stop);
                n.conds.push_back(condition(stop, "ELSIF"));
                consume();
            } else if (kw == Kw::Else) {
                if (n.elseM >= 0)
                    throw ReportError(QStringLiteral("Error: \"else\" is not expected: ") + t);
                n.branches.push_back(std::move(part));
                n.elseM = stop;
                consume();
            } else if (kw == Kw::EndIf) {
                n.branches.push_back(std::move(part));
                n.endM = stop;
                consume();
                n.te = markers_[size_t(stop)].te;
                return n;
            } else {
                nestingError(kw, stop, "endif");
            }
        }
    }

    Node parseScan(int idx)
    {
        BlockDepth guard(blockDepth_, markers_[size_t(idx)].text);
        Node n;
        n.kind = Node::K::Scan;
        n.openM = idx;
        n.tb = markers_[size_t(idx)].tb;
        scanCommand(n, markers_[size_t(idx)].text);
        Segment current;
        for (;;) {
            int stop = -1;
            Kw kw = Kw::None;
            current = parsePart(&stop, &kw);
            if (stop < 0)
                throw ReportError(QStringLiteral("Nesting error - endscan expected, but end of document found"));
            const QString& t = markers_[size_t(stop)].text;
            if (kw == Kw::ScanEntry) {
                if (n.entryM >= 0)
                    throw ReportError(QStringLiteral("Error: Scanentry is not expected: ") + t);
                if (n.footerM >= 0)
                    throw ReportError(QStringLiteral("Error: Scanentry must be before scanfooter: ") + t);
                n.head = std::move(current);
                n.entryM = stop;
                consume();
            } else if (kw == Kw::ScanFooter) {
                if (n.footerM >= 0)
                    throw ReportError(QStringLiteral("Error: Scanfooter is not expected: ") + t);
                n.body = std::move(current);
                n.footerM = stop;
                consume();
            } else if (kw == Kw::EndScan) {
                if (n.footerM >= 0)
                    n.foot = std::move(current);
                else
                    n.body = std::move(current);
                n.endM = stop;
                consume();
                n.te = markers_[size_t(stop)].te;
                if (n.entryM < 0 && n.footerM < 0)
                    widenToTableRow(n);
                return n;
            } else {
                nestingError(kw, stop, "endscan");
            }
        }
    }

    QByteArray wordOf(int i) const
    {
        const rtf::Token& t = doc_.tokens[size_t(i)];
        QByteArray w = doc_.source.mid(t.start, t.end - t.start).trimmed();
        while (!w.isEmpty() && (w.back() >= '0' && w.back() <= '9'))
            w.chop(1);
        return w;
    }

    // A scan that starts in one cell of a table row and ends in a later cell of the same row
    // repeats the whole row: repeating only the cells between the markers would give the row
    // more cells than it defines. The row runs from its \trowd to its \row (and the braces
    // that close right after it); no other marker may stand in the row outside the block.
    void widenToTableRow(Node& n)
    {
        const auto& toks = doc_.tokens;
        const Marker& open = markers_[size_t(n.openM)];
        const Marker& end = markers_[size_t(n.endM)];
        bool cell = false;
        for (int i = open.te; i < end.tb; ++i)
            if (toks[size_t(i)].kind == Tok::Break) {
                const QByteArray w = wordOf(i);
                if (w == "\\row" || w == "\\nestrow")
                    return;
                if (w == "\\cell")
                    cell = true;
            }
        if (!cell)
            return;
        // Back to the row's definition, within the paragraph the row starts after.
        const int prevEnd = n.openM > 0 ? markers_[size_t(n.openM - 1)].te : 0;
        int rowStart = -1;
        for (int i = open.tb - 1; i >= prevEnd; --i) {
            const rtf::Token& t = toks[size_t(i)];
            if (t.kind == Tok::Break) {
                const QByteArray w = wordOf(i);
                if (w == "\\row" || w == "\\par" || w == "\\sect" || w == "\\page")
                    break;
                if (w == "\\cell")
                    return; // the block does not start in the row's first cell
            }
            if (t.kind == Tok::Word && wordOf(i) == "\\trowd")
                rowStart = i;
        }
        if (rowStart < 0)
            return;
        // Forward to the row's end.
        const int nextStart = size_t(n.endM) + 1 < markers_.size() ? markers_[size_t(n.endM) + 1].tb : ntok_;
        int rowEnd = -1;
        for (int i = end.te; i < nextStart; ++i) {
            const rtf::Token& t = toks[size_t(i)];
            if (t.kind == Tok::Break) {
                const QByteArray w = wordOf(i);
                if (w == "\\row") {
                    rowEnd = i + 1;
                    break;
                }
                if (w != "\\cell")
                    return;
            }
        }
        if (rowEnd < 0)
            return;
        int depth = 0;
        for (int i = rowStart; i < rowEnd; ++i) {
            if (toks[size_t(i)].kind == Tok::Open) ++depth;
            else if (toks[size_t(i)].kind == Tok::Close) --depth;
        }
        while (depth > 0 && rowEnd < nextStart && toks[size_t(rowEnd)].kind != Tok::Char) {
            if (toks[size_t(rowEnd)].kind == Tok::Open)
                break;
            if (toks[size_t(rowEnd)].kind == Tok::Close)
                --depth;
            ++rowEnd;
        }
        Segment row;
        row.tb = rowStart;
        row.te = rowEnd;
        auto literal = [&](int a, int b) {
            if (a >= b)
                return;
            Node lit;
            lit.kind = Node::K::Literal;
            lit.tb = a;
            lit.te = b;
            row.nodes.push_back(std::move(lit));
        };
        auto skeleton = [&](int m) {
            Node sk;
            sk.kind = Node::K::Skeleton;
            sk.marker = m;
            sk.tb = markers_[size_t(m)].tb;
            sk.te = markers_[size_t(m)].te;
            row.nodes.push_back(std::move(sk));
        };
        literal(rowStart, open.tb);
        skeleton(n.openM);
        for (Node& b : n.body.nodes)
            row.nodes.push_back(std::move(b));
        skeleton(n.endM);
        literal(end.te, rowEnd);
        n.body = std::move(row);
        n.rowMode = true;
        n.tb = rowStart;
        n.te = rowEnd;
        pos_ = rowEnd;
    }

    void scanCommand(Node& n, const QString& command)
    {
        const QString rest = command.trimmed().mid(4).trimmed();
        QStringList options;
        if (!rest.isEmpty()) {
            int depth = 0;
            for (const QChar c : rest) {
                if (c == QLatin1Char('(')) ++depth;
                if (c == QLatin1Char(')')) --depth;
                if (depth < 0) break;
            }
            if (depth != 0 || !rest.endsWith(QLatin1Char(')')))
                throw ReportError(QStringLiteral("Brackets balance violation in function ") + command);
            options = splitArguments(rest.mid(1, rest.size() - 2));
        }
        int whiles = 0;
        QString aliasText;
        for (const QString& opt : options) {
            if (opt.isEmpty())
                continue;
            if (opt.size() == 1 && opt[0].isLetter() && opt[0].unicode() < 128) {
                if (!aliasText.isEmpty())
                    throw ReportError(QStringLiteral("Un comando scan nomina un solo dataset: %1").arg(command));
                aliasText = opt;
                n.alias = opt[0].toUpper().unicode() - 'A';
                continue;
            }
            const QString low = opt.toLower();
            if (low == QLatin1String("page")) { n.page = true; continue; }
            if (low == QLatin1String("noeof")) { n.noEof = true; continue; }
            ExprPtr e = parseExpression(opt, report_.UDFList1, ParseMode::ScanOption, report_.Options & moDotAsColon);
            if (e->kind == Expr::K::Call && e->builtin && e->name == QLatin1String("WHILE")) {
                ++whiles;
                n.whileCond = e->args[0];
                continue;
            }
            if (e->kind == Expr::K::Call && e->builtin && e->fn == FnKind::Aggregate) {
                Aggregate a;
                a.fn = e->name;
                if (a.fn == QLatin1String("VAR")) {
                    for (const ExprPtr& arg : e->args)
                        a.names.append(arg->name);
                } else {
                    a.value = e->args[0];
                    a.target = e->args[1]->name;
                    a.noReset = e->args.size() == 3;
                }
                n.aggregates.push_back(a);
                continue;
            }
            throw ReportError(QStringLiteral("Opzione non riconosciuta \"%1\" nel comando %2").arg(opt, command));
        }
        if (whiles > 1)
            throw ReportError(QStringLiteral("More than one \"while\" function is not allowed in command ") + command);
        if (aliasText.isEmpty() && whiles == 0)
            throw ReportError(QStringLiteral("Either \"scan\" with DataSet or \"while\" function must be present in command ") + command);
        if (!aliasText.isEmpty() && (n.alias >= datasets_.size() || !datasets_[n.alias]))
            throw ReportError(QStringLiteral("Scan Alias not found: ") + aliasText);
    }

    const rtf::Document& doc_;
    const TRtfReport& report_;
    const QVector<RecordSource*>& datasets_;
    int ntok_;
    size_t mi_ = 0;
    int pos_ = 0;
    int blockDepth_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Evaluation context of one merge

class MergeContext : public EvalContext {
public:
    MergeContext(const TRtfReport& r, const QVector<RecordSource*>& ds) : r_(r), ds_(ds) {}

    bool lookupVariable(const QString& name, TReportVariable& out) const override
    {
        const auto it = locals_.constFind(name.trimmed().toCaseFolded());
        if (it != locals_.constEnd()) {
            out = it.value();
            return true;
        }
        QString v;
        if (r_.Variables().find(name, &v)) {
            out = TReportVariable::fromText(v);
            return true;
        }
        return false;
    }
    void assign(const QString& name, const TReportVariable& value) override
    {
        locals_.insert(name.trimmed().toCaseFolded(), value);
    }
    RecordSource* dataset(int alias) const override
    {
        return alias >= 0 && alias < ds_.size() ? ds_[alias] : nullptr;
    }
    const TUDF* udf(const QString& name) const override { return r_.UDFList1.find(name); }
    QString trueValue() const override { return r_.TrueValue; }
    QString falseValue() const override { return r_.FalseValue; }
    bool graphicsBinary() const override { return r_.Options & moGraphicsBinary; }

private:
    const TRtfReport& r_;
    const QVector<RecordSource*>& ds_;
    QHash<QString, TReportVariable> locals_; // SET, :=, aggregates: live for one merge
};

// ---------------------------------------------------------------------------------------------
// Writing

class Emitter {
public:
    Emitter(const rtf::Document& doc, const std::vector<Marker>& markers, const TRtfReport& report,
            MergeContext& ctx, const QVector<RecordSource*>& datasets)
        : doc_(doc), toks_(doc.tokens), markers_(markers), report_(report), ctx_(ctx), datasets_(datasets)
    {
        openOf_.assign(toks_.size(), -1);
        std::vector<int> stack;
        for (size_t i = 0; i < toks_.size(); ++i) {
            if (toks_[i].kind == Tok::Open)
                stack.push_back(int(i));
            else if (toks_[i].kind == Tok::Close && !stack.empty()) {
                openOf_[i] = stack.back();
                stack.pop_back();
            }
        }
        out_.reserve(doc.source.size() * 2);
    }

    QByteArray take() { return std::move(out_); }

    void part(const Segment& p)
    {
        for (const Node& n : p.nodes) {
            switch (n.kind) {
            case Node::K::Literal: tokens(n.tb, n.te); break;
            case Node::K::Value: value(n); break;
            case Node::K::Scan: scan(n); break;
            case Node::K::If: conditional(n); break;
            case Node::K::Skeleton: markerSkeleton(n.marker); break;
            }
        }
    }

private:
    void append(const char* p, qsizetype n, bool endsBare)
    {
        if (n <= 0)
            return;
        if (bare_ && rtf::extendsControlWord(p[0]))
            out_.append(' ');
        out_.append(p, n);
        bare_ = endsBare;
    }
    void append(const QByteArray& b, bool endsBare = false) { append(b.constData(), b.size(), endsBare); }

    void tokens(int tb, int te)
    {
        if (tb >= te)
            return;
        const int a = toks_[size_t(tb)].start;
        const int b = toks_[size_t(te - 1)].end;
        append(doc_.source.constData() + a, b - a, toks_[size_t(te - 1)].bare);
    }

    // The marker's span without its visible characters: its formatting changes and groups.
    void markerSkeleton(int m)
    {
        const Marker& mk = markers_[size_t(m)];
        int run = -1;
        for (int i = mk.tb; i < mk.te; ++i) {
            const bool keep = toks_[size_t(i)].kind != Tok::Char && i != mk.absorbed;
            if (keep && run < 0)
                run = i;
            if (!keep && run >= 0) {
                tokens(run, i);
                run = -1;
            }
        }
        if (run >= 0)
            tokens(run, mk.te);
    }

    // A part that is not printed still closes the groups it closes and opens the groups it
    // leaves open (with their formatting), so the document stays balanced.
    void skeleton(int tb, int te)
    {
        int closes = 0;
        std::vector<int> opens;
        for (int i = tb; i < te; ++i) {
            const Tok k = toks_[size_t(i)].kind;
            if (k == Tok::Open)
                opens.push_back(i);
            else if (k == Tok::Close) {
                if (opens.empty())
                    ++closes;
                else
                    opens.pop_back();
            }
        }
        for (int i = 0; i < closes; ++i)
            append("}", 1, false);
        for (int o : opens) {
            int j = o + 1;
            while (j < te && (toks_[size_t(j)].kind == Tok::Word || toks_[size_t(j)].kind == Tok::Symbol))
                ++j;
            tokens(o, j);
        }
    }

    // The opening brace of a group with the formatting words that follow it.
    void groupOpening(int o)
    {
        int j = o + 1;
        while (j < int(toks_.size()) && (toks_[size_t(j)].kind == Tok::Word || toks_[size_t(j)].kind == Tok::Symbol))
            ++j;
        tokens(o, j);
    }

    // Each repetition of a part starts at the depth the part starts at in the template. A part
    // that leaves groups open has them closed before the next repetition (so a repetition is
    // never nested inside the one before, inheriting its formatting); a part that closes groups
    // opened before it gets those groups reopened, with their formatting, before each further
    // repetition. The last repetition's open groups are closed by the template itself.
    void repeat(const Segment& p, int iteration)
    {
        if (iteration == 0) {
            part(p);
            return;
        }
        std::vector<int> closes; // groups closed in the part but opened before it, innermost first
        int opens = 0;           // groups opened in the part and left open
        for (int i = p.tb; i < p.te; ++i) {
            const Tok k = toks_[size_t(i)].kind;
            if (k == Tok::Open)
                ++opens;
            else if (k == Tok::Close) {
                if (opens > 0)
                    --opens;
                else
                    closes.push_back(openOf_[size_t(i)]);
            }
        }
        const int leading = int(closes.size());
        // The previous repetition's open groups stand for the first of the groups this one closes.
        for (int i = leading; i < opens; ++i)
            append("}", 1, false);
        for (int k = leading - 1; k >= opens; --k)
            if (closes[size_t(k)] >= 0)
                groupOpening(closes[size_t(k)]);
        part(p);
    }

    void writeBack(const Node& n)
    {
        if (report_.Options & moClearMissedFields)
            markerSkeleton(n.marker);
        else
            tokens(n.tb, n.te);
    }

    void valueText(const Node& n, const QByteArray& rtfText)
    {
        append(rtfText, false);
        markerSkeleton(n.marker);
    }

    void value(const Node& n)
    {
        const Marker& mk = markers_[size_t(n.marker)];
        // A variable's name as it stands, blanks and all, before any expression.
        TReportVariable named;
        if (!mk.text.isEmpty() && ctx_.lookupVariable(mk.text, named)) {
            valueText(n, rtf::escapeText(named.toText(report_.TrueValue, report_.FalseValue)));
            return;
        }
        if (!n.expr) {
            writeBack(n);
            return;
        }
        const Expr& e = *n.expr;
        if (e.kind == Expr::K::Call && e.builtin && e.fn == FnKind::Format) {
            if ((report_.Options & moNumericFormatClearZero)
                && (e.name == QLatin1String("FFIX") || e.name == QLatin1String("FNUM") || e.name == QLatin1String("FCUR"))) {
                bool ok = false;
                if (evaluate(*e.args[0], ctx_).toNumber(&ok) == 0 && ok) {
                    valueText(n, QByteArray());
                    return;
                }
            }
            valueText(n, applyFormat(e, ctx_));
            return;
        }
        if (e.kind != Expr::K::Call && referencesUnknown(e, ctx_)) {
            writeBack(n);
            return;
        }
        const TReportVariable v = evaluate(e, ctx_);
        if (e.kind == Expr::K::Assign) {
            valueText(n, QByteArray());
            return;
        }
        valueText(n, rtf::escapeText(v.toText(report_.TrueValue, report_.FalseValue)));
    }

    void conditional(const Node& n)
    {
        int chosen = -1;
        for (size_t i = 0; i < n.conds.size(); ++i)
            if (evaluate(*n.conds[i], ctx_).toBool(report_.FalseValue)) {
                chosen = int(i);
                break;
            }
        if (chosen < 0 && n.elseM >= 0)
            chosen = int(n.branches.size()) - 1;
        markerSkeleton(n.condMarkers[0]);
        for (size_t i = 0; i < n.branches.size(); ++i) {
            if (i > 0)
                markerSkeleton(i < n.condMarkers.size() ? n.condMarkers[i] : n.elseM);
            if (int(i) == chosen)
                part(n.branches[i]);
            else
                skeleton(n.branches[i].tb, n.branches[i].te);
        }
        markerSkeleton(n.endM);
    }

    void resetAggregates(const Node& n)
    {
        for (const Aggregate& a : n.aggregates) {
            if (a.fn == QLatin1String("VAR")) {
                for (const QString& name : a.names)
                    ctx_.assign(name, TReportVariable::fromText(QString()));
                continue;
            }
            TReportVariable current;
            if (!a.noReset || !ctx_.lookupVariable(a.target, current) || !current.isNumeric())
                ctx_.assign(a.target, TReportVariable::fromNumber(0));
        }
    }

    void accumulate(const Node& n)
    {
        for (const Aggregate& a : n.aggregates) {
            if (a.fn == QLatin1String("VAR"))
                continue;
            const TReportVariable v = evaluate(*a.value, ctx_);
            TReportVariable total;
            ctx_.lookupVariable(a.target, total);
            double sum = total.toNumber();
            if (a.fn == QLatin1String("SUM")) {
                bool ok = false;
                const double d = v.toNumber(&ok);
                if (!ok && !v.isNull() && !v.toText().trimmed().isEmpty())
                    throw ReportError(QStringLiteral("SUM di un valore non numerico \"%1\": %2").arg(v.toText(), a.value->text));
                sum += d;
            } else if (a.fn == QLatin1String("CTN")) {
                if (!v.isNull() && v.isNumeric())
                    sum += 1;
            } else if (!v.isNull() && !v.toText().isEmpty()) { // CTS
                sum += 1;
            }
            ctx_.assign(a.target, TReportVariable::fromNumber(sum));
        }
    }

    void scan(const Node& n)
    {
        RecordSource* ds = n.alias >= 0 ? datasets_[n.alias] : nullptr;
        const int mark = ds ? ds->position() : 0;
        if (!n.rowMode)
            markerSkeleton(n.openM);
        resetAggregates(n);
        if (n.entryM >= 0) {
            part(n.head);
            markerSkeleton(n.entryM);
        }
        if (ds)
            ds->first();
        int count = 0;
        for (;;) {
            if (ds && !n.noEof && ds->eof())
                break;
            if (n.whileCond && !evaluate(*n.whileCond, ctx_).toBool(report_.FalseValue))
                break;
            // Every scan is bounded: a body that moves its own dataset back never reaches the end.
            if (count >= report_.MaxLoopCount)
                throw ReportError(QStringLiteral("Il blocco %1 non termina: superate %2 ripetizioni")
                                      .arg(markers_[size_t(n.openM)].text).arg(report_.MaxLoopCount));
            accumulate(n);
            if (count > 0 && n.page)
                append("\\page ", 6, false);
            repeat(n.body, count);
            ++count;
            if (ds)
                ds->next();
        }
        if (count == 0)
            skeleton(n.body.tb, n.body.te);
        if (n.footerM >= 0) {
            markerSkeleton(n.footerM);
            part(n.foot);
        }
        if (!n.rowMode)
            markerSkeleton(n.endM);
        if (ds)
            ds->moveTo(mark);
    }

    const rtf::Document& doc_;
    const std::vector<rtf::Token>& toks_;
    const std::vector<Marker>& markers_;
    const TRtfReport& report_;
    MergeContext& ctx_;
    const QVector<RecordSource*>& datasets_;
    std::vector<int> openOf_; // Close token -> its Open token
    QByteArray out_;
    bool bare_ = false;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Engine

TRtfReport::TRtfReport(platform::Shell* shell) : shell_(shell) {}

TRtfReport::~TRtfReport() = default;

QByteArray TRtfReport::MergeBytes(const QByteArray& rtfTemplate, const QVector<RecordSource*>& datasets)
{
    if (!rtfTemplate.startsWith("{\\rtf"))
        throw ReportError(QStringLiteral("Template is not RTF file."));
    if (datasets.size() > 26)
        throw ReportError(QStringLiteral("Troppi dataset per un modello: %1 (al massimo 26, da A a Z)").arg(datasets.size()));
    const rtf::Document doc = rtf::parse(rtfTemplate);
    Compiler compiler(doc, *this, datasets);
    const Segment root = compiler.compile();
    MergeContext ctx(*this, datasets);
    Emitter emitter(doc, compiler.markers_, *this, ctx, datasets);
    emitter.part(root);
    return emitter.take();
}

void TRtfReport::Merge(const QVector<RecordSource*>& datasets)
{
    struct Controls {
        TRtfReport& r;
        const QVector<RecordSource*>& ds;
        bool detached = false;
        Controls(TRtfReport& report, const QVector<RecordSource*>& sources) : r(report), ds(sources)
        {
            if (r.DisableControls && r.DetachControls && !ds.isEmpty()) {
                r.DetachControls(ds);
                detached = true;
            }
        }
        ~Controls()
        {
            if (detached && r.AttachControls)
                r.AttachControls(ds);
        }
    } controls(*this, datasets);

    QFile in(inFile_);
    if (inFile_.isEmpty() || !in.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Can't read report template from file: ") + inFile_);
    const QByteArray templ = in.readAll();
    in.close();
    const QByteArray doc = MergeBytes(templ, datasets);

    const auto failed = [this](const QString& why) {
        return ReportError(QStringLiteral("Impossibile scrivere il documento %1: %2").arg(outFile_, why));
    };
    if (SyncEachDocument) {
        QSaveFile out(outFile_);
        if (!out.open(QIODevice::WriteOnly) || out.write(doc) != doc.size() || !out.commit())
            throw failed(out.errorString());
        return;
    }
    // The same replace-when-whole, without waiting for the disk after each document.
    QTemporaryFile out(outFile_ + QStringLiteral(".XXXXXX"));
    if (!out.open() || out.write(doc) != doc.size() || !out.flush())
        throw failed(out.errorString());
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                       | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(outFile_).constData()) != 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    out.setAutoRemove(false);
}

void TRtfReport::MergeAndOpen(const QVector<RecordSource*>& datasets, int showMode)
{
    Q_UNUSED(showMode);
    Merge(datasets);
    if (!shell().open(outFile_))
        throw ReportError(QStringLiteral("Failed to open report results. Error message: ") + shell().lastError());
}

platform::Shell& TRtfReport::shell()
{
    if (shell_)
        return *shell_;
    if (!ownShell_)
        ownShell_ = std::make_unique<platform::SystemShell>();
    return *ownShell_;
}

} // namespace velcaris::documents
