#pragma once
// An office with two condominiums, for the allocation tests, and the check of the thousandths
// invariant: exactly one Millesimi row per unit and table of a condominium, and no other row.
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <gtest/gtest.h>

namespace velcaris::test {

inline const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
inline const QString kBeta = QStringLiteral("Beta - Via Po 2");

class AllocationOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        choose(kAlfa);
    }

    void choose(const QString& condominium)
    {
        office.ws().selection.condominium = condominium;
    }
    store::Database& db() { return office.db(); }
    qint64 count(const QString& sql, const QVector<QVariant>& params = {})
    {
        return db().scalar(sql, params).toLongLong();
    }
    QString text(const QString& sql, const QVector<QVariant>& params = {})
    {
        return db().scalar(sql, params).toString();
    }
    qint64 addTable(const QString& condominium, const QString& name)
    {
        db().exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, ?, 'clAqua')", {condominium, name});
        const qint64 id = db().lastInsertId();
        db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) "
                  "SELECT IdCondominio, Id, ?, 0 FROM Locali WHERE IdCondominio = ?",
                  {id, condominium});
        return id;
    }
    qint64 addUnit(const QString& condominium, const QString& name, qint64 owner)
    {
        db().exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) "
                  "VALUES (?, ?, ?, ?, 'Appartamento')",
                  {condominium, name, owner, owner});
        const qint64 id = db().lastInsertId();
        db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) "
                  "SELECT Id_Condominio, ?, Id, 0 FROM Tabelle WHERE Id_Condominio = ?",
                  {id, condominium});
        return id;
    }
    qint64 addExpense(const QString& condominium, const QString& year, const QString& table, const QString& item)
    {
        db().exec("INSERT INTO Uscite (Condominio, AA, Tabella, TipoSpesa, ImportoLordo) VALUES (?, ?, ?, ?, 10)",
                  {condominium, year, table, item});
        return db().lastInsertId();
    }
    qint64 addBudgetItem(const QString& condominium, const QString& year, const QString& table, const QString& item)
    {
        db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?, ?, ?, ?, 100)",
                  {condominium, year, table, item});
        return db().lastInsertId();
    }

    ::testing::AssertionResult thousandthsInvariant()
    {
        const qint64 wrongPairs =
            count("SELECT COUNT(*) FROM Locali AS l INNER JOIN Tabelle AS t ON t.Id_Condominio = l.IdCondominio "
                  "WHERE (SELECT COUNT(*) FROM Millesimi AS m WHERE m.IdLocale = l.Id AND m.IdTabella = t.Id) <> 1");
        const qint64 strayRows =
            count("SELECT COUNT(*) FROM Millesimi AS m WHERE NOT EXISTS (SELECT 1 FROM Locali AS l "
                  "INNER JOIN Tabelle AS t ON t.Id_Condominio = l.IdCondominio "
                  "WHERE l.Id = m.IdLocale AND t.Id = m.IdTabella AND m.IdCondominio = l.IdCondominio)");
        if (wrongPairs == 0 && strayRows == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << wrongPairs << " unit/table pairs without exactly one row, "
                                             << strayRows << " rows of no pair";
    }

    // Makes the next write to `table` fail inside the engine, as a full disk would.
    void failWritesTo(const QString& table, const char* event = "INSERT")
    {
        test::refuseWrites(db(), table, QString::fromLatin1(event), QStringLiteral("disco pieno"));
    }

    void TearDown() override { EXPECT_TRUE(thousandthsInvariant()); }

    Office office;
};

} // namespace velcaris::test
