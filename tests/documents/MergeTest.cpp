#include "TemplateHelpers.h"
#include "documents/ReportExpression.h"
#include "platform/Shell.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::documents;
using namespace velcaris::test;

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

MemoryRecordSource quotas(int n)
{
    MemoryRecordSource src({"Nome", "Importo", "Nota"}, {});
    for (int i = 1; i <= n; ++i)
        src.appendRow({QStringLiteral("Rata %1").arg(i), 10.0 * i, i % 2 ? QString() : QStringLiteral("saldo")});
    src.first();
    return src;
}

} // namespace

TEST(Variables, NamesAreTrimmedCaseInsensitiveAndUnique)
{
    TRtfReport r;
    r.AddVariable(QStringLiteral(" persona "), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(errorOf([&] { r.AddVariable(QStringLiteral("Persona"), QStringLiteral("x")); }),
              QStringLiteral("Can't add report variable Persona - variable already exists"));
    EXPECT_EQ(r.Variables().count(), 1);
    EXPECT_EQ(r.Variables().text(), QStringList{QStringLiteral("persona=Mario Rossi")});
    r.RemoveVariable(QStringLiteral("mai aggiunta")); // silent
    r.RemoveVariable(QStringLiteral("PERSONA"));
    EXPECT_EQ(r.Variables().count(), 0);
    r.AddVariable(QStringLiteral("a"), QStringLiteral("x=y")); // a value may hold "="
    r.AddVariable(QStringLiteral("b"), QString());
    QString v;
    ASSERT_TRUE(r.Variables().find(QStringLiteral("A"), &v));
    EXPECT_EQ(v, QStringLiteral("x=y"));
    r.ClearVariables();
    EXPECT_EQ(r.Variables().count(), 0);
    EXPECT_FALSE(errorOf([&] { r.AddVariable(QStringLiteral("  "), QStringLiteral("x")); }).isEmpty());
}

TEST(Markers, VariableFoundWhateverWayTheWordProcessorSplitIt)
{
    struct Case {
        const char* name;
        QByteArray marker;
    } cases[] = {
        {"plain", R"(\\persona\\)"},
        {"every character its own run", splitRuns(QStringLiteral("\\persona\\"))},
        {"bold opening backslash", R"({\b \\}{\b0 persona\\})"},
        {"group after the backslash", R"(\\{\rtlch\fcs1 \af0 persona}\\)"},
        {"bookmarks inside", R"(\\per{\*\bkmkstart Testo1}sona{\*\bkmkend Testo1}\\)"},
        {"upper case and blanks", R"(\\ PERSONA \\)"},
        {"hexadecimal backslashes", R"(\'5cpersona\'5c)"},
        {"formatting word inside", R"(\\pers\i ona\i0\\)"},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        r.AddVariable(QStringLiteral("persona"), QStringLiteral("Mario Rossi"));
        EXPECT_EQ(mergeText(r, "Gentile " + c.marker + ", saluti"), QStringLiteral("Gentile Mario Rossi, saluti")) << c.name;
    }
}

TEST(Markers, ValueTakesTheFormattingOfTheMarkersFirstRun)
{
    TRtfReport r;
    r.AddVariable(QStringLiteral("persona"), QStringLiteral("Rossi"));
    const QByteArray out = merge(r, wordDocument(R"(A {\b \\}{\b0 persona\\} B)"));
    EXPECT_TRUE(out.contains(R"(A {\b Rossi}{\b0 } B)")) << out.constData();

    // A control word without its blank before or after the marker keeps its meaning.
    const QByteArray out2 = merge(r, wordDocument(R"(x\b\\persona\b0\\ dopo)"));
    EXPECT_TRUE(out2.contains(R"(x\b Rossi\b0  dopo)")) << out2.constData();
    EXPECT_EQ(visible(out2), QStringLiteral("xRossi dopo"));
}

TEST(Markers, NamingNothingKnownIsWrittenBackUnchanged)
{
    TRtfReport r;
    MemoryRecordSource a = quotas(1);
    const QByteArray cases[] = {
        R"(\\anno\\)",
        splitRuns(QStringLiteral("\\anno\\")),
        R"({\b \\}{\b0 anno\\})",
        R"(\\A:Inesistente\\)",
        R"(\\Q:Nome\\)",
        R"(\\vedi sotto\\)",
        R"(\\\\)",
    };
    for (const QByteArray& marker : cases) {
        const QByteArray templ = wordDocument("prima " + marker + " dopo");
        const QByteArray out = merge(r, templ, {&a});
        EXPECT_EQ(out, templ) << marker.constData();
    }
    r.Options |= moClearMissedFields;
    EXPECT_EQ(mergeText(r, R"(prima {\b \\}{\b0 anno\\} dopo)"), QStringLiteral("prima  dopo"));
}

TEST(Markers, FieldsOfTheCurrentRow)
{
    TRtfReport r;
    MemoryRecordSource a = quotas(3);
    MemoryRecordSource b({"Cognome"}, {{QStringLiteral("Bianchi")}});
    a.moveTo(1);
    EXPECT_EQ(mergeText(r, R"(\\A:Nome\\ \\a.importo\\ \\ b : Cognome \\ \\B.COGNOME\\)", {&a, &b}),
              QStringLiteral("Rata 2 20 Bianchi Bianchi"));
    r.Options &= ~moDotAsColon;
    EXPECT_EQ(mergeText(r, R"(\\A.Nome\\)", {&a}), QStringLiteral("\\A.Nome\\"));
}

TEST(Scan, FiveRowsWithEntryFooterAndTotal)
{
    // Markers alone on their lines take their paragraph end with them.
    const QByteArray body =
        splitRuns(QStringLiteral("\\scan(A, SUM(A:Importo, totale), CTS(A:Nota, note))\\")) + "\\par\r\n"
        "{\\b Elenco rate:}\\par\r\n"
        "{\\rtlch \\\\scanentry\\\\}\\par\r\n"
        "\\pard\\plain \\\\A:Nome\\\\\\tab {\\b \\\\FFIX(A:Importo)\\\\}\\par\r\n"
        "\\\\{\\rtlch\\fcs1 scanfooter}\\\\\\par\r\n"
        "Totale \\\\FFIX(totale)\\\\ (\\\\note\\\\ con nota)\\par\r\n"
        "{\\rtlch\\fcs1 \\\\endscan\\\\}\\par\r\n"
        "Fine";
    TRtfReport r;
    MemoryRecordSource a = quotas(5);
    a.moveTo(2);
    const QString text = mergeText(r, body, {&a});
    EXPECT_EQ(text, QStringLiteral("Elenco rate:\n"
                                   "Rata 1\t10.00\nRata 2\t20.00\nRata 3\t30.00\nRata 4\t40.00\nRata 5\t50.00\n"
                                   "Totale 150.00 (2 con nota)\n"
                                   "Fine"));
    EXPECT_EQ(a.position(), 2); // the scan leaves the dataset where it found it

    MemoryRecordSource empty = quotas(0);
    EXPECT_EQ(mergeText(r, body, {&empty}), QStringLiteral("Elenco rate:\nTotale 0.00 (0 con nota)\nFine"));
}

TEST(Scan, RepeatedPartsStayBalancedWhateverTheirGroups)
{
    // Word's shape: each marker in its own run, so a row starts by closing one group and ends
    // by opening another.
    const QByteArray body = R"({\rtlch \\scan(A)\\}{\rtlch \b \\A:Nome\\;}{\rtlch \\endscan\\})";
    TRtfReport r;
    MemoryRecordSource a = quotas(3);
    EXPECT_EQ(mergeText(r, body, {&a}), QStringLiteral("Rata 1;Rata 2;Rata 3;"));
    MemoryRecordSource none = quotas(0);
    EXPECT_EQ(mergeText(r, body, {&none}), QString());
    // A block that starts inside a group and ends outside it.
    EXPECT_EQ(mergeText(r, R"({\i \\scan(A)\\x} y \\endscan\\)", {&a}), QStringLiteral("x y x y x y"));
    EXPECT_EQ(mergeText(r, R"(\\scan(A)\\x {\i y \\endscan\\})", {&a}), QStringLiteral("x y x y x y"));
}

TEST(Scan, OptionsPageNoeofWhileAndAggregates)
{
    TRtfReport r;
    MemoryRecordSource a = quotas(4);
    const QByteArray paged = merge(r, wordDocument(R"(\\scan(A, page)\\\\A:Nome\\\\endscan\\)"), {&a});
    EXPECT_EQ(paged.count("\\page "), 3);

    // while stops the scan before the dataset ends; noeof lets the condition alone decide.
    EXPECT_EQ(mergeText(r, R"(\\SCAN( a )\\\\A:Nome\\;\\EndScan\\)", {&a}), QStringLiteral("Rata 1;Rata 2;Rata 3;Rata 4;"));
    EXPECT_EQ(mergeText(r, R"(\\scan(A, while(A:Importo < 30))\\\\A:Nome\\;\\endscan\\)", {&a}),
              QStringLiteral("Rata 1;Rata 2;"));
    EXPECT_EQ(mergeText(r, R"(\\SET(n, 0)\\\\scan(A, noeof, while(n < 6))\\\\n := n + 1\\\\n\\\\endscan\\)", {&a}),
              QStringLiteral("123456"));

    // NORESET carries a total over from an earlier scan; VAR clears its variables at the start.
    EXPECT_EQ(mergeText(r, R"(\\scan(A, SUM(A:Importo, t))\\\\endscan\\\\scan(A, SUM(A:Importo, t, NORESET), CTN(A:Importo, c), VAR(v))\\\\v\\\\SET(v, 1)\\\\endscan\\\\t\\ \\c\\)", {&a}),
              QStringLiteral("111200 4"));

    r.MaxLoopCount = 50;
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(R"(\\scan(while(TRUE))\\x\\endscan\\)")); }),
              QStringLiteral("Il blocco scan(while(TRUE)) non termina: superate 50 ripetizioni"));
}

