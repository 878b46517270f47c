#include "reports/Certificates.h"

#include "foundation/Settings.h"
#include "cashbook/AmountInWords.h"
#include "documents/DatasetSource.h"
#include "documents/LetterRecipients.h"
#include "documents/LetterVariables.h"
#include "documents/ReportError.h"
#include "reports/RegisterExport.h"
#include "reports/TaxYear.h"
#include "documents/RecordSource.h"
#include "store/FilterText.h"
#include "store/StoreError.h"

#include <QDir>
#include <cmath>

namespace velcaris::reports {

namespace {

const QStringList kVariables{QStringLiteral("amministratore"), QStringLiteral("condominio"),
                             QStringLiteral("indirizzo"),      QStringLiteral("comune"),
                             QStringLiteral("cod_fisc"),       QStringLiteral("fornitore"),
                             QStringLiteral("indirizzo_f"),    QStringLiteral("cap_f"),
                             QStringLiteral("citta_f"),        QStringLiteral("cod_fisc_f"),
                             QStringLiteral("pi"),             QStringLiteral("anno"),
                             QStringLiteral("importo"),        QStringLiteral("lettere"),
                             QStringLiteral("data"),           QStringLiteral("saluto_f"),
                             QStringLiteral("importo_versato"), QStringLiteral("lettere_versato"),
                             QStringLiteral("importo_da_versare"), QStringLiteral("n_da_versare")};

// The terms of the year's withholdings of the condominium (reference period within the year).
QString yearTerms(const QString& condominium, int year)
{
    const QString y = QString::number(year);
    return store::andTerms({store::equalsTerm(QStringLiteral("Condominio"), condominium),
                            QStringLiteral("PeriodoRiferimento>=01/01/") + y,
                            QStringLiteral("PeriodoRiferimento<=31/12/") + y});
}

void addCondominium(app::Workspace& ws, documents::TRtfReport& report)
{
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Comune, Codice_fiscale FROM Condomini WHERE Nome = ?"));
    st.bind(1, ws.selection.condominium);
    const bool found = st.step();
    report.AddVariable(QStringLiteral("amministratore"), app::currentSettings().amministratore);
    report.AddVariable(QStringLiteral("condominio"), ws.selection.shortName);
    report.AddVariable(QStringLiteral("indirizzo"), ws.selection.address);
    report.AddVariable(QStringLiteral("comune"), found ? st.value(0).toString() : QString());
    report.AddVariable(QStringLiteral("cod_fisc"), found ? st.value(1).toString() : QString());
}

void addSupplier(app::Workspace& ws, documents::TRtfReport& report, qint64 id)
{
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Cognome, Nome, Indirizzo, CAP, \"Città\", CodiceFiscale, "
                                                    "PartitaIVA FROM Fornitori WHERE id = ?"));
    st.bind(1, id);
    QStringList v(7);
    if (st.step())
        for (int i = 0; i < 7; ++i)
            v[i] = st.value(i).toString();
    report.AddVariable(QStringLiteral("fornitore"), v[1].isEmpty() ? v[0] : v[0] + u' ' + v[1]);
    report.AddVariable(QStringLiteral("indirizzo_f"), v[2]);
    report.AddVariable(QStringLiteral("cap_f"), v[3]);
    report.AddVariable(QStringLiteral("citta_f"), v[4]);
    report.AddVariable(QStringLiteral("cod_fisc_f"), v[5]);
    report.AddVariable(QStringLiteral("pi"), v[6]);
    report.AddVariable(QStringLiteral("saluto_f"), documents::salutation(v[0], v[1], v[6]));
}

// The rows of the year split by whether their withholding was paid to the tax office (it has the
// date of its payment): only those paid are certified; the others are listed as still to pay.
struct SplitRows {
    documents::MemoryRecordSource paid, unpaid;
    double paidSum = 0, unpaidSum = 0;
};

void splitByPayment(store::Dataset& rows, SplitRows& out)
{
    const QStringList columns = rows.fieldNames();
    out.paid.setColumns(columns);
    out.unpaid.setColumns(columns);
    documents::DatasetSource source(rows);
    for (source.first(); !source.eof(); source.next()) {
        QVariantList row;
        for (const QString& c : columns)
            row << source.value(c);
        const bool paid = !source.value(QStringLiteral("DataRitenuta")).isNull()
                          && !source.value(QStringLiteral("DataRitenuta")).toString().isEmpty();
        const double withheld = source.value(QStringLiteral("RitenuteOperate")).toDouble();
        (paid ? out.paid : out.unpaid).appendRow(row);
        (paid ? out.paidSum : out.unpaidSum) += withheld;
    }
    out.paid.first();
    out.unpaid.first();
}

