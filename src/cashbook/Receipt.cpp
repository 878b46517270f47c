#include "cashbook/Receipt.h"

#include "foundation/OutputPaths.h"
#include "foundation/Selection.h"
#include "foundation/Settings.h"
#include "cashbook/Balances.h"
#include "cashbook/AmountInWords.h"
#include "cashbook/ReceiptFunctions.h"
#include "documents/LetterVariables.h"
#include "platform/Shell.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace velcaris::cashbook {

namespace {

const QStringList kFunctionNames{QStringLiteral("grid1"), QStringLiteral("incrow1"), QStringLiteral("col1"),
                                 QStringLiteral("col2"), QStringLiteral("col3")};

// The engine lent to one receipt: the line functions over `rows`, markers of variables a receipt
// does not set (the year and the words of a recreated one) left out of the document, and
// everything given back afterwards, also after a failure.
class ReceiptEngine {
public:
    ReceiptEngine(documents::TRtfReport& report, ReceiptSource source) : report_(report), options_(report.Options)
    {
        setReceiptLine(1);
        report_.ClearVariables();
        report_.Options |= documents::moClearMissedFields;
        addReceiptFunctions(report_.UDFList1, [source] { return source; });
    }
    ~ReceiptEngine()
    {
        for (const QString& name : kFunctionNames)
            report_.UDFList1.remove(name);
        report_.ClearVariables();
        report_.Options = options_;
    }
    ReceiptEngine(const ReceiptEngine&) = delete;
    ReceiptEngine& operator=(const ReceiptEngine&) = delete;

private:
    documents::TRtfReport& report_;
    int options_;
};

struct NameParts {
    QString name, address;
};

NameParts splitName(const QString& condominium)
{
    app::Selection parts;
    parts.shortName = condominium; // a name without a dash is all name
    app::SplitCondominiumName(parts, condominium);
    return {parts.shortName, parts.address};
}

struct CondominiumRow {
    QString town, taxCode;
};

CondominiumRow condominiumRow(app::Workspace& ws, const QString& condominium)
{
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT Comune, Codice_fiscale FROM Condomini WHERE Nome = ? LIMIT 1"));
    st.bind(1, condominium);
    CondominiumRow row;
    if (st.step()) {
        row.town = st.value(0).toString();
        row.taxCode = st.value(1).toString();
    }
    return row;
}

// What the receipt says of the payment beside its lines: the units whose quotas it paid ("A1,
// B2") and how it was paid ("in contanti", "sul conto corrente del condominio").
struct PaymentFacts {
    QString units, method;
};

PaymentFacts paymentFacts(app::Workspace& ws, const QString& condominium, const QString& year, int number)
{
    PaymentFacts facts;
    QStringList units;
    // The units of the quotas the receipt's rows were applied to, and of those that name a row
    // as their last payment (payments recorded before the applications were kept). Each step
    // goes through an index (the condominium's quotas at most), never over the whole quota table.
    const QString rows = QStringLiteral("SELECT e.id FROM Entrate AS e WHERE e.Condominio = ? AND e.AA = ? AND e.Ricevuta = ?");
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT DISTINCT l.Nome FROM Locali AS l WHERE l.IdCondominio = ? AND ("
                                       "l.Id IN (SELECT q.IdLocale FROM Quote AS q WHERE q.IdQuota IN "
                                       "(SELECT pq.IdQuota FROM PagamentiQuote AS pq WHERE pq.IdEntrata IN (%1))) "
                                       "OR l.Id IN (SELECT q.IdLocale FROM Quote AS q WHERE q.IdCondominio = ? AND q.idEntrata IN (%1))) "
                                       "ORDER BY l.Nome")
                            .arg(rows));
    st.bindAll({condominium, condominium, year, number, condominium, condominium, year, number});
    while (st.step())
        if (!st.value(0).toString().isEmpty())
            units << st.value(0).toString();
    facts.units = units.join(QStringLiteral(", "));
    QStringList methods;
    store::Statement m(ws.mainDb(), QStringLiteral("SELECT DISTINCT MetodoPagamento FROM Entrate "
                                                   "WHERE Condominio = ? AND AA = ? AND Ricevuta = ? "
                                                   "ORDER BY MetodoPagamento"));
    m.bindAll({condominium, year, number});
    while (m.step()) {
        const QString method = m.value(0).toString();
        if (method.isEmpty())
            continue;
        methods << (countsAsCash(method) ? QStringLiteral("in contanti")
                                         : QStringLiteral("sul conto corrente del condominio"));
    }
    methods.removeDuplicates();
    facts.method = methods.join(QStringLiteral(" e "));
    return facts;
}