TEST(Scan, ABodyThatMovesItsDatasetBackStopsAtTheLoopBound)
{
    TRtfReport r;
    MemoryRecordSource a = quotas(3);
    r.MaxLoopCount = 40;
    // FIRST inside the body sends the scan back to the first row: it would never reach the end.
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(R"(\\scan(A)\\\\A:Nome\\\\FIRST(A)\\\\endscan\\)"), {&a}); }),
              QStringLiteral("Il blocco scan(A) non termina: superate 40 ripetizioni"));
    // PRIOR then the scan's own step: the same row for ever.
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(R"(\\scan(A)\\\\A:Nome\\\\PRIOR(A)\\\\endscan\\)"), {&a}); }),
              QStringLiteral("Il blocco scan(A) non termina: superate 40 ripetizioni"));
    // A scan that ends on its own is unaffected, up to the bound itself.
    MemoryRecordSource forty = quotas(40);
    EXPECT_EQ(mergeText(r, R"(\\scan(A)\\x\\endscan\\)", {&forty}), QString(40, u'x'));
}

TEST(Conditionals, NestedIfElsifElse)
{
    const QByteArray body =
        "\\\\if(x > 10)\\\\\\par\r\n"
        "grande\\par\r\n"
        "{\\b \\\\}{\\b0 elsif(x > 5)\\\\}\\par\r\n"
        "medio \\\\if(pari)\\\\pari\\\\else\\\\dispari\\\\endif\\\\\\par\r\n"
        "\\\\else\\\\\\par\r\n"
        "piccolo\\par\r\n"
        "\\\\endif\\\\\\par\r\n"
        "fine";
    struct Case {
        const char* x;
        const char* pari;
        const char* text;
    } cases[] = {
        {"11", "1", "grande\nfine"},
        {"6", "1", "medio pari\nfine"},
        {"6", "0", "medio dispari\nfine"},
        {"5", "1", "piccolo\nfine"},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        r.AddVariable(QStringLiteral("x"), QString::fromLatin1(c.x));
        r.AddVariable(QStringLiteral("pari"), QString::fromLatin1(c.pari));
        EXPECT_EQ(mergeText(r, body), QString::fromLatin1(c.text)) << c.x << " " << c.pari;
    }
    // A skipped branch that opens a group the rest of the document closes.
    TRtfReport r;
    EXPECT_EQ(mergeText(r, R"(\\if(FALSE)\\ no {\b x\\endif\\ y})"), QStringLiteral("y"));
    // A condition on a variable that is not set is false.
    EXPECT_EQ(mergeText(r, R"(\\if(anno)\\A.A. \\anno\\\\else\\senza anno\\endif\\)"), QStringLiteral("senza anno"));
}