void produceOne(app::Workspace& ws, documents::TRtfReport& report, int year, const QDate& today,
                const CertificateEntry& e)
{
    store::Dataset& rows = ws.ds(QStringLiteral("ADOTableCertificazioni"));
    report.ClearVariables();
    report.SetInFile(documents::templatePath(ws, kCertificazione));
    report.SetOutFile(certificatePath(ws, year, e.caption));
    documents::makeDocumentFolder(ws, documents::condominiumFolder(ws));
    addCondominium(ws, report);
    addSupplier(ws, report, e.supplierId);
    report.AddVariable(QStringLiteral("anno"), QString::number(year));
    report.AddVariable(QStringLiteral("data"), documents::shortDate(today));

    // Read afresh: an expense may have been recorded since the register was opened.
    rows.setFilter(certificateFilter(ws.selection.condominium, e.supplierId, year));
    rows.setSort(QStringLiteral("DataFattura ASC"));
    rows.requery();
    double sum = 0;
    const int n = rows.rowCount();
    for (int r = 0; r < n; ++r)
        sum += rows.valueAt(r, QStringLiteral("RitenuteOperate")).toDouble();
    const QString total = certificateTotal(sum);
    report.AddVariable(QStringLiteral("importo"), total);
    report.AddVariable(QStringLiteral("lettere"), certificateTotalInWords(total));
    SplitRows split;
    splitByPayment(rows, split);
    const QString paid = certificateTotal(split.paidSum);
    report.AddVariable(QStringLiteral("importo_versato"), paid);
    report.AddVariable(QStringLiteral("lettere_versato"), certificateTotalInWords(paid));
    report.AddVariable(QStringLiteral("importo_da_versare"), certificateTotal(split.unpaidSum));
    report.AddVariable(QStringLiteral("n_da_versare"), QString::number(split.unpaid.recordCount()));
    documents::addStudioVariables(report);
    rows.first();

    // A: every withholding of the year (the templates written before the split use it); B: those
    // paid to the tax office; C: those still to pay.
    documents::DatasetSource source(rows);
    report.Merge({&source, &split.paid, &split.unpaid});
    documents::removeVariables(report, kVariables + documents::studioVariableNames());
}

} // namespace

QString certificateTotal(double sum)
{
    // Cents rounded once, so that 0.1 + 0.2 prints 0.30.
    return QString::number(double(std::llround(sum * 100.0)) / 100.0, 'f', 2);
}

QString certificateTotalInWords(const QString& totalText)
{
    const QString words = cashbook::receiptTotalInWords(totalText);
    return words.startsWith(u'/') ? QStringLiteral("zero") + words : words;
}

QString certificateFilter(const QString& condominium, qint64 supplierId, int year)
{
    return store::andTerms({yearTerms(condominium, year), store::equalsTerm(QStringLiteral("idFornitore"), supplierId),
                            QStringLiteral("CodTributo<>''")});
}

QString certificatePath(const app::Workspace& ws, int year, const QString& caption)
{
    return documents::condominiumFolder(ws) + QString::number(year) + QStringLiteral(" - ") + fileNamePart(caption) +
           QStringLiteral(".rtf");
}

CertificateRun produceCertificates(app::Workspace& ws, documents::TRtfReport& report, const CertificateRequest& rq,
                                   const std::function<void(int)>& gauge)
{
    CertificateRun run;
    const int year = referenceYear(rq.year);
    if (year == 0) {
        run.outcome = app::Outcome::refused(kRequireReferenceYear, app::MessageKind::Information);
        return run;
    }
    documents::BatchSteps steps;
    steps.count = int(rq.entries.size());
    steps.checked = [&](int i) { return rq.entries[i].checked; };
    steps.produce = [&](int i) { produceOne(ws, report, year, rq.today, rq.entries[i]); };
    steps.failure = [&](int i, const QString& failure) {
        return QStringLiteral("Certificazione %1 per %2 non prodotta (modello \"%3\"): %4\n"
                              "Le certificazioni già scritte restano; le successive non sono state prodotte.")
            .arg(QString::number(year), rq.entries[i].caption, documents::templatePath(ws, kCertificazione), failure);
    };
    steps.gauge = gauge;
    return documents::produceBatch(report, steps);
}

WithholdingSuppliers suppliersWithWithholding(app::Workspace& ws, const QString& yearText)
{
    WithholdingSuppliers result;
    const int year = referenceYear(yearText);
    if (year == 0) {
        result.outcome = app::Outcome::refused(kRequireReferenceYear, app::MessageKind::Information);
        return result;
    }
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT DISTINCT IdFornitore FROM Uscite WHERE Condominio = ? "
                                                    "AND COALESCE(CodTributo, '') <> '' "
                                                    "AND substr(PeriodoRiferimento, 1, 4) = ?"));
    st.bind(1, ws.selection.condominium);
    st.bind(2, QString::number(year));
    while (st.step())
        if (!st.value(0).isNull())
            result.ids.insert(st.value(0).toLongLong());
    result.outcome = app::Outcome::accepted();
    return result;
}

app::Outcome selectModello770(app::Workspace& ws, const QString& yearText)
{
    const int year = referenceYear(yearText);
    if (year == 0)
        return app::Outcome::refused(kRequireReferenceYear, app::MessageKind::Information);
    store::Dataset& rows = ws.ds(QStringLiteral("ADOTable770"));
    rows.setFilter(yearTerms(ws.selection.condominium, year));
    rows.requery();
    return app::Outcome::accepted().add(
        app::MessageKind::Information,
        QStringLiteral("Modello 770 %1: %2 ritenute selezionate").arg(QString::number(year)).arg(rows.rowCount()));
}

} // namespace velcaris::reports
