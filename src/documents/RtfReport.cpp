#include "documents/RtfReport.h"

#include "documents/ReportExpression.h"
#include "documents/RtfTemplate.h"
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
using namespace templating;

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
                && (e.name == QLatin1String("FFIX") || e.name == QLatin1String("FNUM") || e.name == QLatin1String("FCUR")
                    || e.name == QLatin1String("FITA") || e.name == QLatin1String("FEUR"))) {
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
    const templating::CompiledTemplate compiled = templating::compileTemplate(doc, *this, datasets);
    MergeContext ctx(*this, datasets);
    Emitter emitter(doc, compiled.markers, *this, ctx, datasets);
    emitter.part(compiled.root);
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
