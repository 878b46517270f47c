#include "registry/Suppliers.h"

#include "registry/NameRules.h"
#include "store/Database.h"
#include "store/StoreError.h"

namespace velcaris::registry {

using store::Database;
using store::Statement;

namespace {

const char* const kColumns = "Cognome, Nome, Mobile, Telefono, Fax, Indirizzo, CAP, \"Città\", Email, CodiceFiscale, "
                             "PartitaIVA, IBAN, Note";

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
    Statement st(ws.mainDb(), QStringLiteral("SELECT %1 FROM Fornitori WHERE id = ?").arg(QString::fromUtf8(kColumns)));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    SupplierInput s;
    int c = 0;
    for (QString* f : fields(s))
        *f = st.value(c++).toString();
    return s;
}

SupplierOutcome saveSupplier(app::Workspace& ws, std::optional<qint64> id, const SupplierInput& input)
{
    SupplierOutcome outcome;
    const QString refused = fileNameRefusedCharacters();
    if (withoutRefused(input.cognome, refused) != input.cognome || withoutRefused(input.nome, refused) != input.nome) {
        outcome.messages << kRefusedCharacterMessage;
        return outcome;
    }
    SupplierInput copy = input;
    QVector<QVariant> values;
    for (QString* f : fields(copy))
        values << *f;

    Database& db = ws.mainDb();
    try {
        if (id) {
            values << *id;
            db.exec(QStringLiteral("UPDATE Fornitori SET Cognome = ?, Nome = ?, Mobile = ?, Telefono = ?, Fax = ?, "
                                   "Indirizzo = ?, CAP = ?, \"Città\" = ?, Email = ?, CodiceFiscale = ?, "
                                   "PartitaIVA = ?, IBAN = ?, Note = ? WHERE id = ?"),
                    values);
            if (db.changes() == 0)
                throw store::StoreError(QStringLiteral("Fornitori: riga %1 non trovata").arg(*id));
            outcome.id = *id;
        } else {
            db.exec(QStringLiteral("INSERT INTO Fornitori (%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)")
                        .arg(QString::fromUtf8(kColumns)),
                    values);
            outcome.id = db.lastInsertId();
        }
    } catch (const store::StoreError& e) {
        outcome.messages << e.message();
        return outcome;
    }
    outcome.done = true;
    requery(ws, {"ADOTableFornitori", "ADOQueryFornitori", "ADOQueryUscite"});
    return outcome;
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

AssociationOutcome associateSuppliers(app::Workspace& ws, const QVector<qint64>& supplierIds,
                                      const QString& condominium)
{
    AssociationOutcome outcome;
    Database& db = ws.mainDb();
    // An association with no condominium, or with one that is not in the register, would be a
    // row no view ever shows.
    if (condominium.isEmpty() ||
        !db.scalar(QStringLiteral("SELECT 1 FROM Condomini WHERE Nome = ? LIMIT 1"), {condominium}).isValid())
        return outcome;
    try {
        store::Transaction transaction(db);
        for (const qint64 id : supplierIds) {
            const bool associated =
                db.scalar(QStringLiteral("SELECT 1 FROM fornitori_associazione WHERE IdFornitore = ? AND IdCondominio = ? "
                                         "LIMIT 1"),
                          {id, condominium})
                    .isValid();
            if (associated) {
                outcome.messages << alreadyAssociatedMessage(supplierDisplayName(ws, id), condominium);
                continue;
            }
            db.exec(QStringLiteral("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)"),
                    {id, condominium});
            ++outcome.written;
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        outcome = AssociationOutcome{};
        outcome.messages << e.message();
        return outcome;
    }
    outcome.done = true;
    requery(ws, {"ADOTableAssociaFornitore", "ADOQueryFornitori"});
    return outcome;
}

} // namespace velcaris::registry