TEST(Errors, StructureAndCallsAreReportedExactly)
{
    struct Case {
        QByteArray body;
        QString message;
    } cases[] = {
        {R"(\\scan(A)\\ riga)", QStringLiteral("Nesting error - endscan expected, but end of document found")},
        {R"(\\if(1)\\ riga)", QStringLiteral("Nesting error - endif expected, but end of document found")},
        {R"(riga \\endscan\\)", QStringLiteral("Error: Endscan is not expected: endscan")},
        {R"(\\ScanEntry\\)", QStringLiteral("Error: Scanentry must be after scan: ScanEntry")},
        {R"(\\scanfooter\\)", QStringLiteral("Error: Scanfooter must be after scan: scanfooter")},
        {R"(\\endif\\)", QStringLiteral("Error: \"endif\" must be after \"if\": endif")},
        {R"(\\else\\)", QStringLiteral("Error: \"else\" must be after \"if\": else")},
        {R"(\\elsif(1)\\)", QStringLiteral("Error: \"elsif\" must be after \"if\": elsif(1)")},
        {R"(\\if(1)\\\\scan(A)\\\\endif\\\\endscan\\)", QStringLiteral("Error: \"endif\" must be after \"if\": endif")},
        {R"(\\scan(A)\\\\if(1)\\\\endscan\\\\endif\\)", QStringLiteral("Error: Endscan is not expected: endscan")},
        {R"(\\scan(A)\\\\scanfooter\\\\scanentry\\\\endscan\\)", QStringLiteral("Error: Scanentry must be before scanfooter: scanentry")},
        {R"(\\if(1)\\\\else\\\\else\\\\endif\\)", QStringLiteral("Error: \"else\" is not expected: else")},
        {R"(\\scan(A, while(1), while(2))\\\\endscan\\)", QStringLiteral("More than one \"while\" function is not allowed in command scan(A, while(1), while(2))")},
        {R"(\\scan(page)\\\\endscan\\)", QStringLiteral("Either \"scan\" with DataSet or \"while\" function must be present in command scan(page)")},
        {R"(\\scan\\\\endscan\\)", QStringLiteral("Either \"scan\" with DataSet or \"while\" function must be present in command scan")},
        {R"(\\scan(C)\\\\endscan\\)", QStringLiteral("Scan Alias not found: C")},
        {R"(\\scan(A, FFIX(1))\\\\endscan\\)", QStringLiteral("Illegal format function use: FFIX(1) - una funzione di formato non può stare in un comando scan")},
        {R"(\\scan(A, bogus)\\\\endscan\\)", QStringLiteral("Opzione non riconosciuta \"bogus\" nel comando scan(A, bogus)")},
        {R"(\\UPPER(persona, 1)\\)", QStringLiteral("Illegal function use: UPPER(persona, 1) - number of arguments is more than maximum allowed")},
        {R"(\\MID(persona)\\)", QStringLiteral("Illegal function use: MID(persona) - number of arguments is less than minimum required")},
        {R"(\\if(IIF(1, 2))\\\\endif\\)", QStringLiteral("Illegal function use: IIF(1, 2) - number of arguments is less than minimum required")},
        {R"(\\if(a, b)\\\\endif\\)", QStringLiteral("Illegal function use: if(a, b) - number of arguments is more than maximum allowed")},
        {R"(\\FFIX()\\)", QStringLiteral("Illegal format function use: FFIX() - number of arguments is less than minimum required")},
        {R"(\\FDTM(1, 2, 3)\\)", QStringLiteral("Illegal format function use: FDTM(1, 2, 3) - number of arguments is more than maximum allowed")},
        {R"(\\riga(1)\\)", QStringLiteral("Illegal function use: riga(1) - number of arguments is more than maximum allowed")},
        {R"(\\UPPER(persona\\)", QStringLiteral("Brackets balance violation in function UPPER(persona")},
        {R"(\\FNUM(1))\\)", QStringLiteral("Brackets balance violation in format function FNUM(1))")},
        {R"(\\scan(A, while(1)\\\\endscan\\)", QStringLiteral("Brackets balance violation in function scan(A, while(1)")},
        {R"(\\Pippo(1)\\)", QStringLiteral("Function not found: Pippo")},
        {R"(\\UPPER(FNUM(1))\\)", QStringLiteral("Illegal format function use: FNUM(1) - una funzione di formato vale per tutto il marcatore e non può stare dentro un'espressione")},
        {R"(\\SUM(1, t)\\)", QStringLiteral("Illegal function use: SUM(1, t) - le funzioni SUM, CTN, CTS e VAR si scrivono solo nel comando scan")},
        {R"(\\scan(A, SUM(A:Importo, 3))\\\\endscan\\)", QStringLiteral("Illegal function use: SUM(A:Importo, 3) - il secondo argomento deve essere il nome della variabile del risultato")},
        {R"(\\EOF(persona)\\)", QStringLiteral("Illegal function use: EOF(persona) - l'argomento deve essere l'alias di un dataset (una lettera da A a Z)")},
        {R"(\\1 / 0\\)", QStringLiteral("Divisione per zero nell'espressione 1 / 0")},
        {R"(Gentile \\persona, saluti)", QStringLiteral("Marcatore non chiuso: \"\\persona, saluti\" (manca la barra rovesciata di chiusura prima della fine del paragrafo)")},
        {R"(\\if(x > )\\\\endif\\)", QStringLiteral("Errore di sintassi nell'espressione \"if(x > )\": testo inatteso \")\"")},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        TUDF riga;
        riga.Name = QStringLiteral("riga");
        r.UDFList1.add(riga);
        MemoryRecordSource a = quotas(2);
        EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(c.body), {&a}); }), c.message) << c.body.constData();
    }
}

