#include "faq/FaqBrowser.h"
#include "faq/FaqSeed.h"
#include "faq/KnowledgeBase.h"
#include "store/Schema.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using faq::FaqEntry;
using faq::KnowledgeBase;

namespace {

class Faq : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("FAQ.db");
        store::Database db;
        store::openDatabase(db, path, store::DatabaseKind::Faq);
        // A base of the user's own: the built-in entries must stay out of it.
        db.exec("INSERT INTO Capitoli (Capitolo) VALUES ('Quote'), ('Città')");
        db.exec("INSERT INTO FAQ (Capitolo, Titolo, Domanda, Risposta) VALUES "
                "('Quote', 'Come si crea una quota', 'Come?', 'Con la ripartizione'), "
                "('Quote', 'Stampa della QUOTA', 'Dove?', 'Dal registro'), "
                "('Città', 'Perché è così?', 'La CITTÀ è lontana?', 'No: 100% vicina')");
        db.close();
        base.open(path);
    }
    static QStringList titles(const QVector<FaqEntry>& entries)
    {
        QStringList out;
        for (const FaqEntry& e : entries)
            out << e.titolo;
        return out;
    }
    test::TempDir dir;
    QString path;
    KnowledgeBase base;
};

} // namespace

TEST_F(Faq, ChaptersAndTitlesInStoredOrderAndTheUsersFileIsNotSeeded)
{
    EXPECT_EQ(base.chapters(), QStringList({"Quote", "Città"}));
    EXPECT_EQ(base.titlesOf("Quote"), QStringList({"Come si crea una quota", "Stampa della QUOTA"}));
    EXPECT_EQ(base.allEntries().size(), 3);
}

TEST_F(Faq, TitleAndTextSearchIgnoreLetterCaseAlsoOnAccentedLetters)
{
    EXPECT_EQ(titles(base.searchTitles("quota")), QStringList({"Come si crea una quota", "Stampa della QUOTA"}));
    EXPECT_EQ(titles(base.searchTitles("PERCHÉ")), QStringList{"Perché è così?"});
    EXPECT_EQ(titles(base.searchTitles("perché")), QStringList{"Perché è così?"});
    EXPECT_EQ(titles(base.searchTexts("città")), QStringList{"Perché è così?"});
    EXPECT_EQ(titles(base.searchTexts("CITTÀ")), QStringList{"Perché è così?"});
    EXPECT_EQ(titles(base.searchTexts("ripartizione")), QStringList{"Come si crea una quota"}) << "answers are searched";
    EXPECT_EQ(titles(base.searchTexts("dove")), QStringList{"Stampa della QUOTA"}) << "questions are searched";
    EXPECT_TRUE(base.searchTitles("assemblea").isEmpty());
    // Typed wildcards are characters.
    EXPECT_EQ(titles(base.searchTitles("?")), QStringList{"Perché è così?"});
    EXPECT_TRUE(base.searchTitles("c*a").isEmpty());
    EXPECT_EQ(titles(base.searchTexts("100%")), QStringList{"Perché è così?"});
    // The lookup of a clicked title ignores case too, and matches the whole title.
    EXPECT_EQ(titles(base.entriesTitled("stampa della quota")), QStringList{"Stampa della QUOTA"});
    EXPECT_TRUE(base.entriesTitled("Stampa").isEmpty());
}

TEST_F(Faq, ChaptersAreUniqueAsWrittenLetterCaseIncluded)
{
    EXPECT_EQ(base.addChapter("").texts(), QStringList{faq::kEnterChapter});
    EXPECT_EQ(base.addChapter("Quote").texts(), QStringList{faq::kChapterExists});
    EXPECT_TRUE(base.addChapter("quote").done);
    EXPECT_TRUE(base.addChapter("Stampe").done);
    EXPECT_EQ(base.addChapter("Stampe").texts(), QStringList{faq::kChapterExists});
    EXPECT_EQ(base.chapters(), QStringList({"Quote", "Città", "quote", "Stampe"}));
}

TEST_F(Faq, AnEntryNeedsChapterTitleQuestionAndAnswerInThatOrder)
{
    FaqEntry e;
    EXPECT_EQ(base.addEntry(e).texts(), QStringList{faq::kEnterChapter});
    e.capitolo = "Quote";
    EXPECT_EQ(base.addEntry(e).texts(), QStringList{faq::kEnterTitle});
    e.titolo = "Nuova";
    EXPECT_EQ(base.addEntry(e).texts(), QStringList{faq::kEnterQuestion});
    e.domanda = "D?";
    EXPECT_EQ(base.addEntry(e).texts(), QStringList{faq::kEnterAnswer});
    e.risposta = "R.";
    ASSERT_TRUE(base.addEntry(e).done);
    EXPECT_EQ(base.titlesOf("Quote").last(), "Nuova");
    EXPECT_EQ(base.entriesTitled("Nuova").value(0), e);
}

TEST(FaqSeed, AFreshBaseGetsTheBuiltInEntriesOnceAndAMissingFileIsAnError)
{
    test::TempDir dir;
    const QString path = dir.file("FAQ.db");
    KnowledgeBase base;
    EXPECT_THROW(base.open(path), store::StoreError);
    EXPECT_FALSE(QFile::exists(path)) << "a missing file is not made here";

    { store::Database db; store::openDatabase(db, path, store::DatabaseKind::Faq); }
    base.open(path);
    const faq::Seed seed = faq::builtInSeed();
    ASSERT_GE(seed.entries.size(), 12);
    EXPECT_EQ(base.chapters(), seed.chapters);
    EXPECT_EQ(base.allEntries(), seed.entries);
    for (const FaqEntry& e : seed.entries) {
        EXPECT_TRUE(seed.chapters.contains(e.capitolo)) << e.titolo.toStdString();
        EXPECT_FALSE(e.domanda.isEmpty() || e.risposta.isEmpty()) << e.titolo.toStdString();
    }
    EXPECT_FALSE(base.searchTitles("ricevuta").isEmpty());
    EXPECT_FALSE(base.searchTexts("ritenuta").isEmpty());
    EXPECT_FALSE(base.searchTexts("Condomini.bak").isEmpty());
    base.close();
    base.open(path);
    EXPECT_EQ(base.allEntries().size(), seed.entries.size()) << "seeded once";
}

TEST(FaqSeed, ABrokenSeedTextIsAnError)
{
    EXPECT_THROW(faq::parseSeed("{ non json"), store::StoreError);
}

TEST(FaqBrowser, StepsStayWithinTheSetAndTheCounterShowsThePosition)
{
    faq::FaqBrowser b;
    EXPECT_EQ(b.counterText(), "1 di 0");
    EXPECT_FALSE(b.current());
    b.next();
    b.last();
    EXPECT_EQ(b.counterText(), "1 di 0");
    b.setEntries({{"c", "uno", "", ""}, {"c", "due", "", ""}, {"c", "tre", "", ""}});
    EXPECT_EQ(b.current()->titolo, "uno");
    b.prior();
    EXPECT_EQ(b.position(), 1);
    b.last();
    b.next();
    EXPECT_EQ(b.counterText(), "3 di 3");
    EXPECT_EQ(b.current()->titolo, "tre");
    b.prior();
    EXPECT_EQ(b.current()->titolo, "due");
    b.first();
    EXPECT_EQ(b.counterText(), "1 di 3");
    b.setEntries({{"c", "solo", "", ""}});
    EXPECT_EQ(b.counterText(), "1 di 1");
}
