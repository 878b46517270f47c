#include "store/SortOrder.h"

#include "store/Database.h"

#include <QStringList>

namespace velcaris::store {

namespace {

[[noreturn]] void fail(const QString& what, const QString& text, const QString& sort)
{
    throw StoreError(QStringLiteral("%1: %2 (ordinamento: %3)").arg(what, text, sort));
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

struct Word {
    QString text;
    bool bracketed = false;
};

} // namespace

QString compileSort(const QString& sort, const FieldResolver& resolve)
{
    // Split into items of words, keeping commas inside [...] names.
    QVector<QVector<Word>> items(1);
    const qsizetype n = sort.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sort[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u',') {
            items.append(QVector<Word>());
            ++i;
        } else if (c == u'[') {
            const qsizetype close = sort.indexOf(u']', i + 1);
            if (close < 0)
                fail(QStringLiteral("Parentesi quadra non chiusa"), sort.mid(i), sort);
            const QString name = sort.mid(i + 1, close - i - 1).trimmed();
            if (name.isEmpty())
                fail(QStringLiteral("Nome di campo vuoto"), sort.mid(i, close - i + 1), sort);
            items.last().append({name, true});
            i = close + 1;
        } else if (isNameChar(c)) {
            const qsizetype from = i;
            while (i < n && isNameChar(sort[i]))
                ++i;
            items.last().append({sort.mid(from, i - from), false});
        } else {
            fail(QStringLiteral("Carattere non previsto"), QString(c), sort);
        }
    }
    if (items.size() == 1 && items[0].isEmpty())
        return {};

    QStringList parts;
    for (const QVector<Word>& item : items) {
        if (item.isEmpty())
            fail(QStringLiteral("Campo mancante"), QStringLiteral(","), sort);
        if (item.size() > 2)
            fail(QStringLiteral("Testo inatteso"), item[2].text, sort);
        QString direction = QStringLiteral("ASC");
        if (item.size() == 2) {
            const Word& word = item[1];
            if (!word.bracketed && word.text.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0)
                direction = QStringLiteral("DESC");
            else if (word.bracketed || word.text.compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("Direzione non valida"), word.text, sort);
        }
        const QString column = resolve ? resolve(item[0].text) : QString();
        if (column.isEmpty())
            fail(QStringLiteral("Campo sconosciuto"), item[0].text, sort);
        // NOCASE: text sorts without regard to letter case.
        parts << quoteIdentifier(column) + QStringLiteral(" COLLATE NOCASE ") + direction;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace velcaris::store