TEST(UserFunctions, ResultsAndBooleansAsTrueValueAndFalseValue)
{
    TRtfReport r;
    r.TrueValue = QStringLiteral("Sì");
    r.FalseValue = QStringLiteral("No");
    TUDF pari;
    pari.Name = QStringLiteral("Pari");
    pari.ArgMinCount = 1;
    pari.ArgMaxCount = 1;
    pari.OnCalculate = [](const QVector<TReportVariable>& args, TReportVariable& res) {
        res.setBool(qint64(args[0].toNumber()) % 2 == 0);
    };
    r.UDFList1.add(pari);
    TUDF saluto;
    saluto.Name = QStringLiteral("saluto");
    saluto.ArgMaxCount = 2;
    saluto.OnCalculate = [](const QVector<TReportVariable>& args, TReportVariable& res) {
        res.setText(QStringLiteral("ciao ") + (args.isEmpty() ? QString() : args[0].toText()));
    };
    r.UDFList1.add(saluto);
    EXPECT_EQ(mergeText(r, R"(\\pari(4)\\ \\PARI(3)\\ \\saluto()\\|\\saluto("a" + "b")\\ \\if(pari(2))\\ok\\endif\\)"),
              QString::fromUtf8("Sì No ciao |ciao ab ok"));
}

