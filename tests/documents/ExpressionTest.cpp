#include "TemplateHelpers.h"
#include "support/TempDir.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::documents;
using namespace velcaris::test;

namespace {

struct Case {
    const char* expr;
    QString expected;
};

// The text a marker holding `expr` is replaced with.
QString value(TRtfReport& r, const QString& expr, const QVector<RecordSource*>& ds = {})
{
    return mergeText(r, "[\\\\" + rtf::escapeText(expr) + "\\\\]", ds).chopped(1).mid(1);
}

void run(TRtfReport& r, const Case* cases, size_t n, const QVector<RecordSource*>& ds = {})
{
    for (size_t i = 0; i < n; ++i)
        EXPECT_EQ(value(r, QString::fromUtf8(cases[i].expr), ds), cases[i].expected) << cases[i].expr;
}

void addVariables(TRtfReport& r)
{
    r.AddVariable(QStringLiteral("totale"), QStringLiteral("12.50"));
    r.AddVariable(QStringLiteral("persona"), QStringLiteral("Mario Rossi"));
    r.AddVariable(QStringLiteral("data"), QStringLiteral("07/03/2024"));
}

} // namespace

TEST(Expressions, OperatorsPrecedenceAndLiterals)
{
    const Case cases[] = {
        {"1 + 2 * 3", "7"}, {"(1 + 2) * 3", "9"}, {"7 % 3", "1"}, {"10 / 4", "2.5"}, {"2 - 3 - 4", "-5"},
        {"-3 + +1", "-2"}, {"!(1 = 1)", "False"}, {"2 <> 3", "True"}, {"2 != 2", "False"},
        {"3 => 3", "True"}, {"3 >= 4", "False"}, {"2 <= 1", "False"}, {"1 < 2 && 2 < 3", "True"},
        {"1 > 2 || 0", "False"}, {"TRUE && !FALSE", "True"}, {"1 + 2 = 3", "True"},
        {"totale + 1", "13.5"}, {"totale * 2 > 24", "True"}, {"persona + '!'", "Mario Rossi!"},
        {"'D''Angelo'", "D'Angelo"}, {"\"a\" + \"b\"", "ab"}, {"“tipografiche”", "tipografiche"},
        {"persona = 'Mario Rossi'", "True"}, {"'abc' < 'abd'", "True"},
        {"{2024-03-01} - {2024-02-01}", "29"}, {"{2024-02-28} + 2", "01/03/2024"},
        {"{2024-03-07} = data", "True"}, {"{2024-03-07} > {2023-12-31}", "True"}, {"1.5e2", "150"},
    };
    TRtfReport r;
    addVariables(r);
    run(r, cases, std::size(cases));
    // Assignment prints nothing and sets a variable for the rest of the merge.
    EXPECT_EQ(mergeText(r, R"(\\x := 2 + 3\\[\\x * 2\\])"), QStringLiteral("[10]"));
    EXPECT_EQ(errorOf([&] { value(r, QStringLiteral("IIF(TRUE, {2024-13-01}, 0)")); }),
              QStringLiteral("Data non valida: {2024-13-01} nell'espressione \"IIF(TRUE, {2024-13-01}, 0)\" (scrivere {aaaa-mm-gg})"));
    // Braces in ordinary text between backslashes are no date: the text stays.
    EXPECT_EQ(value(r, QStringLiteral("nota {vedi sotto}")), QStringLiteral("\\nota {vedi sotto}\\"));
    // A variable set during the merge hides a program variable of the same name.
    EXPECT_EQ(mergeText(r, R"(\\SET(persona, 'Anna')\\[\\persona\\])"), QStringLiteral("[Anna]"));
    EXPECT_EQ(errorOf([&] { value(r, QStringLiteral("persona - 1")); }),
              QStringLiteral("Valore non numerico \"Mario Rossi\" in persona - 1"));
}

