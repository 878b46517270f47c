#include "registry/PartyDeletion.h"

#include "foundation/Selection.h"
#include "registry/Deletion.h"
#include "store/Database.h"

namespace velcaris::registry {

namespace {

void requery(app::Workspace& ws, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

bool exists(store::Database& db, const QString& sql, const QVector<QVariant>& values)
{
    return db.scalar(sql, values).isValid();
}

} // namespace

QString personBoundToUnitMessage(const QString& surname, const QString& firstName)
{
    return QStringLiteral("La persona \"%1 %2\" non può essere eliminata poichè ha un'associazione con uno o più locali")
        .arg(surname, firstName);
}

app::Outcome deletePersons(app::Workspace& ws, const QVector<qint64>& ids)
{
    store::Database& db = ws.mainDb();
    // Everyone selected is checked before anyone goes.
    for (qint64 id : ids) {
        if (!exists(db, QStringLiteral("SELECT 1 FROM Locali WHERE idProprietario = ? OR idInquilino = ? LIMIT 1"), {id, id}))
            continue;
        store::Statement person(db, QStringLiteral("SELECT Cognome, Nome FROM Anagrafe WHERE Id = ?"));
        person.bind(1, id);
        const bool found = person.step();
        return app::Outcome::refused(personBoundToUnitMessage(found ? person.value(0).toString() : QString(),
                                                              found ? person.value(1).toString() : QString()));
    }
    store::Transaction tr(db);
    for (qint64 id : ids) {
        db.exec(QStringLiteral("DELETE FROM main.Anagrafe WHERE Id = ?"), {id});
        // A deleted person keeps no login on the owners' site.
        db.exec(QStringLiteral("DELETE FROM web.Accesso WHERE id = ?"), {id});
    }
    tr.commit();
    requery(ws, {"ADOTableAnagrafe", "ADOWEBDBAccesso"});
    return app::Outcome::accepted();
}

app::Outcome removeSupplierFromCondominium(app::Workspace& ws, qint64 supplierId)
{
    store::Database& db = ws.mainDb();
    const QString condominium = ws.selection.condominium;
    const QString year = app::currentYearName(ws);
    if (exists(db, QStringLiteral("SELECT 1 FROM Uscite WHERE IdFornitore = ? AND Condominio = ? AND AA = ? LIMIT 1"),
               {supplierId, condominium, year}))
        return app::Outcome::refused(kSupplierHasExpenses);
    db.exec(QStringLiteral("DELETE FROM fornitori_associazione WHERE IdFornitore = ? AND IdCondominio = ?"),
            {supplierId, condominium});
    requery(ws, {"ADOTableAssociaFornitore", "ADOQueryFornitori", "ADOQueryUscite"});
    return app::Outcome::accepted();
}

app::Outcome deleteSuppliers(app::Workspace& ws, const QVector<qint64>& ids)
{
    store::Database& db = ws.mainDb();
    for (qint64 id : ids) {
        if (exists(db, QStringLiteral("SELECT 1 FROM fornitori_associazione WHERE IdFornitore = ? LIMIT 1"), {id}))
            return app::Outcome::refused(kSupplierAssociated);
        // Any year, not only the current ones: an old expense must keep its supplier for the
        // tax reports of that year.
        if (exists(db, QStringLiteral("SELECT 1 FROM Uscite WHERE IdFornitore = ? LIMIT 1"), {id}))
            return app::Outcome::refused(kSupplierHasExpenses);
    }
    store::Transaction tr(db);
    for (qint64 id : ids)
        db.exec(QStringLiteral("DELETE FROM Fornitori WHERE id = ?"), {id});
    tr.commit();
    requery(ws, {"ADOQueryFornitori", "ADOTableFornitori"});
    return app::Outcome::accepted();
}

} // namespace velcaris::registry