TEST(Values, AnyTextRoundTripsAndCannotInjectRtf)
{
    const QString values[] = {
        QStringLiteral("C:\\Documenti\\{bozza}"),
        QString::fromUtf8("Città: Forlì, caffè, perché, € 12,50, «citazione»"),
        QStringLiteral("}\\par}{\\rtf1 {\\b iniettato"),
        QStringLiteral("\\\\persona\\\\"),
        QString::fromUtf8("prima riga\nseconda riga"),
    };
    const QByteArray body = R"(Valore: {\b \\}{\b0 valore\\}. Persona: \\persona\\.)";
    for (const QString& v : values) {
        TRtfReport r;
        r.AddVariable(QStringLiteral("valore"), v);
        r.AddVariable(QStringLiteral("persona"), QStringLiteral("P"));
        const QByteArray out = merge(r, wordDocument(body));
        EXPECT_EQ(visible(out), QStringLiteral("Valore: ") + v + QStringLiteral(". Persona: P.")) << v.toStdString();
        // Exactly the groups of the template, plus the one around wide characters.
        const int wide = out.count("{\\uc1 ");
        EXPECT_EQ(out.count('{') - out.count("\\{") - wide, wordDocument(body).count('{') - wordDocument(body).count("\\{"));
    }
}

TEST(Values, TemplateTextInCodePageAndUnicodeStaysIntact)
{
    TRtfReport r;
    r.AddVariable(QStringLiteral("citta"), QString::fromUtf8("Forlì"));
    const QString text = mergeText(r, R"(Citt\'e0 di \\citta\\, \u232?ora \'80 5)");
    EXPECT_EQ(text, QString::fromUtf8("Città di Forlì, èora € 5"));
}

TEST(MergeFiles, WritesOnlyOnSuccessAndLeavesEarlierOutputOtherwise)
{
    TempDir dir;
    const QString out = dir.file("Ricevuta n.1.rtf");
    writeFile(out, "precedente");
    TRtfReport r;
    r.SetOutFile(out);

    struct Case {
        QByteArray templ;
        QString message;
    } cases[] = {
        {"Hello, not RTF", QStringLiteral("Template is not RTF file.")},
        {"{\\rtf1 testo troncato {\\b grassetto", QStringLiteral("Il modello non è un file RTF valido: 2 gruppi non chiusi: il file è troncato o le parentesi graffe non sono bilanciate")},
        {"{\\rtf1 testo}}", QStringLiteral("Il modello non è un file RTF valido: parentesi graffa chiusa senza apertura (posizione 13)")},
        {"{\\rtf1 \\\\persona}", QStringLiteral("Marcatore non chiuso: \"\\persona\" (manca la barra rovesciata di chiusura prima della fine del documento)")},
    };
    for (const Case& c : cases) {
        writeFile(dir.file("modello.rtf"), c.templ);
        r.SetInFile(dir.file("modello.rtf"));
        EXPECT_EQ(errorOf([&] { r.Merge(); }), c.message);
        EXPECT_EQ(readFile(out), QByteArray("precedente"));
    }
    r.SetInFile(dir.file("manca.rtf"));
    EXPECT_EQ(errorOf([&] { r.Merge(); }), QStringLiteral("Can't read report template from file: ") + dir.file("manca.rtf"));

    writeFile(dir.file("modello.rtf"), wordDocument(R"(Ricevo da \\persona\\)"));
    r.SetInFile(dir.file("modello.rtf"));
    r.AddVariable(QStringLiteral("persona"), QStringLiteral("Mario"));
    r.Merge();
    EXPECT_EQ(visible(readFile(out)), QStringLiteral("Ricevo da Mario"));
    // No temporary files left beside the document.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    // A failing merge creates no document where there was none.
    writeFile(dir.file("modello.rtf"), "{\\rtf1 {\\b troncato");
    r.SetOutFile(dir.file("nuovo.rtf"));
    EXPECT_FALSE(errorOf([&] { r.Merge(); }).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.file("nuovo.rtf")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    // A folder that does not exist is reported, not taken for success.
    writeFile(dir.file("modello.rtf"), wordDocument("x"));
    r.SetOutFile(dir.file("manca/documento.rtf"));
    EXPECT_TRUE(errorOf([&] { r.Merge(); }).startsWith(QStringLiteral("Impossibile scrivere il documento ") + dir.file("manca/documento.rtf")));
}

TEST(MergeFiles, MergeAndOpenAsksTheShellAndReportsItsFailure)
{
    TempDir dir;
    writeFile(dir.file("modello.rtf"), wordDocument("avviso"));
    velcaris::platform::RecordingShell shell;
    TRtfReport r(&shell);
    r.SetInFile(dir.file("modello.rtf"));
    r.SetOutFile(dir.file("avviso.rtf"));
    r.MergeAndOpen({}, 5);
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].verb, QStringLiteral("open"));
    EXPECT_EQ(shell.calls()[0].path, dir.file("avviso.rtf"));

    shell.failWith(velcaris::platform::shellResultText(31));
    EXPECT_EQ(errorOf([&] { r.MergeAndOpen(); }),
              QStringLiteral("Failed to open report results. Error message: There is no application associated with the given filename extension."));
}

