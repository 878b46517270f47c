#include "registry/Persons.h"

#include "registry/NameRules.h"
#include "store/ColumnList.h"
#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::registry {

using store::Database;
using store::Statement;

QStringList noticeChannels(app::Workspace& ws)
{
    QStringList channels;
    Statement st(ws.mainDb(), QStringLiteral("SELECT Tipo FROM TipoAvvisi ORDER BY Id"));
    while (st.step())
        channels << st.value(0).toString();
    return channels;
}

QString defaultNoticeChannel(app::Workspace& ws)
{
    const QStringList channels = noticeChannels(ws);
    if (channels.contains(QStringLiteral("Raccomandata")))
        return QStringLiteral("Raccomandata");
    return channels.value(0);
}

PersonInput newPerson(app::Workspace& ws)
{
    PersonInput person;
    person.comunicazioni = defaultNoticeChannel(ws);
    return person;
}

namespace {

// The person's columns, in the order of the dialog's controls.
const store::ColumnList kColumns({QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Mobile"),
                                  QStringLiteral("Telefono"), QStringLiteral("Fax"), QStringLiteral("Indirizzo"),
                                  QStringLiteral("CAP"), QString::fromUtf8("Città"), QStringLiteral("Email"),
                                  QStringLiteral("CodiceFiscale"), QStringLiteral("Comunicazioni"),
                                  QStringLiteral("Consiglio"), QStringLiteral("Note"), QStringLiteral("UserID"),
                                  QStringLiteral("Password")});

QVector<QVariant> fieldValues(const PersonInput& p)
{
    return {p.cognome, p.nome, p.mobile, p.telefono, p.fax, p.indirizzo, p.cap, p.citta, p.email,
            p.codiceFiscale, p.comunicazioni, p.consiglio, p.note, p.userId, p.password};
}

} // namespace

std::optional<PersonInput> readPerson(app::Workspace& ws, qint64 id)
{
    Statement st(ws.mainDb(), QStringLiteral("SELECT %1 FROM Anagrafe WHERE Id = ?").arg(kColumns.selectList()));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    PersonInput p;
    QString* texts[] = {&p.cognome, &p.nome, &p.mobile, &p.telefono, &p.fax, &p.indirizzo, &p.cap, &p.citta,
                        &p.email, &p.codiceFiscale, &p.comunicazioni};
    int c = 0;
    for (QString* t : texts)
        *t = st.value(c++).toString();
    p.consiglio = st.value(c++).toBool();
    p.note = st.value(c++).toString();
    p.userId = st.value(c++).toString();
    p.password = st.value(c++).toString();
    return p;
}

namespace {

// The registers that show persons or web rows see the change.
void requeryAfterSave(app::Workspace& ws)
{
    for (const char* name : {"ADOTableAnagrafe", "ADOWEBDBCodiceCondominio", "ADOWEBDBAccesso"}) {
        store::Dataset& d = ws.ds(QString::fromLatin1(name));
        if (d.isActive())
            d.requery();
    }
    // The web quotas and their source are left unfiltered and the source unsorted.
    store::Dataset& webQuote = ws.ds(QStringLiteral("ADOWEBDBQuote"));
    store::Dataset& source = ws.ds(QStringLiteral("ADOWEBDBquote2"));
    if (webQuote.isActive()) {
        webQuote.setFilter(QString());
        webQuote.requery();
    }
    if (source.isActive()) {
        source.setFilter(QString());
        source.setSort(QString());
        source.requery();
    }
}

} // namespace

app::Outcome savePerson(app::Workspace& ws, std::optional<qint64> id, const PersonInput& input,
                        std::optional<WebRegistration>* web)
{
    // The boxes refuse these while typed; text that reaches here another way is refused too,
    // since the names become parts of file names.
    const QString refused = fileNameRefusedCharacters();
    if (withoutRefused(input.cognome, refused) != input.cognome || withoutRefused(input.nome, refused) != input.nome)
        return app::Outcome::refused(kRefusedCharacterMessage, app::MessageKind::Information);

    Database& db = ws.mainDb();
    qint64 personId = -1;
    std::optional<WebRegistration> registration;
    try {
        store::Transaction transaction(db);
        QString condominium;
        if (id) {
            store::refuseIfChanged(db, input.asRead);
            const QVariant stored = db.scalar(QStringLiteral("SELECT idCondominio FROM Anagrafe WHERE Id = ?"), {*id});
            if (!stored.isValid())
                throw store::StoreError(QStringLiteral("Anagrafe: riga %1 non trovata").arg(*id));
            condominium = stored.toString();
            QVector<QVariant> values = fieldValues(input);
            values << *id;
            db.exec(QStringLiteral("UPDATE Anagrafe SET %1 WHERE Id = ?").arg(kColumns.assignments()), values);
            personId = *id;
        } else {
            condominium = ws.selection.condominium;
            QVector<QVariant> values{condominium};
            values << fieldValues(input);
            db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, %1) VALUES (%2)")
                        .arg(kColumns.selectList(), kColumns.placeholders(1)),
                    values);
            personId = db.lastInsertId();
        }
        if (!input.userId.isEmpty() && !input.password.isEmpty())
            registration = registerOnWeb(ws, personId, condominium, input.cognome, input.nome, input.userId,
                                         input.password);
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        return app::Outcome::failed(e.message());
    }
    if (web)
        *web = registration;
    requeryAfterSave(ws);
    return app::Outcome::accepted(personId);
}

} // namespace velcaris::registry
