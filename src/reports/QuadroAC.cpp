#include "reports/QuadroAC.h"

#include "documents/LetterVariables.h"
#include "reports/RegisterExport.h"
#include "reports/TaxYear.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QDir>

namespace velcaris::reports {

namespace {

// One row per supplier: paid in the year, invoices of the year at or above the threshold, no
// payment of the year with a withholding code. Every administrative year counts, not only the
// current one: the report is of the calendar year of payment.
QString quadroSql()
{
    const QString gross = QStringLiteral("(COALESCE(u.ImportoLordo, 0) - COALESCE(u.Commissione, 0) "
                                         "+ COALESCE(u.RitenuteOperate, 0))");
    return QStringLiteral(
               "SELECT c.Nome, c.Comune, c.Codice_fiscale, c.Sezione_urbana, c.Foglio, c.Particella, c.Sub, "
               "c.Zona_censuaria, c.Microzona, u.IdFornitore, %1 AS Fornitore, f.CodiceFiscale, f.PartitaIVA, "
               "f.\"Città\", f.CAP, f.Indirizzo, SUM(COALESCE(u.ImportoLordo, 0)) AS ImportoLordo "
               "FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore "
               "LEFT JOIN Condomini AS c ON c.Nome = u.Condominio "
               "WHERE u.Condominio = ?1 AND substr(u.DataPagamento, 1, 4) = ?2 "
               "GROUP BY u.IdFornitore, c.Nome, c.Comune, c.Codice_fiscale, c.Sezione_urbana, c.Foglio, c.Particella, "
               "c.Sub, c.Zona_censuaria, c.Microzona, f.Cognome, f.Nome, f.CodiceFiscale, f.PartitaIVA, "
               "f.\"Città\", f.CAP, f.Indirizzo "
               "HAVING ROUND(SUM(ROUND(%2, 2)), 2) >= ?3 AND u.IdFornitore NOT IN ("
               "SELECT w.IdFornitore FROM Uscite AS w WHERE w.Condominio = ?1 AND w.IdFornitore IS NOT NULL "
               "AND COALESCE(w.CodTributo, '') <> '' AND substr(w.DataPagamento, 1, 4) = ?2) "
               "ORDER BY u.IdFornitore")
        .arg(store::personDisplayNameSql(QStringLiteral("f")), gross);
}

QStringList row(const QString& a = {}, const QString& b = {}, const QString& c = {}, const QString& d = {})
{
    return {a, b, c, d};
}

} // namespace

QuadroAC buildQuadroAC(app::Workspace& ws, const QString& yearText)
{
    QuadroAC report;
    const int year = referenceYear(yearText);
    if (year == 0) {
        report.outcome = app::Outcome::refused(kRequireReferenceYear, app::MessageKind::Information);
        return report;
    }
    store::Statement st(ws.mainDb(), quadroSql());
    st.bind(1, ws.selection.condominium);
    st.bind(2, QString::number(year));
    st.bind(3, kQuadroACThreshold);

    struct Supplier {
        QString name, cf, pi, city, cap, address, gross;
    };
    QVector<Supplier> suppliers;
    QStringList q(9); // the condominium's data of the first row
    while (st.step()) {
        if (suppliers.isEmpty())
            for (int i = 0; i < 9; ++i)
                q[i] = st.value(i).toString();
        suppliers.push_back({st.value(10).toString(), st.value(11).toString(), st.value(12).toString(),
                             st.value(13).toString(), st.value(14).toString(), st.value(15).toString(),
                             QString::number(st.value(16).toDouble(), 'f', 2)});
    }

    const QString shortName = ws.selection.shortName;
    const QString address = ws.selection.address;
    QVector<QStringList>& g = report.grid;
    g << row(q[0], {}, q[2]);
    g << row(QStringLiteral("Nome:"), shortName, QStringLiteral("Sezione Urbana:"), q[3]);
    g << row(QStringLiteral("Indirizzo:"), address, QStringLiteral("Foglio:"), q[4]);
    g << row(QStringLiteral("Comune:"), q[1], QStringLiteral("Particella:"), q[5]);
    g << row(QStringLiteral("Codice Fiscale:"), q[2], QStringLiteral("Subalterno:"), q[6]);
    g << row({}, {}, QStringLiteral("Zona censuaria:"), q[7]);
    g << row({}, {}, QStringLiteral("Microzona:"), q[8]);
    g << row();
    for (const Supplier& s : suppliers) {
        g << row(QStringLiteral("Fornitore:"), s.name, QStringLiteral("Importo lordo corrisposto:"), s.gross);
        g << row(QStringLiteral("Codice Fiscale:"), s.cf);
        g << row(QStringLiteral("Partita IVA:"), s.pi);
        g << row(QStringLiteral("Comune:"), s.city);
        g << row(QStringLiteral("C.A.P.:"), s.cap);
        g << row(QStringLiteral("Indirizzo:"), s.address);
        g << row();
    }
    report.suppliers = int(suppliers.size());
    report.outcome = app::Outcome::accepted();
    return report;
}

QString quadroACPath(const app::Workspace& ws)
{
    return documents::condominiumFolder(ws) + fileNamePart(ws.selection.condominium) + QStringLiteral(" - ") +
           kQuadroACSheet + QStringLiteral(".xlsx");
}

app::Outcome saveQuadroAC(const app::Workspace& ws, const QVector<QStringList>& grid)
{
    const QString error = writeOfficeWorkbook(ws.paths(), quadroACPath(ws), textGridSheet(kQuadroACSheet, grid));
    if (!error.isEmpty())
        return app::Outcome::refused(error, app::MessageKind::Error);
    return app::Outcome::accepted().add(app::MessageKind::Information, kQuadroACSaved);
}

} // namespace velcaris::reports
