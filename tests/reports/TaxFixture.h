#pragma once
// A condominium with cadastral data and suppliers, and a writer of expense rows with or without
// withholding, for the tax reports.
#include "foundation/Selection.h"
#include "foundation/Settings.h"
#include "support/Office.h"

#include <QDate>
#include <gtest/gtest.h>

namespace velcaris::test {

// A double quote, an apostrophe and an accent in the name.
inline const QString kCondominio = QStringLiteral("Il \"Gelso\" d'Oro - Via Libertà 3");

struct Expense {
    qint64 supplier = 0;
    double invoice = 0;     // the invoice's gross
    QDate paid;             // DataPagamento
    double withholding = 0; // RitenuteOperate
    QString code;           // CodTributo
    QString year = QStringLiteral("2024");
    QDate period;           // PeriodoRiferimento
    QDate withholdingPaid;  // DataRitenuta
    double interest = 0;
    bool late = false;      // Ravvedimento
    double taxable = 0;     // ImponibileIVA
    QString invoiceNumber;
    QDate invoiceDate;
};

class TaxFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kCondominio);
        office.db().exec("UPDATE Condomini SET Comune = 'Forlì', Codice_fiscale = '92012345678', Sezione_urbana = 'A', "
                         "Foglio = '12', Particella = '345', Sub = '6', Zona_censuaria = '1', Microzona = '2' "
                         "WHERE Nome = ?",
                         {kCondominio});
        office.addYear(kCondominio, QStringLiteral("2023"), false);
        office.addYear(kCondominio, QStringLiteral("2024"), true);
        app::chooseCondominium(office.ws(), kCondominio);
        app::currentSettings().amministratore = QStringLiteral("Studio Neri");
    }
    void TearDown() override { app::currentSettings() = app::Settings{}; }

    qint64 addSupplier(const QString& surname, const QString& name = {})
    {
        office.db().exec("INSERT INTO Fornitori (Cognome, Nome, Indirizzo, CAP, \"Città\", CodiceFiscale, PartitaIVA) "
                         "VALUES (?, ?, 'Via Verdi 2', '47121', 'Forlì', ?, ?)",
                         {surname, name, "CF" + surname.left(4).toUpper(), "0123456789" + QString::number(++suppliers_)});
        const qint64 id = office.db().lastInsertId();
        office.db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)", {id, kCondominio});
        return id;
    }
    // The stored row as the expense dialog writes it: the outflow is the gross less the withholding.
    void addExpense(const Expense& e)
    {
        office.db().exec(
            "INSERT INTO Uscite (Condominio, AA, TipoMovimento, IdFornitore, ImportoLordo, Commissione, "
            "RitenuteOperate, Interessi, DataPagamento, CodTributo, PeriodoRiferimento, DataRitenuta, Ravvedimento, "
            "ImponibileIVA, NumFattura, DataFattura, pagato, Pagamento, MetodoRitenuta) "
            "VALUES (?, ?, 'Uscita', ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 'Cassa', 'Cassa')",
            {kCondominio, e.year, e.supplier, e.invoice - e.withholding, e.withholding, e.interest, e.paid, e.code,
             e.period.isValid() ? QVariant(e.period) : QVariant(), e.withholdingPaid.isValid() ? QVariant(e.withholdingPaid) : QVariant(),
             e.late, e.taxable, e.invoiceNumber, e.invoiceDate.isValid() ? QVariant(e.invoiceDate) : QVariant(e.paid)});
    }

    Office office;

private:
    int suppliers_ = 0;
};

} // namespace velcaris::test
