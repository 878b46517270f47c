#include "store/Database.h"
#include "store/FilterText.h"
#include "support/ScratchDatabase.h"

#include <gtest/gtest.h>

using namespace velcaris;

namespace {

// The values of `texts` that the engine's LIKE keeps for `pattern`.
QStringList kept(const QString& pattern, const QStringList& texts)
{
    test::ScratchDatabase scratch;
    store::Database db;
    scratch.open(db);
    test::createTable(db, "CREATE TABLE t (Id INTEGER PRIMARY KEY, v TEXT)");
    for (const QString& text : texts)
        db.exec("INSERT INTO t (v) VALUES (?)", {text});
    QStringList out;
    store::Statement st(db, "SELECT v FROM t WHERE vlike(?, v) ORDER BY Id");
    st.bindAll({pattern});
    while (st.step())
        out << st.value(0).toString();
    return out;
}

} // namespace

TEST(LikePattern, WildcardsAndBracketedCharacters)
{
    const QStringList texts = {"a*b", "axb", "a?b", "a[b", "a[*]b", "ab", "A*B"};
    EXPECT_EQ(kept("a*b", texts), QStringList({"a*b", "axb", "a?b", "a[b", "a[*]b", "ab", "A*B"}));
    EXPECT_EQ(kept("a?b", texts), QStringList({"a*b", "axb", "a?b", "a[b", "A*B"}));
    EXPECT_EQ(kept("a[*]b", texts), QStringList({"a*b", "A*B"}));
    EXPECT_EQ(kept("a[?]b", texts), QStringList{"a?b"});
    EXPECT_EQ(kept("a[", texts), QStringList()) << "an unclosed bracket is a character";
    EXPECT_EQ(kept("*[*", texts), QStringList({"a[b", "a[*]b"}));
}

TEST(LikePattern, LiteralPatternsMatchExactlyTheirTextWithoutRegardToCase)
{
    const QStringList texts = {"50% [*] ok?", "50% X ok?", "50% [*] OK?", "Città", "CITTÀ", "citta"};
    for (const QString& text : {QString("50% [*] ok?"), QString("città")}) {
        const QString pattern = store::literalPattern(text);
        const QStringList hits = kept(pattern, texts);
        EXPECT_EQ(hits.size(), 2) << pattern.toStdString();
        for (const QString& hit : hits)
            EXPECT_EQ(hit.toCaseFolded(), text.toCaseFolded());
    }
    EXPECT_EQ(store::containsTerm("Nota", "l'* "), "Nota LIKE '*l''[*] *'");
    EXPECT_EQ(store::equalsIgnoringCaseTerm("Titolo", "a?"), "Titolo LIKE 'a[?]'");
    EXPECT_EQ(store::orTerms({"a=1", "", "b=2"}), "(a=1) OR (b=2)");
}
