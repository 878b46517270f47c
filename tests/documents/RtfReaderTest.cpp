#include "TemplateHelpers.h"

#include <gtest/gtest.h>

using namespace velcaris::documents;
using velcaris::test::errorOf;

TEST(RtfReader, VisibleTextDecodesEscapesAndSkipsDestinations)
{
    struct Case {
        const char* rtf;
        QString text;
    } cases[] = {
        {"{\\rtf1 Citt\\'e0 di Roma}", QString::fromUtf8("Città di Roma")},
        {"{\\rtf1\\uc1 caff\\u232?\\par tot \\u8364? 5}", QString::fromUtf8("caffè\ntot € 5")},
        {"{\\rtf1\\uc2 x\\u8364\\'80\\'80y}", QString::fromUtf8("x€y")},
        {"{\\rtf1\\uc0 a\\u233 b}", QString::fromUtf8("aéb")},
        {"{\\rtf1 \\\\ \\{ \\}}", QStringLiteral("\\ { }")},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator Writer;}A}", QStringLiteral("A")},
        {"{\\rtf1 a\\tab b\\line c\\~d\\emdash e}", QString::fromUtf8("a\tb\nc\u00A0d\u2014e")},
        {"{\\rtf1 {\\pict\\pngblip\\bin4 }{\\}}x}", QStringLiteral("x")},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}}", QStringLiteral("link")},
        {"{\\rtf1 a\r\nb}", QStringLiteral("ab")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtf::plainText(c.rtf), c.text) << c.rtf;
}

TEST(RtfReader, TokensCoverTheWholeSource)
{
    const QByteArray src = velcaris::test::wordDocument("{\\b \\\\}{\\b0 nome\\\\} \\'e0\\u8364?");
    const rtf::Document doc = rtf::parse(src);
    int at = 0;
    for (const rtf::Token& t : doc.tokens) {
        ASSERT_EQ(t.start, at);
        ASSERT_GT(t.end, t.start);
        at = t.end;
    }
    EXPECT_EQ(at, src.size());
}

TEST(RtfReader, MalformedSourcesAreRefusedInItalian)
{
    const char* cases[] = {
        "{\\rtf1 testo",                 // truncated: group not closed
        "{\\rtf1 {\\b testo}",          // one group left open
        "{\\rtf1 testo}}",              // closing brace without opening
        "{\\rtf1 testo} altro",         // text after the document
        "{\\rtf1 \\'zz}",                // broken hexadecimal escape
        "{\\rtf1 {\\pict\\bin100 abc}}", // binary data shorter than announced
        "{\\rtf1 abc\\",                 // backslash at the very end
    };
    for (const char* c : cases) {
        const QString msg = errorOf([&] { rtf::parse(c); });
        EXPECT_TRUE(msg.startsWith(QStringLiteral("Il modello non è un file RTF valido"))) << c << " -> " << msg.toStdString();
    }
}

TEST(RtfReader, EscapedTextRoundTripsAndCarriesNoControlWordOfItsOwn)
{
    const QString values[] = {
        QStringLiteral("semplice"),
        QStringLiteral("C:\\cartella\\{file}.rtf"),
        QString::fromUtf8("Città, caffè, perché: 12 €"),
        QStringLiteral("\\par}{\\rtf1 \\b injected"),
        QString::fromUtf8("riga 1\nriga 2\r\nriga 3\ttab"),
        QString::fromUtf8("emoji 😀 e cinese 中"),
    };
    for (const QString& v : values) {
        const QByteArray esc = rtf::escapeText(v);
        const QByteArray doc = "{\\rtf1\\uc3 " + esc + "}"; // a \uc of 3 around it must not matter
        QString expected = v;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(rtf::plainText(doc), expected) << v.toStdString();
        // Only the escape's own words: \line, \tab, \u, \uc.
        const rtf::Document d = rtf::parse(doc);
        for (const rtf::Token& t : d.tokens) {
            if (t.kind == rtf::Tok::Word || t.kind == rtf::Tok::Break) {
                const QByteArray w = doc.mid(t.start, t.end - t.start).trimmed();
                EXPECT_TRUE(w == "\\rtf1" || w == "\\uc3" || w == "\\uc1" || w == "\\line" || w == "\\tab") << w.constData();
            }
        }
    }
    EXPECT_EQ(rtf::escapeText(QString::fromUtf8("à")), QByteArray("{\\uc1 \\u224a}"));
    EXPECT_EQ(rtf::escapeText(QString::fromUtf8("€")), QByteArray("{\\uc1 \\u8364?}"));
}
