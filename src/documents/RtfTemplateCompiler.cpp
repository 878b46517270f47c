// Compiling an RTF template: finding its markers and building the tree the merge walks.
#include "documents/RtfTemplate.h"

#include "documents/RtfReport.h"

#include <QHash>

namespace velcaris::documents::templating {

namespace {

using rtf::Tok;

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

} // namespace

CompiledTemplate compileTemplate(const rtf::Document& doc, const TRtfReport& report, const QVector<RecordSource*>& datasets)
{
    Compiler compiler(doc, report, datasets);
    CompiledTemplate out;
    out.root = compiler.compile();
    out.markers = std::move(compiler.markers_);
    return out;
}

} // namespace velcaris::documents::templating