TEST(Expressions, TextAndNumberFunctions)
{
    const Case cases[] = {
        {"TRIM('  a b  ')", "a b"}, {"MID('abcdef', 2, 3)", "bcd"}, {"substr('abcdef', 3)", "cdef"},
        {"COPY('abc', 0, 2)", "ab"}, {"MID('abc', 5)", ""}, {"UPPER('perché')", "PERCHÉ"},
        {"lower(persona)", "mario rossi"}, {"STR(3.14159, 8, 2)", "    3.14"}, {"STR(5)", "5"},
        {"VAL('12.5') + 1", "13.5"}, {"VAL('x')", "0"}, {"POS('Ros', persona)", "7"}, {"POS('z', 'ab')", "0"},
        {"INT(-3.7)", "-3"}, {"FRAC(3.25)", "0.25"}, {"ROUND(2.345, 2)", "2.35"}, {"ROUND(-2.5)", "-3"},
        {"ROUND(1.005, 2)", "1.01"}, {"IIF(1 > 2, 'a', 'b')", "b"}, {"POWER(2, 10)", "1024"},
        {"INTPOWER(2, 3.9)", "8"}, {"FORMATFLOAT('#,##0.00', 1234567.891)", "1,234,567.89"},
        {"FORMATFLOAT('0.###', 2.5)", "2.5"}, {"FORMATFLOAT('000', 7)", "007"},
        {"FORMATFLOAT('€ 0.00', -0.004)", "€ 0.00"}, {"IIF(IF(0), 'v', 'f')", "f"}, {"IIF(WHILE(1), 'v', 'f')", "v"},
    };
    TRtfReport r;
    addVariables(r);
    run(r, cases, std::size(cases));
    EXPECT_EQ(mergeText(r, R"(\\SET(y, 'uno')\\[\\y\\])"), QStringLiteral("[uno]"));
}

TEST(Expressions, DateFunctions)
{
    const Case cases[] = {
        {"DATETOSTR({2024-03-07})", "07/03/2024"}, {"YEAR(data)", "2024"}, {"MONTH(data)", "3"},
        {"DAY({2024-03-07})", "7"}, {"SYEAR(data)", "2024"}, {"SMONTH(data)", "03"}, {"SDAY(data)", "07"},
        {"DTOS(data)", "20240307"}, {"DATETOSTR(STOD('20241231'))", "31/12/2024"},
        {"DATETOSTR(STRTODATE('07/03/2024') + 1)", "08/03/2024"}, {"TIMETOSTR(STRTOTIME('9:05'))", "09:05:00"},
        {"DATETIMETOSTR(STRTODATETIME('2024-03-07 10:11:12'))", "07/03/2024 10:11:12"},
        {"YEAR(DATE()) = YEAR(NOW())", "True"}, {"STRTOTIME('9:05')", "09:05:00"}, {"STRTODATE('2024-03-07') = data", "True"},
    };
    TRtfReport r;
    addVariables(r);
    run(r, cases, std::size(cases));
    EXPECT_EQ(value(r, QStringLiteral("DATETOSTR(DATE())")), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(errorOf([&] { value(r, QStringLiteral("STRTODATE('31/02/2024')")); }),
              QStringLiteral("Data non valida \"31/02/2024\" in STRTODATE('31/02/2024')"));
}

TEST(Expressions, DatasetFunctionsMoveTheCurrentRow)
{
    MemoryRecordSource a({"Nome"}, {{QStringLiteral("uno")}, {QStringLiteral("due")}, {QStringLiteral("tre")}});
    TRtfReport r;
    const QString text = mergeText(
        r, R"(\\A:Nome\\ \\IIF(NEXT(A), A:Nome, '-')\\ \\IIF(LAST(A), A:Nome, '-')\\ \\NEXT(A)\\ \\EOF(A)\\ \\PRIOR(A)\\\\A:Nome\\ \\FIRST(A)\\\\BOF(A)\\ \\PRIOR(A)\\\\BOF(A)\\)",
        {&a});
    EXPECT_EQ(text, QStringLiteral("uno due tre False True Truetre TrueFalse FalseTrue"));
}

TEST(Expressions, FormatFunctionsApplyToTheWholeMarker)
{
    const Case cases[] = {
        {"FFIX(12.5)", "12.50"}, {"FFIX(totale, 1)", "12.5"}, {"FFIX(-0.001)", "0.00"}, {"FNUM(1234567.5)", "1,234,567.50"},
        {"FNUM(-1234.567, 1)", "-1,234.6"}, {"FCUR(1234.5)", "€ 1,234.50"}, {"FFIXR(0)", ""}, {"FNUMR(0.001)", ""},
        {"FFIXR(3)", "3.00"}, {"FEXP(12345, 2)", "1.23E+04"}, {"FDTM('dd/mm/yyyy hh:nn', STRTODATETIME('2024-03-07 09:05:00'))", "07/03/2024 09:05"},
        {"FDTM('d mmmm yyyy', {2024-03-07})", "7 marzo 2024"}, {"FDTM(data, 'dd.mm.yyyy')", "07.03.2024"},
        {"FDTM('dddd', {2024-03-07})", "giovedì"}, {"FDTM('hh:nn', STRTOTIME('9:05'))", "09:05"}, {"FBOOL(1)", "Sì"}, {"FBOOL('')", "No"},
        {"NOFORMAT(TRUE)", "True"}, {"NOFORMAT({2024-03-07})", "2024-03-07T00:00:00"}, {"NOFORMAT(persona)", "Mario Rossi"},
        {"FRTF(grassetto)", "grassetto"}, {"FLNK('https://esempio.it/a?b=1')", "https://esempio.it/a?b=1"},
        // The Italian form of letters: numbers, numeric text, and the decimal numbers inside a sentence.
        {"FEUR(1094.16)", "€ 1.094,16"}, {"FEUR(totale)", "€ 12,50"}, {"FITA(1000, 3)", "1.000,000"},
        {"FITA(-1234567.891)", "-1.234.567,89"}, {"FITA(-0.001)", "0,00"}, {"FITA(persona)", "Mario Rossi"},
        {"FITA('1000.000 millesimi del 15.06.2024, margine +12.50.')", "1.000,000 millesimi del 15.06.2024, margine +12,50."},
    };
    TRtfReport r;
    addVariables(r);
    r.TrueValue = QString::fromUtf8("Sì");
    r.FalseValue = QStringLiteral("No");
    // RTF of a value's own comes from variables: a marker cannot hold a backslash.
    r.AddVariable(QStringLiteral("grassetto"), QStringLiteral("{\\b grassetto}"));
    r.AddVariable(QStringLiteral("frammento"), QStringLiteral("{\\b x}\\par y"));
    r.AddVariable(QStringLiteral("rotto"), QStringLiteral("}\\par"));
    run(r, cases, std::size(cases));

    const QByteArray bold = merge(r, wordDocument(R"(\\FRTF(frammento)\\)"));
    EXPECT_TRUE(bold.contains("{{\\b x}\\par y}")) << bold.constData();
    const QByteArray link = merge(r, wordDocument(R"(\\FLNK('http://a.it')\\)"));
    EXPECT_TRUE(link.contains("{\\field{\\*\\fldinst HYPERLINK \"http://a.it\"}{\\fldrslt http://a.it}}"));
    // A fragment that would close the document's groups is refused.
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(R"(\\FRTF(rotto)\\)")); }),
              QStringLiteral("Il valore di FRTF(rotto) non è un frammento RTF valido"));
    EXPECT_EQ(errorOf([&] { value(r, QStringLiteral("FFIX(persona)")); }),
              QStringLiteral("Valore non numerico \"Mario Rossi\" in FFIX(persona)"));

    r.Options |= moNumericFormatClearZero;
    EXPECT_EQ(value(r, QStringLiteral("FNUM(0)")), QString());
    EXPECT_EQ(value(r, QStringLiteral("FEUR(0)")), QString());
}