// The variables every receipt shares beside its own: the administrator and the studio, the units
// and the way of payment.
void addPaymentFacts(app::Workspace& ws, documents::TRtfReport& report, const QString& condominium,
                     const QString& year, int number)
{
    const PaymentFacts facts = paymentFacts(ws, condominium, year, number);
    report.AddVariable(QStringLiteral("unita"), facts.units);
    report.AddVariable(QStringLiteral("pagamento"), facts.method);
    report.AddVariable(QStringLiteral("amministratore"), app::currentSettings().amministratore);
    documents::addStudioVariables(report);
}

// The receipts' folder exists (it is made again when it was deleted, never outside Output/);
// the problem otherwise.
QString ensureFolder(const app::Workspace& ws, const QString& path)
{
    return app::makeOutputFolder(ws.paths(), QFileInfo(path).absolutePath());
}

QDate dateOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

// Runs the merge; a missing template, the engine's or the store's failure becomes the problem's
// text, naming the template.
template <class F>
QString guarded(const QString& templateFile, F&& merge)
{
    const QString shown = QDir::toNativeSeparators(templateFile);
    if (!QFileInfo::exists(templateFile))
        return QStringLiteral("manca il modello delle ricevute \"%1\".").arg(shown);
    QString failure;
    try {
        merge();
        return QString();
    } catch (const documents::ReportError& e) {
        failure = e.message();
    } catch (const store::StoreError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    }
    return QStringLiteral("errore nel modello \"%1\": %2").arg(shown, failure);
}

void printIfAsked(ReceiptRun& run, bool print, platform::Shell& shell, int number)
{
    if (!print || !run.written)
        return;
    if (!shell.print(run.path))
        run.problems << QStringLiteral("La ricevuta n.%1 non è stata stampata: %2\nIl documento resta in \"%3\".")
                            .arg(number)
                            .arg(shell.lastError(), QDir::toNativeSeparators(run.path));
}

} // namespace

QString receiptFolder(const app::Workspace& ws, const QString& condominium)
{
    return ws.paths().outputFolder() + condominium + QStringLiteral("/Ricevute/");
}

QString receiptPath(const app::Workspace& ws, const QString& condominium, int number, const QString& year)
{
    return receiptFolder(ws, condominium) + QStringLiteral("Ricevuta n.") + QString::number(number)
         + QStringLiteral(" - A.A.") + year + QStringLiteral(".rtf");
}