TEST(Errors, DeepNestingIsRefusedNotACrash)
{
    TRtfReport r;
    QByteArray ifs;
    for (int i = 0; i < 600; ++i)
        ifs += R"(\\if(1)\\)";
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(ifs)); }),
              QStringLiteral("Troppi blocchi annidati (più di 500) al marcatore if(1)"));
    const QByteArray brackets = "\\\\UPPER" + QByteArray(5000, '(') + "1" + QByteArray(5000, ')') + "\\\\";
    EXPECT_TRUE(errorOf([&] { r.MergeBytes(wordDocument(brackets)); }).contains(QStringLiteral("troppi livelli di parentesi")));
    const QByteArray nots = "\\\\" + QByteArray(5000, '!') + "1\\\\";
    EXPECT_EQ(merge(r, wordDocument(nots)), wordDocument(nots)); // not a call: kept as text
}

TEST(MergeFiles, ControlsAreReattachedAlsoWhenTheMergeFails)
{
    TempDir dir;
    MemoryRecordSource a = quotas(2);
    TRtfReport r;
    QStringList log;
    r.DetachControls = [&](const QVector<RecordSource*>& ds) { log << QStringLiteral("detach %1").arg(ds.size()); };
    r.AttachControls = [&](const QVector<RecordSource*>& ds) { log << QStringLiteral("attach %1").arg(ds.size()); };
    r.SetOutFile(dir.file("out.rtf"));
    writeFile(dir.file("ok.rtf"), wordDocument(R"(\\scan(A)\\\\A:Nome\\\\endscan\\)"));
    writeFile(dir.file("bad.rtf"), wordDocument(R"(\\scan(A)\\)"));
    r.SetInFile(dir.file("ok.rtf"));
    r.Merge({&a});
    r.SetInFile(dir.file("bad.rtf"));
    EXPECT_FALSE(errorOf([&] { r.Merge({&a}); }).isEmpty());
    r.DisableControls = false;
    r.SetInFile(dir.file("ok.rtf"));
    r.Merge({&a});
    EXPECT_EQ(log, (QStringList{"detach 1", "attach 1", "detach 1", "attach 1"}));
}

TEST(Markers, AccentedNamesInLibreOfficeEscapes)
{
    TRtfReport r;
    r.AddVariable(QString::fromUtf8("città"), QStringLiteral("Cesena"));
    // LibreOffice writes \uN followed by the code-page fallback \'xx.
    EXPECT_EQ(mergeText(r, R"({\rtlch\af0 \ltrch\loch \\citt\u224\'e0\\})"), QStringLiteral("Cesena"));
}

TEST(Scan, AThousandRowsInWordRunsStayBalanced)
{
    MemoryRecordSource a = quotas(1000);
    TRtfReport r;
    const QByteArray body = splitRuns(QStringLiteral("\\scan(A)\\")) + "\\par " + splitRuns(QStringLiteral("\\A:Nome\\"))
                          + "{\\rtlch \\b \\\\FFIX(A:Importo)\\\\}\\par " + splitRuns(QStringLiteral("\\endscan\\")) + "\\par fine";
    const QStringList lines = mergeText(r, body, {&a}).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 1001);
    EXPECT_EQ(lines[0], QStringLiteral("Rata 110.00"));
    EXPECT_EQ(lines[999], QStringLiteral("Rata 100010000.00"));
    EXPECT_EQ(lines[1000], QStringLiteral("fine"));
}

