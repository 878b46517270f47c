#include "faq/FaqSeed.h"

#include "store/StoreError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velcaris::faq {

Seed parseSeed(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull())
        throw store::StoreError(QStringLiteral("FAQ iniziali illeggibili: %1").arg(error.errorString()));
    Seed seed;
    const QJsonObject root = doc.object();
    for (const QJsonValue& chapter : root.value(QStringLiteral("capitoli")).toArray())
        seed.chapters << chapter.toString();
    for (const QJsonValue& value : root.value(QStringLiteral("voci")).toArray()) {
        const QJsonObject o = value.toObject();
        seed.entries.push_back({o.value(QStringLiteral("capitolo")).toString(), o.value(QStringLiteral("titolo")).toString(),
                                o.value(QStringLiteral("domanda")).toString(), o.value(QStringLiteral("risposta")).toString()});
    }
    return seed;
}

Seed builtInSeed()
{
    QFile file(QStringLiteral(":/faq/faq-seed.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw store::StoreError(QStringLiteral("FAQ iniziali mancanti nel programma"));
    return parseSeed(file.readAll());
}

bool seedIfEmpty(store::Database& db)
{
    const qint64 used = db.scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM Capitoli) + (SELECT COUNT(*) FROM FAQ)")).toLongLong();
    if (used > 0)
        return false;
    const Seed seed = builtInSeed();
    store::Transaction tr(db);
    for (const QString& chapter : seed.chapters)
        db.exec(QStringLiteral("INSERT INTO Capitoli (Capitolo) VALUES (?)"), {chapter});
    for (const FaqEntry& e : seed.entries)
        db.exec(QStringLiteral("INSERT INTO FAQ (Capitolo, Titolo, Domanda, Risposta) VALUES (?, ?, ?, ?)"),
                {e.capitolo, e.titolo, e.domanda, e.risposta});
    tr.commit();
    return true;
}

} // namespace velcaris::faq