std::optional<int> receiptFileNumber(const QString& fileName, const QString& year)
{
    const QRegularExpression name(QStringLiteral("^Ricevuta n\\.(\\d{1,9}) - A\\.A\\.%1( ANNULLATA)?\\.(rtf|pdf)$")
                                      .arg(QRegularExpression::escape(year)),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = name.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

QString receiptQuestion(bool exists, const QString& number, const QString& persona, const QString& date)
{
    return (exists ? QStringLiteral("Vuoi aprire la ricevuta N.") : QStringLiteral("Vuoi creare la ricevuta N.")) + number
         + QStringLiteral(" per il pagamento di ") + persona + QStringLiteral(" in data ") + date + u'?';
}

ReceiptRun writePaymentReceipt(app::Workspace& ws, documents::TRtfReport& report, const PaidReceipt& receipt,
                               bool print, platform::Shell& shell)
{
    ReceiptRun run;
    run.path = receiptPath(ws, receipt.condominium, receipt.number, receipt.year);
    documents::MemoryRecordSource grid({QStringLiteral("Quota"), QStringLiteral("Importo"), QStringLiteral("Nota")}, {});
    for (const ReceiptLine& line : receipt.lines)
        grid.appendRow({line.quota, line.amount, line.note});
    grid.first();

    QString problem = ensureFolder(ws, run.path);
    if (problem.isEmpty()) {
        const ReceiptEngine engine(report, {ReceiptSource::Kind::PaymentGrid, &grid});
        const QString templateFile = documents::templatePath(ws, kReceiptTemplate);
        problem = guarded(templateFile, [&] {
            report.SetInFile(templateFile);
            report.SetOutFile(run.path);
            const NameParts name = splitName(receipt.condominium);
            const CondominiumRow row = condominiumRow(ws, receipt.condominium);
            const QString total = receipt.total.toString();
            report.AddVariable(QStringLiteral("anno"), receipt.year);
            report.AddVariable(QStringLiteral("condominio"), name.name);
            report.AddVariable(QStringLiteral("ind_condominio"), name.address);
            report.AddVariable(QStringLiteral("citta_cond"), row.town);
            report.AddVariable(QStringLiteral("cod_fisc"), row.taxCode);
            report.AddVariable(QStringLiteral("numero_ricevuta"), QString::number(receipt.number));
            report.AddVariable(QStringLiteral("data"), documents::shortDate(receipt.date));
            report.AddVariable(QStringLiteral("persona"), receipt.payer);
            report.AddVariable(QStringLiteral("totale"), total);
            report.AddVariable(QStringLiteral("lettere"), receiptTotalInWords(total));
            addPaymentFacts(ws, report, receipt.condominium, receipt.year, receipt.number);
            report.Merge();
        });
    }
    if (!problem.isEmpty()) {
        run.problems << QStringLiteral("Il pagamento è registrato, ma la ricevuta n.%1 non è stata creata: %2\n"
                                       "Si può crearla di nuovo con un doppio clic sulla riga del pagamento nel "
                                       "registro delle entrate.")
                            .arg(receipt.number)
                            .arg(problem);
        return run;
    }
    run.written = true;
    printIfAsked(run, print, shell, receipt.number);
    return run;
}

ReceiptRun recreateReceipt(app::Workspace& ws, documents::TRtfReport& report, const QString& condominium,
                           int number, const QString& year, bool print, platform::Shell& shell)
{
    ReceiptRun run;
    run.path = receiptPath(ws, condominium, number, year);

    documents::MemoryRecordSource rows({QStringLiteral("Nome"), QStringLiteral("Importo"), QStringLiteral("Nota")}, {});
    QDate first;
    QString persona;
    store::Money total;
    {
        store::Statement st(ws.mainDb(),
                            QStringLiteral("SELECT Nome, Importo, Nota, Data, Persona FROM QueryEntrateAC "
                                           "WHERE Condominio = ? AND AA = ? AND Ricevuta = ? ORDER BY Data, Id"));
        st.bindAll({condominium, year, number});
        while (st.step()) {
            if (rows.recordCount() == 0) {
                first = dateOf(st.value(3));
                persona = st.value(4).toString();
            }
            rows.appendRow({st.value(0), st.value(1), st.value(2)});
            total += store::Money::fromDouble(st.value(1).toDouble());
        }
    }
    if (rows.recordCount() == 0) {
        run.problems << QStringLiteral("Nessun pagamento con la ricevuta n.%1 nell'anno %2 del condominio \"%3\": la "
                                       "ricevuta non è stata creata.")
                            .arg(number)
                            .arg(year, condominium);
        return run;
    }
    rows.first();

    QString problem = ensureFolder(ws, run.path);
    if (problem.isEmpty()) {
        const ReceiptEngine engine(report, {ReceiptSource::Kind::IncomeRegister, &rows});
        const QString templateFile = documents::templatePath(ws, kReceiptTemplate);
        problem = guarded(templateFile, [&] {
            report.SetInFile(templateFile);
            report.SetOutFile(run.path);
            const NameParts name = splitName(condominium);
            const CondominiumRow row = condominiumRow(ws, condominium);
            report.AddVariable(QStringLiteral("condominio"), name.name);
            report.AddVariable(QStringLiteral("ind_condominio"), name.address);
            report.AddVariable(QStringLiteral("citta_cond"), row.town);
            report.AddVariable(QStringLiteral("cod_fisc"), row.taxCode);
            report.AddVariable(QStringLiteral("numero_ricevuta"), QString::number(number));
            report.AddVariable(QStringLiteral("data"), documents::shortDate(first));
            report.AddVariable(QStringLiteral("persona"), persona);
            report.AddVariable(QStringLiteral("totale"), total.toString());
            addPaymentFacts(ws, report, condominium, year, number);
            report.Merge();
        });
    }
    if (!problem.isEmpty()) {
        run.problems << QStringLiteral("La ricevuta n.%1 non è stata creata: %2").arg(number).arg(problem);
        return run;
    }
    run.written = true;
    if (!shell.open(run.path))
        run.problems << QStringLiteral("La ricevuta n.%1 è stata creata in \"%2\" ma non si è potuta aprire: %3")
                            .arg(number)
                            .arg(QDir::toNativeSeparators(run.path), shell.lastError());
    printIfAsked(run, print, shell, number);
    return run;
}

} // namespace velcaris::cashbook
