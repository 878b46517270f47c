#include "registry/Credentials.h"

#include "store/Database.h"
#include "store/Money.h"

namespace velcaris::registry {

using store::Database;
using store::Statement;

QString userIdFromSurname(const QString& surname)
{
    QString id;
    for (const QChar c : surname)
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            id += c;
    return id;
}

QString generatePassword(QRandomGenerator& source)
{
    QString password;
    for (int i = 0; i < kPasswordLength; ++i)
        password += kPasswordAlphabet.at(int(source.bounded(quint32(kPasswordAlphabet.size()))));
    return password;
}

QString generatePassword()
{
    return generatePassword(*QRandomGenerator::system());
}

namespace {

// The name of the current year of the condominium, or an empty text when it has none.
QString currentYear(Database& db, const QString& condominium)
{
    return db.scalar(QStringLiteral("SELECT nome FROM main.AnnoAmministrativo WHERE idCondominio = ? AND corrente <> 0 "
                                    "ORDER BY id LIMIT 1"),
                     {condominium})
        .toString();
}

int publishQuotas(Database& db, qint64 personId, const QString& condominium, const QString& year)
{
    const QVariant already = db.scalar(
        QStringLiteral("SELECT 1 FROM web.Quote WHERE Condominio = ? AND AA = ? AND (IdProprietario = ? OR IdInquilino = ?) "
                       "LIMIT 1"),
        {condominium, year, personId, personId});
    if (already.isValid())
        return 0;

    // Only this condominium's quotas: the check above looks there, so quotas of another
    // condominium would be copied again at every save.
    Statement source(db, QStringLiteral("SELECT idCondominio, IdLocale, Nome, idProprietario, idInquilino, NomeQuote, "
                                        "importo, ImportoPagato, Tipologia, Data, DataScadenza, Note "
                                        "FROM main.WEBDBQuote WHERE AA = ? AND idCondominio = ? "
                                        "AND (idProprietario = ? OR idInquilino = ?) "
                                        "ORDER BY DataScadenza ASC, IdQuota ASC"));
    source.bindAll({year, condominium, personId, personId});
    QVector<QVector<QVariant>> rows;
    while (source.step()) {
        QVector<QVariant> row;
        for (int c = 0; c < source.columnCount(); ++c)
            row << source.value(c);
        rows << row;
    }
    for (const auto& r : rows) {
        db.exec(QStringLiteral("INSERT INTO web.Quote (Condominio, idLocale, Locale, IdProprietario, IdInquilino, "
                               "NomeQuote, Importo, ImportoPagato, Tipologia, Data, DataScadenza, AA, Nota) "
                               "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {r[0], r[1], r[2], r[3], r[4], r[5], store::formatAmount(r[6].toDouble()),
                 store::formatAmount(r[7].toDouble()), r[8], r[9], r[10], year, r[11]});
    }
    return int(rows.size());
}

} // namespace

WebRegistration registerOnWeb(app::Workspace& ws, qint64 personId, const QString& condominium,
                              const QString& surname, const QString& firstName, const QString& userId,
                              const QString& password)
{
    Database& db = ws.mainDb();
    WebRegistration done;

    if (!db.scalar(QStringLiteral("SELECT 1 FROM web.CodiceCondominio WHERE Condominio = ? LIMIT 1"), {condominium})
             .isValid()) {
        db.exec(QStringLiteral("INSERT INTO web.CodiceCondominio (Condominio, IBAN, Intestatario) "
                               "SELECT n.Nome, c.Conto_corrente, c.Intestatario FROM (SELECT ? AS Nome) AS n "
                               "LEFT JOIN main.Condomini AS c ON c.Nome = n.Nome LIMIT 1"),
                {condominium});
        done.condominiumAdded = true;
    }

    const QString persona = (surname + u' ' + firstName).trimmed();
    db.exec(QStringLiteral("UPDATE web.Accesso SET Persona = ?, \"User\" = ?, Password = ?, IdCondominio = ? WHERE id = ?"),
            {persona, userId, password, condominium, personId});
    if (db.changes() == 0) {
        db.exec(QStringLiteral("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?,?,?,?,?)"),
                {personId, persona, userId, password, condominium});
        done.accessAdded = true;
    }

    const QString year = currentYear(db, condominium);
    if (!year.isEmpty())
        done.quotasPublished = publishQuotas(db, personId, condominium, year);
    return done;
}

} // namespace velcaris::registry
