#include "faq/KnowledgeBase.h"

#include "faq/FaqSeed.h"
#include "store/Dataset.h"
#include "store/FilterText.h"
#include "store/Schema.h"

#include <QFileInfo>

namespace velcaris::faq {

void KnowledgeBase::open(const QString& path)
{
    close();
    // The file is made at start-up: one missing now is reported, not silently recreated empty.
    if (!QFileInfo::exists(path))
        throw store::StoreError(QStringLiteral("Impossibile aprire la base di conoscenza: il file %1 non esiste").arg(path));
    store::openDatabase(db_, path, store::DatabaseKind::Faq);
    seedIfEmpty(db_);
}

void KnowledgeBase::close()
{
    db_.close();
}

QStringList KnowledgeBase::chapters()
{
    QStringList out;
    store::Statement st(db_, QStringLiteral("SELECT Capitolo FROM Capitoli ORDER BY Id"));
    while (st.step())
        out << st.value(0).toString();
    return out;
}

QStringList KnowledgeBase::titlesOf(const QString& chapter)
{
    QStringList out;
    for (const FaqEntry& e : entries(store::equalsTerm(QStringLiteral("Capitolo"), chapter)))
        out << e.titolo;
    return out;
}

QVector<FaqEntry> KnowledgeBase::allEntries()
{
    return entries(QString());
}

QVector<FaqEntry> KnowledgeBase::entriesTitled(const QString& title)
{
    return entries(store::equalsIgnoringCaseTerm(QStringLiteral("Titolo"), title));
}

QVector<FaqEntry> KnowledgeBase::searchTitles(const QString& word)
{
    return entries(store::containsTerm(QStringLiteral("Titolo"), word));
}

QVector<FaqEntry> KnowledgeBase::searchTexts(const QString& word)
{
    return entries(store::orTerms({store::containsTerm(QStringLiteral("Domanda"), word),
                                   store::containsTerm(QStringLiteral("Risposta"), word)}));
}

QVector<FaqEntry> KnowledgeBase::entries(const QString& filter)
{
    store::Dataset faq;
    faq.setConnection(&db_);
    faq.setTableName(QStringLiteral("FAQ"));
    faq.open();
    faq.setSort(QStringLiteral("Id ASC"));
    faq.setFilter(filter);
    QVector<FaqEntry> out;
    for (int row = 0; row < faq.rowCount(); ++row) {
        out.push_back({faq.valueAt(row, QStringLiteral("Capitolo")).toString(), faq.valueAt(row, QStringLiteral("Titolo")).toString(),
                       faq.valueAt(row, QStringLiteral("Domanda")).toString(),
                       faq.valueAt(row, QStringLiteral("Risposta")).toString()});
    }
    return out;
}

app::Outcome KnowledgeBase::addChapter(const QString& name)
{
    if (name.trimmed().isEmpty())
        return app::Outcome::refused(kEnterChapter);
    // Compared as stored, letter case included.
    if (db_.scalar(QStringLiteral("SELECT COUNT(*) FROM Capitoli WHERE Capitolo = ?"), {name}).toLongLong() > 0)
        return app::Outcome::refused(kChapterExists);
    db_.exec(QStringLiteral("INSERT INTO Capitoli (Capitolo) VALUES (?)"), {name});
    return app::Outcome::accepted(db_.lastInsertId());
}

app::Outcome KnowledgeBase::addEntry(const FaqEntry& entry)
{
    if (entry.capitolo.isEmpty())
        return app::Outcome::refused(kEnterChapter);
    if (entry.titolo.trimmed().isEmpty())
        return app::Outcome::refused(kEnterTitle);
    if (entry.domanda.trimmed().isEmpty())
        return app::Outcome::refused(kEnterQuestion);
    if (entry.risposta.trimmed().isEmpty())
        return app::Outcome::refused(kEnterAnswer);
    db_.exec(QStringLiteral("INSERT INTO FAQ (Capitolo, Titolo, Domanda, Risposta) VALUES (?, ?, ?, ?)"),
             {entry.capitolo, entry.titolo, entry.domanda, entry.risposta});
    return app::Outcome::accepted(db_.lastInsertId());
}

} // namespace velcaris::faq