TEST(Expressions, PicturesAreEmbeddedAsBinaryData)
{
    TempDir dir;
    // The smallest PNG header the engine reads: signature and IHDR with 3 x 2 pixels.
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x03\0\0\0\x02\x08\x02\0\0\0", 29);
    png += QByteArray("{}\\ binary \x00\xff", 14);
    QFile f(dir.file("logo.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(png);
    f.close();
    TRtfReport r;
    r.AddVariable(QStringLiteral("logo"), dir.file("logo.png"));
    const QByteArray out = merge(r, wordDocument(R"(prima \\FIMG(logo, 50)\\ dopo)"));
    EXPECT_TRUE(out.contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30\\picscalex50\\picscaley50\\bin43 "));
    EXPECT_TRUE(out.contains(png));
    EXPECT_EQ(visible(out), QStringLiteral("prima  dopo"));
    r.Options &= ~moGraphicsBinary;
    const QByteArray hex = merge(r, wordDocument(R"(\\FIMG(logo)\\)"));
    EXPECT_TRUE(hex.contains("\\picscaley100 " + png.toHex() + "}"));
    EXPECT_EQ(errorOf([&] { r.MergeBytes(wordDocument(R"(\\FIMG('manca.png')\\)")); }),
              QStringLiteral("Immagine non trovata: manca.png in FIMG('manca.png')"));
}
