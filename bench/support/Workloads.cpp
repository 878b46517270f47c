#include "support/Workloads.h"

#include "cashbook/ReceiptNumbers.h"

#include <QDate>
#include <stdexcept>

namespace velcaris::bench {

Payer firstUnitOwner(app::Workspace& ws, const QString& condominium)
{
    Payer p;
    p.condominium = condominium;
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT Id, idProprietario FROM Locali WHERE IdCondominio = ? ORDER BY Id LIMIT 1"));
    st.bind(1, p.condominium);
    if (!st.step())
        throw std::runtime_error("nessun locale nel condominio del pagamento");
    p.unit = st.value(0).toLongLong();
    p.person = st.value(1).toLongLong();
    p.year = cashbook::currentYearName(ws, p.condominium);
    return p;
}

QVector<cashbook::PaymentRow> twelveQuotas()
{
    QVector<cashbook::PaymentRow> rows;
    for (int r = 1; r <= 12; ++r)
        rows.push_back({QStringLiteral("Rata %1").arg(r, 2, 10, QLatin1Char('0')), QStringLiteral("100.00"),
                        QStringLiteral("Spese ordinarie"), QString()});
    return rows;
}

QString allocationYear()
{
    return QStringLiteral("2026");
}

void removeAllocationQuotas(store::Database& db, const QString& name)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM main.Quote WHERE IdCondominio = ?"), {name});
    db.exec(QStringLiteral("DELETE FROM web.Quote WHERE Condominio = ?"), {name});
    tr.commit();
}

void removeAllocationBuilding(store::Database& db, const QString& name)
{
    store::Transaction tr(db);
    removeAllocationQuotas(db, name);
    for (const char* sql : {"DELETE FROM main.Millesimi WHERE IdCondominio = ?", "DELETE FROM main.Locali WHERE IdCondominio = ?",
                            "DELETE FROM main.Tabelle WHERE Id_Condominio = ?", "DELETE FROM main.Anagrafe WHERE idCondominio = ?",
                            "DELETE FROM main.AnnoAmministrativo WHERE idCondominio = ?",
                            "DELETE FROM web.Accesso WHERE IdCondominio = ?"})
        db.exec(QString::fromLatin1(sql), {name});
    tr.commit();
}

void addAllocationBuilding(store::Database& db, const QString& name)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, ?, 1)"),
            {name, allocationYear()});
    QVector<qint64> tables;
    for (int k = 0; k < kAllocationTables; ++k) {
        db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, ?)"), {name, QStringLiteral("Tabella %1").arg(k)});
        tables << db.lastInsertId();
    }
    for (int u = 0; u < kAllocationUnits; ++u) {
        db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, ?, 'Mario')"),
                {name, QStringLiteral("Condomino %1").arg(u)});
        const qint64 person = db.lastInsertId();
        if (u % 2 == 0)
            db.exec(QStringLiteral("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?, 'p', 'u', 'x', ?)"),
                    {person, name});
        db.exec(QStringLiteral("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Scala, "
                               "PartecipazioneORD, PartecipazioneSTR) VALUES (?, ?, ?, ?, 'Appartamento', ?, ?, 100)"),
                {name, QStringLiteral("Int. %1").arg(u + 1), person, person, QString(QChar(u'A' + u % 4)), u % 7 == 0 ? 50 : 100});
        const qint64 unit = db.lastInsertId();
        for (int k = 0; k < kAllocationTables; ++k)
            db.exec(QStringLiteral("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)"),
                    {name, unit, tables[k], double((u * 37 + k * 11) % 90 + 1) / 10.0});
    }
    tr.commit();
}

allocation::AllocationInput allocationInput()
{
    allocation::AllocationInput in;
    in.typeIndex = 1;
    for (int k = 0; k < kAllocationTables; ++k)
        in.amounts << QString::number(12000 + 1000 * k) + QStringLiteral(".37");
    in.instalments = QString::number(kAllocationInstalments);
    for (int i = 0; i < kAllocationInstalments; ++i)
        in.rows.push_back({QStringLiteral("Rata %1").arg(i + 1), QDate(2026, i + 1, 1)});
    in.halfUnitRounding = true;
    return in;
}

} // namespace velcaris::bench