namespace {

// The group depth at which each visible occurrence of `word` stands in `rtf`.
std::vector<int> depthsOf(const QByteArray& rtf, const QString& word)
{
    const rtf::Document doc = rtf::parse(rtf);
    std::vector<int> out;
    QString text;
    std::vector<int> depthAt;
    int d = 0;
    for (const rtf::Token& t : doc.tokens) {
        if (t.kind == rtf::Tok::Open) ++d;
        else if (t.kind == rtf::Tok::Close) --d;
        else if (t.kind == rtf::Tok::Char) {
            text.append(QChar(t.ch));
            depthAt.push_back(d);
        }
    }
    for (int i = int(text.indexOf(word)); i >= 0; i = int(text.indexOf(word, i + 1)))
        out.push_back(depthAt[size_t(i)]);
    return out;
}

} // namespace

TEST(Scan, RepetitionsAreSiblingsNotNestedInTheGroupsLeftOpen)
{
    struct Case {
        const char* name;
        QByteArray body;
        QByteArray contains; // a piece of the output showing each repetition's own formatting
    } cases[] = {
        {"part opens a group it leaves to the end marker", R"(\\scan(A)\\\\A:Nome\\ {\b \\endscan\\} dopo)",
         R"(Rata 1 {\b }Rata 2 {\b }Rata 3 {\b } dopo)"},
        {"part closes a group opened before the scan", R"({\i \\scan(A)\\\\A:Nome\\} y \\endscan\\)",
         R"({\i Rata 1} y {\i Rata 2} y {\i Rata 3} y )"},
        {"two groups left open", R"(\\scan(A)\\\\A:Nome\\{\b {\i \\endscan\\}})",
         R"(Rata 1{\b {\i }}Rata 2{\b {\i }}Rata 3{\b {\i }})"},
        {"Word runs: closes one, opens one", R"({\rtlch \\scan(A)\\}{\b \\A:Nome\\}{\rtlch \\endscan\\})",
         R"(}{\b Rata 1}{\rtlch }{\b Rata 2}{\rtlch }{\b Rata 3}{\rtlch })"},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        MemoryRecordSource a = quotas(3);
        const QByteArray out = merge(r, wordDocument(c.body), {&a});
        EXPECT_TRUE(out.contains(c.contains)) << c.name << "\n" << out.constData();
        const std::vector<int> d = depthsOf(out, QStringLiteral("Rata"));
        ASSERT_EQ(d.size(), 3u) << c.name;
        EXPECT_EQ(d[1], d[0]) << c.name;
        EXPECT_EQ(d[2], d[0]) << c.name;
    }
}

namespace {

// A table row as LibreOffice writes it: the row definition, then each cell's paragraph.
QByteArray libreOfficeRow(const QByteArray& cell1, const QByteArray& cell2)
{
    return "\\trowd\\trql\\ltrrow\\trpaddft3\\trpaddt0\\clbrdrt\\brdrdb\\brdrw5\\clvertalc\\cellx2311"
           "\\clbrdrt\\brdrdb\\brdrw5\\clvertalc\\cellx4982"
           "\\pard\\plain \\s20\\loch\\sb0\\sa283\\intbl\\ql\\sb0\\sa283\\ltrpar{\\loch\n"
           + cell1 + "}\\cell\\pard\\plain \\s20\\loch\\sb0\\sa283\\intbl\\ql\\sb0\\sa283\\ltrpar{\\loch\n"
           + cell2 + "}\\cell\\row\\pard ";
}

// A table row as Word writes it: the definition before the cells and again before \row.
QByteArray wordRow(const QByteArray& cell1, const QByteArray& cell2)
{
    const QByteArray def = "\\trowd \\irow1\\irowband1\\ltrrow\\ts11\\trgaph108\\trleft-108 \\cellx3000\\cellx6000";
    return def + "\r\n\\pard\\plain \\ltrpar\\ql \\intbl {\\rtlch\\fcs1 " + cell1 + "}\\cell {\\rtlch\\fcs1 " + cell2
         + "}\\cell \r\n\\pard\\plain \\ltrpar\\ql \\intbl {\\rtlch\\fcs1 " + def + "\\row }\r\n";
}

} // namespace

