#include "support/RefusedWrites.h"

namespace velcaris::test {

namespace {

struct Target {
    QString schema; // "main" or "web"
    QString table;  // without its schema
    QString trigger;
};

Target targetOf(const QString& table)
{
    const int dot = table.indexOf(QLatin1Char('.'));
    Target t;
    t.schema = dot < 0 ? QStringLiteral("main") : table.left(dot);
    t.table = dot < 0 ? table : table.mid(dot + 1);
    t.trigger = QStringLiteral("rifiuta_%1_%2").arg(t.schema, t.table);
    return t;
}

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace

void refuseWrites(store::Database& db, const QString& table, const QString& event, const QString& message,
                  const QString& condition)
{
    const Target t = targetOf(table);
    if (!db.isServer()) {
        db.exec(QStringLiteral("CREATE TRIGGER %1.%2 BEFORE %3 ON %4 %5 BEGIN SELECT RAISE(ABORT, %6); END")
                    .arg(t.schema, t.trigger, event, t.table,
                         condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition, quoted(message)));
        return;
    }
    const QString body = QStringLiteral("BEGIN RAISE EXCEPTION %1; END").arg(quoted(message));
    db.exec(QStringLiteral("CREATE FUNCTION %1.%2() RETURNS trigger LANGUAGE plpgsql AS %3")
                .arg(t.schema, t.trigger, quoted(body)));
    db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3.%4 FOR EACH ROW %5 EXECUTE FUNCTION %3.%1()")
                .arg(t.trigger, event, t.schema, t.table,
                     condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition)));
}

void allowWrites(store::Database& db, const QString& table)
{
    const Target t = targetOf(table);
    if (!db.isServer()) {
        db.exec(QStringLiteral("DROP TRIGGER %1.%2").arg(t.schema, t.trigger));
        return;
    }
    db.exec(QStringLiteral("DROP TRIGGER %1 ON %2.%3").arg(t.trigger, t.schema, t.table));
    db.exec(QStringLiteral("DROP FUNCTION %1.%2()").arg(t.schema, t.trigger));
}

} // namespace velcaris::test
