#pragma once
// The knowledge base of questions and answers (Database/FAQ.db): chapters in stored order, the
// entries of each, title and text search, and adding chapters and entries. Nothing else in the
// program reads or writes this database.
#include "foundation/Outcome.h"
#include "store/Database.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::faq {

inline const QString kEnterWord = QStringLiteral("Inserire la parola da ricercare");
inline const QString kEnterChapter = QStringLiteral("Inserire un capitolo");
inline const QString kChapterExists = QStringLiteral("Questo capitolo già esiste pertanto non sarà inserito");
inline const QString kEnterTitle = QStringLiteral("Inserire un titolo");
inline const QString kEnterQuestion = QStringLiteral("Inserire una domanda");
inline const QString kEnterAnswer = QStringLiteral("Inserire una risposta");

struct FaqEntry {
    QString capitolo;
    QString titolo;
    QString domanda;
    QString risposta;
    bool operator==(const FaqEntry&) const = default;
};

class KnowledgeBase {
public:
    // Connects to the file; a missing or unreadable file raises StoreError. A knowledge base with
    // neither chapters nor entries is given the program's own entries first.
    void open(const QString& path);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    store::Database& database() { return db_; }

    QStringList chapters();                       // stored order
    QStringList titlesOf(const QString& chapter); // that chapter's entries, stored order
    QVector<FaqEntry> allEntries();

    // Letter case is ignored by all three; a word's "*", "?" or "%" is just a character.
    QVector<FaqEntry> entriesTitled(const QString& title);
    QVector<FaqEntry> searchTitles(const QString& word);
    QVector<FaqEntry> searchTexts(const QString& word); // question or answer

    // A new chapter; refused when the name is empty or already a chapter (letter case counts:
    // "Stampe" and "stampe" are two chapters).
    app::Outcome addChapter(const QString& name);
    // A new entry, refused at the first missing field: chapter, title, question, answer.
    app::Outcome addEntry(const FaqEntry& entry);

private:
    QVector<FaqEntry> entries(const QString& filter);

    store::Database db_;
};

} // namespace velcaris::faq
