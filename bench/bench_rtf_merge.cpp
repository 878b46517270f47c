// Merge speed of the template engine: a reminder-sized letter (two pages, a dozen variables,
// a short list of quotas) and a two-page template whose scan lists 1,000 rows.
#include "documents/RecordSource.h"
#include "documents/RtfReader.h"
#include "documents/RtfReport.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velcaris::documents;

namespace {

QByteArray header()
{
    return "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\deflang1040"
           "{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
           "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}}\r\n"
           "{\\*\\rsidtbl \\rsid1050331}{\\info{\\author Amministratore}}\r\n"
           "\\paperw11906\\paperh16838\\margl1134\\margr1134 \\pard\\plain \\f0\\fs24 ";
}

// A run as Word writes it.
QByteArray run(const QByteArray& text)
{
    return "{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1050331 " + text + "}";
}

// Two pages of prose with the letter's variables spread through it.
QByteArray letterBody()
{
    QByteArray b;
    b += run("\\\\condominio\\\\") + "\\par " + run("\\\\ind_condominio\\\\ - \\\\citta_cond\\\\") + "\\par\\par ";
    b += run("Gentile ") + "{\\b \\\\}{\\b0 persona\\\\}" + run(",") + "\\par ";
    for (int p = 0; p < 40; ++p)
        b += run("con la presente le ricordiamo che risultano ancora da versare le quote "
                 "dell'esercizio \\\\anno\\\\ del condominio \\\\condominio\\\\, per un totale di "
                 "\\'80 \\\\totale\\\\. La preghiamo di provvedere entro il \\\\scadenza\\\\.") + "\\par ";
    b += "\\page ";
    return b;
}

QByteArray reminderTemplate()
{
    QByteArray t = header() + letterBody();
    t += run("\\\\scan(A, SUM(A:Importo, dovuto))\\\\") + "\\par ";
    t += run("\\\\A:Nome\\\\") + "\\tab " + run("\\\\FFIX(A:Importo)\\\\") + "\\tab " + run("\\\\A:Nota\\\\") + "\\par ";
    t += run("\\\\endscan\\\\") + "\\par ";
    t += run("Totale dovuto: \\\\FNUM(dovuto)\\\\") + "\\par ";
    t += run("\\\\if(dovuto > 100)\\\\\\\\diffida\\\\\\\\else\\\\Cordiali saluti.\\\\endif\\\\") + "\\par ";
    t += run("\\\\amministratore\\\\") + "\\par }";
    return t;
}

QByteArray longListTemplate()
{
    QByteArray t = header() + letterBody();
    t += run("\\\\scan(A, SUM(A:Importo, dovuto), CTS(A:Nota, note))\\\\") + "\\par ";
    t += run("{\\b Elenco}") + "\\par ";
    t += run("\\\\scanentry\\\\") + "\\par ";
    t += run("\\\\A:Nome\\\\") + "\\tab " + run("\\\\FFIX(A:Importo)\\\\") + "\\tab " + run("\\\\UPPER(A:Nota)\\\\") + "\\par ";
    t += run("\\\\scanfooter\\\\") + "\\par ";
    t += run("Totale \\\\FNUM(dovuto)\\\\, \\\\note\\\\ note") + "\\par ";
    t += run("\\\\endscan\\\\") + "\\par }";
    return t;
}

MemoryRecordSource rows(int n)
{
    MemoryRecordSource src({"Nome", "Importo", "Nota"}, {});
    for (int i = 0; i < n; ++i)
        src.appendRow({QStringLiteral("Rata %1 - Unità %2").arg(i % 4 + 1).arg(i), 37.5 + i,
                       i % 3 ? QString() : QString::fromUtf8("già sollecitata")});
    return src;
}

void addVariables(TRtfReport& r)
{
    r.AddVariable(QStringLiteral("condominio"), QStringLiteral("Condominio Aurora"));
    r.AddVariable(QStringLiteral("ind_condominio"), QStringLiteral("Via Roma 12"));
    r.AddVariable(QStringLiteral("citta_cond"), QString::fromUtf8("Forlì"));
    r.AddVariable(QStringLiteral("persona"), QStringLiteral("Rossi Mario"));
    r.AddVariable(QStringLiteral("anno"), QStringLiteral("2024/2025"));
    r.AddVariable(QStringLiteral("totale"), QStringLiteral("412.50"));
    r.AddVariable(QStringLiteral("scadenza"), QStringLiteral("31/03/2025"));
    r.AddVariable(QStringLiteral("diffida"), QString::fromUtf8("In mancanza procederemo per vie legali. {Avviso}"));
    r.AddVariable(QStringLiteral("amministratore"), QStringLiteral("Dott. Bianchi"));
}

void BM_MergeReminder(benchmark::State& state)
{
    TRtfReport r;
    addVariables(r);
    const QByteArray templ = reminderTemplate();
    MemoryRecordSource a = rows(8);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = r.MergeBytes(templ, {&a});
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["template_bytes"] = double(templ.size());
    state.counters["output_bytes"] = double(bytes);
    state.counters["docs_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeReminder)->Unit(benchmark::kMicrosecond);

// The whole Merge: read the template, merge, write through a temporary file and rename.
void BM_MergeReminderFile(benchmark::State& state)
{
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("Sollecito.rtf"));
        f.open(QIODevice::WriteOnly);
        f.write(reminderTemplate());
    }
    TRtfReport r;
    addVariables(r);
    r.SetInFile(dir.filePath("Sollecito.rtf"));
    r.SetOutFile(dir.filePath("Sollecito - Rossi Mario.rtf"));
    MemoryRecordSource a = rows(8);
    for (auto _ : state)
        r.Merge({&a});
    state.counters["docs_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeReminderFile)->Unit(benchmark::kMicrosecond);

void BM_MergeScan1000(benchmark::State& state)
{
    TRtfReport r;
    addVariables(r);
    const QByteArray templ = longListTemplate();
    MemoryRecordSource a = rows(1000);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = r.MergeBytes(templ, {&a});
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["output_bytes"] = double(bytes);
    state.counters["docs_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeScan1000)->Unit(benchmark::kMillisecond);

} // namespace
