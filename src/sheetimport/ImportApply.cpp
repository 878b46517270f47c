// "Conferma" of the import: the plan written in one transaction, the web database's copies of the
// persons and the units included (it is attached to the same connection as "web").
#include "allocation/MillesimalTables.h"
#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "allocation/Thousandths.h"
#include "registry/Condominiums.h"
#include "registry/Credentials.h"
#include "sheetimport/ImportPlan.h"
#include "store/Database.h"
#include "store/StoreError.h"

namespace velcaris::sheetimport {

using store::Database;

namespace {

const QString kPersonColumns = QStringLiteral("Cognome = ?, Nome = ?, Mobile = ?, Telefono = ?, Fax = ?, Indirizzo = ?, "
                                              "CAP = ?, \"Città\" = ?, Email = ?, CodiceFiscale = ?, Comunicazioni = ?, "
                                              "Consiglio = ?, Note = ?");

QVector<QVariant> personValues(const registry::PersonInput& p)
{
    return {p.cognome, p.nome, p.mobile, p.telefono, p.fax, p.indirizzo, p.cap, p.citta, p.email,
            p.codiceFiscale, p.comunicazioni, p.consiglio, p.note};
}

QVector<QVariant> supplierValues(const registry::SupplierInput& s)
{
    return {s.cognome, s.nome, s.mobile, s.telefono, s.fax, s.indirizzo, s.cap, s.citta, s.email,
            s.codiceFiscale, s.partitaIva, s.iban, s.note};
}

const QString kSupplierColumns = QStringLiteral("Cognome = ?, Nome = ?, Mobile = ?, Telefono = ?, Fax = ?, "
                                                "Indirizzo = ?, CAP = ?, \"Città\" = ?, Email = ?, CodiceFiscale = ?, "
                                                "PartitaIVA = ?, IBAN = ?, Note = ?");

} // namespace

app::Outcome applyImport(app::Workspace& ws, const ImportPlan& plan)
{
    if (!plan.error.isEmpty())
        return app::Outcome::refused(plan.error);
    if (plan.condominium.isEmpty() || plan.condominium != ws.selection.condominium)
        return app::Outcome::refused(QStringLiteral("Il condominio scelto è cambiato: rileggere il file prima di confermare"));
    if (!plan.writesSomething())
        return app::Outcome::refused(QStringLiteral("Il file non contiene nulla di nuovo da importare"),
                                     app::MessageKind::Information);
    const QString& condominium = plan.condominium;
    Database& db = ws.mainDb();
    try {
        store::Transaction transaction(db);

        for (const QString& type : plan.newTypes)
            db.exec(QStringLiteral("INSERT INTO TipologieLocali (Tipologia) VALUES (?)"), {type});

        // Persons: the added ones get their Id here, the units name them by it.
        QVector<qint64> personIds(plan.persons.size(), -1);
        for (int i = 0; i < plan.persons.size(); ++i) {
            const PlannedPerson& p = plan.persons[i];
            QVector<QVariant> values = personValues(p.values);
            if (p.id) {
                values << *p.id;
                db.exec(QStringLiteral("UPDATE Anagrafe SET %1 WHERE Id = ?").arg(kPersonColumns), values);
                personIds[i] = *p.id;
                // As "Conferma" of the person does: the web access row takes the new name.
                if (p.web)
                    registry::registerOnWeb(ws, *p.id, condominium, p.values.cognome, p.values.nome, p.values.userId,
                                            p.values.password);
            } else {
                values.prepend(condominium);
                db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, Cognome, Nome, Mobile, Telefono, Fax, "
                                       "Indirizzo, CAP, \"Città\", Email, CodiceFiscale, Comunicazioni, Consiglio, Note) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        values);
                personIds[i] = db.lastInsertId();
            }
        }
        auto personId = [&](const PersonRef& ref) { return ref.planned >= 0 ? personIds.value(ref.planned) : ref.id; };

        for (const PlannedSupplier& s : plan.suppliers) {
            qint64 id = -1;
            if (s.id) {
                id = *s.id;
                if (s.changed) {
                    QVector<QVariant> values = supplierValues(s.values);
                    values << id;
                    db.exec(QStringLiteral("UPDATE Fornitori SET %1 WHERE id = ?").arg(kSupplierColumns), values);
                }
            } else {
                db.exec(QStringLiteral("INSERT INTO Fornitori (Cognome, Nome, Mobile, Telefono, Fax, Indirizzo, CAP, "
                                       "\"Città\", Email, CodiceFiscale, PartitaIVA, IBAN, Note) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        supplierValues(s.values));
                id = db.lastInsertId();
            }
            if (s.associate)
                db.exec(QStringLiteral("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)"),
                        {id, condominium});
        }

        // Units, each with a zero copy of the quota schedule when new, as the unit dialog gives it.
        QVector<qint64> unitIds(plan.units.size(), -1);
        for (int i = 0; i < plan.units.size(); ++i) {
            const PlannedUnit& u = plan.units[i];
            const qint64 owner = personId(u.owner);
            const qint64 tenant = personId(u.tenant);
            QVector<QVariant> values{u.nome, u.tipologia, u.piano, u.scala, u.foglio, u.particella, u.sub,
                                     owner, tenant, u.ord, u.str};
            if (u.id) {
                values << *u.id;
                db.exec(QStringLiteral("UPDATE Locali SET Nome = ?, IdTipologia = ?, Piano = ?, Scala = ?, Foglio = ?, "
                                       "Particella = ?, Sub = ?, idProprietario = ?, idInquilino = ?, "
                                       "PartecipazioneORD = ?, PartecipazioneSTR = ? WHERE Id = ?"),
                        values);
                unitIds[i] = *u.id;
                // The quotas published on the web name the unit and its owner and tenant.
                db.exec(QStringLiteral("UPDATE web.Quote SET Locale = ?, IdProprietario = ?, IdInquilino = ? "
                                       "WHERE idLocale = ?"),
                        {u.nome, owner, tenant, *u.id});
            } else {
                values << condominium;
                db.exec(QStringLiteral("INSERT INTO Locali (Nome, IdTipologia, Piano, Scala, Foglio, Particella, Sub, "
                                       "idProprietario, idInquilino, PartecipazioneORD, PartecipazioneSTR, IdCondominio) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        values);
                unitIds[i] = db.lastInsertId();
                allocation::copyQuotaSchedule(db, condominium, unitIds[i]);
            }
        }

        // Tables: a new one gets a zero row for every unit (the new units included), an existing
        // one a zero row for each new unit, so that every unit has a row in every table.
        QVector<qint64> tableIds(plan.tables.size(), -1);
        for (int t = 0; t < plan.tables.size(); ++t) {
            const PlannedTable& table = plan.tables[t];
            if (table.id) {
                tableIds[t] = *table.id;
                for (int i = 0; i < plan.units.size(); ++i)
                    if (!plan.units[i].id)
                        allocation::setThousandths(db, condominium, unitIds[i], tableIds[t], 0.0);
            } else {
                db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione, Colore) VALUES (?, ?, '', ?)"),
                        {condominium, table.name, allocation::kNewTableColour});
                tableIds[t] = db.lastInsertId();
                allocation::addTableThousandths(db, condominium, tableIds[t]);
            }
        }
        for (int i = 0; i < plan.units.size(); ++i)
            for (int t = 0; t < plan.units[i].thousandths.size() && t < tableIds.size(); ++t)
                if (const std::optional<double>& value = plan.units[i].thousandths[t])
                    allocation::setThousandths(db, condominium, unitIds[i], tableIds[t], *value);

        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    allocation::requeryRegisters(ws, {"ADOTableAnagrafe", "ADOTableLocali", "ADOTableMillesimi", "ADOTableTabelle",
                                      "ADOQueryFornitori", "ADOTableFornitori", "ADOTableQuote"});
    app::Outcome done = app::Outcome::accepted();
    done.add(app::MessageKind::Information, QStringLiteral("Importazione completata.\n") + plan.summary());
    return done;
}

} // namespace velcaris::sheetimport