TEST(Scan, MarkersInTheFirstAndLastCellRepeatTheWholeTableRow)
{
    struct Case {
        const char* name;
        QByteArray table;
    } cases[] = {
        {"LibreOffice", libreOfficeRow("Quota", "Importo") + libreOfficeRow(R"(\\scan(A)\\\\A:Nome\\)", R"(\\FFIX(A:Importo)\\\\endscan\\)")},
        {"Word", wordRow("Quota", "Importo") + wordRow(R"(\\scan(A)\\\\A:Nome\\)", R"(\\FFIX(A:Importo)\\\\endscan\\)")},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        MemoryRecordSource a = quotas(3);
        const QByteArray out = merge(r, wordDocument("Elenco\\par " + c.table + "Fine"), {&a});
        // The header and one row per quota, each with the two cells its definition gives.
        EXPECT_EQ(out.count("\\row"), 4) << c.name;
        EXPECT_EQ(out.count("\\cell\\") + out.count("\\cell "), 8) << c.name;
        EXPECT_EQ(visible(out), QStringLiteral("Elenco\nQuota\nImporto\n\nRata 1\n10.00\n\nRata 2\n20.00\n\n"
                                               "Rata 3\n30.00\n\nFine")) << c.name << "\n" << out.constData();
        MemoryRecordSource none = quotas(0);
        const QByteArray empty = merge(r, wordDocument("Elenco\\par " + c.table + "Fine"), {&none});
        EXPECT_EQ(empty.count("\\row"), 1) << c.name;
        EXPECT_EQ(visible(empty), QStringLiteral("Elenco\nQuota\nImporto\n\nFine")) << c.name;
    }
}

TEST(Markers, FoundUnderEveryUnicodeSkipCount)
{
    struct Case {
        const char* name;
        QByteArray marker;
    } cases[] = {
        {"uc0: no fallback", R"({\uc0 \\citt\u224\\})"},
        {"uc1 with a code-page fallback", R"({\uc1 \\citt\u224\'e0\\})"},
        {"uc2 with two fallbacks", R"({\uc2 \\citt\u224\'e0\'e0\\})"},
        {"uc2, fallbacks as letters", R"({\uc2 \\citt\u224 aa\\})"},
        {"uc0 in a group split across runs", R"({\uc0 {\b \\cit}{\i t\u224}{\\}})"},
    };
    for (const Case& c : cases) {
        TRtfReport r;
        r.AddVariable(QString::fromUtf8("città"), QString::fromUtf8("Forlì"));
        const QByteArray out = merge(r, wordDocument("a " + c.marker + " b"));
        EXPECT_EQ(visible(out), QString::fromUtf8("a Forlì b")) << c.name << "\n" << out.constData();
    }
    // A value with accents written where the template skips two characters per \u.
    TRtfReport r;
    r.AddVariable(QStringLiteral("x"), QString::fromUtf8("perché"));
    EXPECT_EQ(visible(merge(r, wordDocument(R"({\uc2 \\x\\ caff\u232\'e8\'e8})"))), QString::fromUtf8("perché caffè"));
}

TEST(Markers, ALetterSavedByLibreOffice)
{
    // The shape of a plain-text letter converted to RTF by LibreOffice: every paragraph a
    // {\loch ...} run opened after a line end, accents as \uN\'xx.
    const QByteArray para = "\\pard\\plain \\s20\\rtlch\\af5\\afs20 \\ltrch\\hich\\af5\\loch\\sb0\\sa0\\f5\\fs20\\dbch\\af5\\ql\\sb0\\sa0\\ltrpar{\\loch\n";
    const QByteArray templ =
        "{\\rtf1\\ansi\\deff3\\adeflang1025\n{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f5\\fmodern\\fprq1\\fcharset0 DejaVu Sans Mono;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;}\n{\\stylesheet{\\s0\\snext0 Normal;}\n}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
        "{\\info{\\creatim\\yr0\\mo0\\dy0\\hr0\\min0}}{\\*\\userprops}\\deftab709\n"
        "{\\*\\pgdsctbl\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
        "\\formshade\\paperh16838\\paperw11906\\sectd\\sbknone\\pgndec\n{\\*\\ftnsep\\chftnsep}\\pgndec"
        + para + "Gentile \\\\persona\\\\, citt\\u224\\'e0 \\\\citt\\u224\\'e0\\\\}\n\\par "
        + para + "Totale \\\\FFIX(totale)\\\\ euro}\n\\par "
        + para + "\\\\scan(A)\\\\}\n\\par "
        + para + "\\\\A:Nome\\\\ - \\\\A:Importo\\\\}\n\\par "
        + para + "\\\\endscan\\\\}\n\\par "
        + para + "Fine}\n\\par }";
    TRtfReport r;
    r.AddVariable(QStringLiteral("persona"), QStringLiteral("Mario Rossi"));
    r.AddVariable(QString::fromUtf8("città"), QString::fromUtf8("Forlì"));
    r.AddVariable(QStringLiteral("totale"), QStringLiteral("12.5"));
    MemoryRecordSource a = quotas(2);
    const QByteArray out = merge(r, templ, {&a});
    EXPECT_EQ(rtf::plainText(out), QString::fromUtf8("Gentile Mario Rossi, città Forlì\nTotale 12.50 euro\n"
                                                     "Rata 1 - 10\nRata 2 - 20\nFine\n"));
    const std::vector<int> d = depthsOf(out, QStringLiteral("Rata"));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], d[1]);
}
