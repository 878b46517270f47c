#include "registry/Suppliers.h"

#include "registry/NameRules.h"
#include "registry/Condominiums.h"
#include "store/ColumnList.h"
#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::registry {

using store::Database;
using store::Statement;

namespace {

const store::ColumnList kColumns({QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Mobile"),
                                  QStringLiteral("Telefono"), QStringLiteral("Fax"), QStringLiteral("Indirizzo"),
                                  QStringLiteral("CAP"), QString::fromUtf8("Città"), QStringLiteral("Email"),
                                  QStringLiteral("CodiceFiscale"), QStringLiteral("PartitaIVA"), QStringLiteral("IBAN"),
                                  QStringLiteral("Note")});

QVector<QString*> fields(SupplierInput& s)
{
    return {&s.cognome, &s.nome, &s.mobile, &s.telefono, &s.fax, &s.indirizzo, &s.cap, &s.citta,
            &s.email, &s.codiceFiscale, &s.partitaIva, &s.iban, &s.note};
}

void requery(app::Workspace& ws, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        store::Dataset& d = ws.ds(QString::fromLatin1(name));
        if (d.isActive())
            d.requery();
    }
}

} // namespace

std::optional<SupplierInput> readSupplier(app::Workspace& ws, qint64 id)
{
    Statement st(ws.mainDb(), QStringLiteral("SELECT %1 FROM Fornitori WHERE id = ?").arg(kColumns.selectList()));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    SupplierInput s;
    int c = 0;
    for (QString* f : fields(s))
        *f = st.value(c++).toString();
    return s;
}

app::Outcome saveSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input)
{
    app::Outcome saved = writeSupplier(ws, id, input);
    if (saved.done)
        requery(ws, {"ADOTableFornitori", "ADOQueryFornitori", "ADOQueryUscite"});
    return saved;
}

app::Outcome writeSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input)
{
    const QString refused = fileNameRefusedCharacters();
    if (withoutRefused(input.cognome, refused) != input.cognome || withoutRefused(input.nome, refused) != input.nome)
        return app::Outcome::refused(kRefusedCharacterMessage, app::MessageKind::Information);
    SupplierInput copy = input;
    QVector<QVariant> values;
    for (QString* f : fields(copy))
        values << *f;

    Database& db = ws.mainDb();
    qint64 supplierId = -1;
    try {
        store::Transaction transaction(db);
        if (id) {
            store::refuseIfChanged(db, input.asRead);
            values << *id;
            db.exec(QStringLiteral("UPDATE Fornitori SET %1 WHERE id = ?").arg(kColumns.assignments()), values);
            if (db.changes() == 0)
                throw store::StoreError(QStringLiteral("Fornitori: riga %1 non trovata").arg(*id));
            supplierId = *id;
        } else {
            db.exec(QStringLiteral("INSERT INTO Fornitori (%1) VALUES (%2)")
                        .arg(kColumns.selectList(), kColumns.placeholders()),
                    values);
            supplierId = db.lastInsertId();
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        return app::Outcome::failed(e.message());
    }
    return app::Outcome::accepted(supplierId);
}

QString supplierDisplayName(app::Workspace& ws, qint64 id)
{
    return ws.mainDb()
        .scalar(QStringLiteral("SELECT Fornitore FROM QueryFornitoriCompleta WHERE id = ?"), {id})
        .toString();
}

QStringList associationCondominiums(app::Workspace& ws)
{
    QStringList names;
    Statement st(ws.mainDb(), QStringLiteral("SELECT Nome FROM Condomini WHERE Nome IS NOT NULL ORDER BY Nome ASC"));
    while (st.step())
        names << st.value(0).toString();
    return names;
}

QString alreadyAssociatedMessage(const QString& supplier, const QString& condominium)
{
    return QStringLiteral("ATTENZIONE: Il fornitore \"") + supplier +
           QStringLiteral("\" e' già associato al condominio ") + condominium;
}

app::Outcome associateSuppliers(app::Workspace& ws, const QVector<qint64>& supplierIds, const QString& condominium,
                                int* written)
{
    Database& db = ws.mainDb();
    if (written)
        *written = 0;
    // An association with no condominium, or with one that is not in the register, would be a
    // row no view ever shows.
    if (condominium.isEmpty() ||
        !db.scalar(QStringLiteral("SELECT 1 FROM Condomini WHERE Nome = ? LIMIT 1"), {condominium}).isValid())
        return app::Outcome::refused(kChooseCondominiumFirst, app::MessageKind::Information);
    app::Outcome outcome = app::Outcome::accepted();
    int rows = 0;
    try {
        store::Transaction transaction(db);
        for (const qint64 id : supplierIds) {
            const bool associated =
                db.scalar(QStringLiteral("SELECT 1 FROM fornitori_associazione WHERE IdFornitore = ? AND IdCondominio = ? "
                                         "LIMIT 1"),
                          {id, condominium})
                    .isValid();
            if (associated) {
                outcome.add(app::MessageKind::Information,
                            alreadyAssociatedMessage(supplierDisplayName(ws, id), condominium));
                continue;
            }
            db.exec(QStringLiteral("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)"),
                    {id, condominium});
            ++rows;
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    if (written)
        *written = rows;
    requery(ws, {"ADOTableAssociaFornitore", "ADOQueryFornitori"});
    return outcome;
}

} // namespace velcaris::registry
