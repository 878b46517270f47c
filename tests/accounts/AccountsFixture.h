#pragma once
// A condominium whose years the accounts tests fill, and the writers of its rows: amounts are
// given in cents and stored as the program stores them.
#include "accounts/AccountingYear.h"
#include "store/Money.h"
#include "support/Office.h"

#include <ostream>

#include <gtest/gtest.h>

namespace velcaris::store {
inline void PrintTo(const Money& m, std::ostream* os)
{
    *os << m.toString().toStdString();
}
} // namespace velcaris::store

namespace velcaris::test {

inline const QString kVilla = QStringLiteral("Villa Rosa - Via Roma 1");

class AccountsOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kVilla);
        office.ws().selection.condominium = kVilla;
    }

    store::Database& db() { return office.db(); }

    accounts::AccountingYear year(const QString& name)
    {
        const std::optional<accounts::AccountingYear> y = accounts::findYear(db(), kVilla, name);
        EXPECT_TRUE(y.has_value()) << name.toStdString();
        return y.value_or(accounts::AccountingYear{});
    }

    static double euros(qint64 cents) { return double(cents) / 100.0; }

    qint64 addPerson(const QString& surname, bool web = false)
    {
        const qint64 id = office.addPerson(kVilla, surname);
        if (web)
            db().exec("INSERT INTO web.Accesso (id, Persona, IdCondominio) VALUES (?, ?, ?)", {id, surname, kVilla});
        return id;
    }
    qint64 addTable(const QString& name)
    {
        db().exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, ?, 'clAqua')", {kVilla, name});
        return db().lastInsertId();
    }
    qint64 addUnit(const QString& name, qint64 owner, qint64 tenant, double ord = 100, double str = 100)
    {
        db().exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, PartecipazioneORD, "
                  "PartecipazioneSTR) VALUES (?, ?, ?, ?, 'Appartamento', ?, ?)",
                  {kVilla, name, owner, tenant, ord, str});
        return db().lastInsertId();
    }
    void setThousandths(qint64 unit, qint64 table, double thousandths)
    {
        db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)",
                  {kVilla, unit, table, thousandths});
    }
    void addBudget(const QString& yearName, const QString& table, const QString& item, qint64 cents)
    {
        db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?, ?, ?, ?, ?)",
                  {kVilla, yearName, table, item, euros(cents)});
    }

    // An expense as the expense dialog saves it: the stored gross is the invoice plus the
    // commission less the withholding.
    struct Expense {
        QString year = QStringLiteral("2014");
        QString table;
        QString item;
        QString type = QStringLiteral("Spese ordinarie");
        qint64 supplier = 0;
        qint64 invoice = 0, commission = 0, withholding = 0, interest = 0; // cents
        bool paid = true;
        QString payment = QStringLiteral("Conto Corrente");
        QString withholdingMethod = QStringLiteral("Conto Corrente");
        QDate day = QDate(2014, 6, 1);
        QDate withholdingPaid; // null: not paid to the treasury yet
    };
    qint64 addExpense(const Expense& e)
    {
        db().exec("INSERT INTO Uscite (Condominio, AA, TipoMovimento, IdFornitore, Tabella, TipoSpesa, Tipologia, Causale, "
                  "NumFattura, DataFattura, DataPagamento, Pagamento, pagato, ImportoLordo, Commissione, RitenuteOperate, "
                  "Interessi, MetodoRitenuta, CodTributo, DataRitenuta, PeriodoRiferimento) "
                  "VALUES (?, ?, 'Uscita', ?, ?, ?, ?, 'Lavori', 'F1', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {kVilla, e.year, e.supplier, e.table, e.item, e.type, e.day, e.day, e.payment, e.paid,
                   euros(e.invoice + e.commission - e.withholding), euros(e.commission), euros(e.withholding),
                   euros(e.interest), e.withholdingMethod, e.withholding > 0 ? QString("1040") : QString(),
                   e.withholdingPaid.isValid() ? QVariant(e.withholdingPaid) : QVariant(),
                   e.withholding > 0 ? QVariant(QDate(e.day.year(), e.day.month(), 1)) : QVariant()});
        return db().lastInsertId();
    }
    qint64 addIncome(const QString& yearName, const QString& kind, qint64 cents, const QString& method, const QDate& day,
                     qint64 person = 0)
    {
        db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Importo, MetodoPagamento) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?)",
                  {kVilla, yearName, day, kind, person, euros(cents), method});
        return db().lastInsertId();
    }

    // Every row of the tables a closing may touch, in key order: equal dumps, equal tables.
    QStringList dump()
    {
        static const char* const tables[][2] = {
            {"Quote", "IdQuota"},      {"Entrate", "id"},          {"Uscite", "id"},
            {"web.Quote", "Id"},       {"ChiusureEsercizio", "Id"}, {"ChiusureRighe", "IdChiusura, Tabella, IdRiga"},
            {"AnnoAmministrativo", "id"}, {"Locali", "Id"}};
        QStringList out;
        for (const auto& [table, order] : tables) {
            store::Statement st(db(), QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(QString::fromLatin1(table), QString::fromLatin1(order)));
            while (st.step()) {
                QStringList row{QString::fromLatin1(table)};
                for (int c = 0; c < st.columnCount(); ++c)
                    row << (st.value(c).isNull() ? QStringLiteral("NULL") : st.value(c).toString());
                out << row.join(u'|');
            }
        }
        return out;
    }

    Office office;
};

} // namespace velcaris::test
