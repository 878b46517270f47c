#include "documents/Letters.h"

#include "foundation/Settings.h"
#include "documents/DatasetSource.h"
#include "documents/LateInterest.h"
#include "documents/LetterRecipients.h"
#include "documents/LetterVariables.h"
#include "store/FilterText.h"
#include "store/Money.h"
#include "store/StoreError.h"

#include <QDir>

namespace velcaris::documents {

namespace {

const QString kSortSolleciti = QStringLiteral("Inquilino ASC, Nome ASC, Tipologia ASC, DataScadenza ASC");
// A reminder lists what is due in the order it fell due.
const QString kSortReminder = QStringLiteral("DataScadenza ASC, Locale ASC, Nome ASC, Tipologia ASC");

struct Address {
    QString persona, indirizzo, cap, citta, saluto;
};

// The person's row of Anagrafe; empty values when there is none.
Address addressOf(app::Workspace& ws, qint64 id)
{
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT Cognome, Nome, Indirizzo, CAP, \"Città\" FROM Anagrafe WHERE Id = ?"));
    st.bind(1, id);
    Address a;
    if (!st.step())
        return a;
    const QString surname = st.value(0).toString();
    const QString name = st.value(1).toString();
    a.persona = name.isEmpty() ? surname : surname + u' ' + name;
    a.saluto = salutation(surname, name);
    a.indirizzo = st.value(2).toString();
    a.cap = st.value(3).toString();
    a.citta = st.value(4).toString();
    return a;
}

// How the reminder names the rate of its interest; empty when none is computed.
QString interestRateText(const app::LateInterest& rule, const QDate& today)
{
    if (!rule.enabled)
        return QString();
    if (rule.legal)
        return QStringLiteral("al tasso legale in vigore anno per anno (%1% annuo nel %2)")
            .arg(store::italianForm(store::formatAmount(legalInterestPercent(today.year()))))
            .arg(today.year());
    return QStringLiteral("al tasso del %1% annuo").arg(store::italianForm(store::formatAmount(rule.ratePercent)));
}

void addAddress(TRtfReport& report, const Address& a)
{
    report.AddVariable(QStringLiteral("indirizzo"), a.indirizzo);
    report.AddVariable(QStringLiteral("cap"), a.cap);
    report.AddVariable(QStringLiteral("città"), a.citta);
}

// The covering letters: the person and the meeting, no dataset.
void mergeCovering(app::Workspace& ws, TRtfReport& report, const LetterRequest& rq, const LetterEntry& e)
{
    const Address a = addressOf(ws, e.personId);
    report.AddVariable(QStringLiteral("persona"), a.persona);
    report.AddVariable(QStringLiteral("saluto"), a.saluto.isEmpty() ? salutation(QString(), QString()) : a.saluto);
    addAddress(report, a);
    report.AddVariable(QStringLiteral("assemblea"),
                       rq.straordinaria ? QStringLiteral("Straordinaria") : QStringLiteral("Ordinaria"));
    QStringList added{QStringLiteral("persona"), QStringLiteral("saluto"), QStringLiteral("indirizzo"), QStringLiteral("cap"),
                      QStringLiteral("città"), QStringLiteral("assemblea")};
    if (rq.kind == kAccompagnamentoVerbale) {
        report.AddVariable(QStringLiteral("data1"), shortDate(rq.data1));
        report.AddVariable(QStringLiteral("data2"), shortDate(rq.data2));
        added << QStringLiteral("data1") << QStringLiteral("data2");
    }
    report.Merge();
    removeVariables(report, added);
}

// The account situation and the reminder: the person's instalments as dataset A.
void mergeInstalments(app::Workspace& ws, TRtfReport& report, const LetterRequest& rq, const LetterEntry& e)
{
    const PersonRole role = personRole(ws, e.personId);
    store::Dataset& solleciti = ws.ds(QStringLiteral("ADOTableSolleciti"));

    const QString iban = ws.mainDb()
                             .scalar(QStringLiteral("SELECT Conto_corrente FROM Condomini WHERE Nome = ?"),
                                     {ws.selection.condominium})
                             .toString();
    const QString holder = ws.mainDb()
                               .scalar(QStringLiteral("SELECT Intestatario FROM Condomini WHERE Nome = ?"),
                                       {ws.selection.condominium})
                               .toString();
    report.AddVariable(QStringLiteral("contocorrente"), iban);
    report.AddVariable(QStringLiteral("intestatario"), holder);
    const Address address = addressOf(ws, e.personId);
    addAddress(report, address);

    // Read afresh from the database, the person's rows only: filtering first spares reading
    // every condominium's instalments for each letter. A reminder lists only what is still to
    // pay, by due date.
    const bool reminder = rq.kind == kSollecito;
    solleciti.setSort(reminder ? kSortReminder : kSortSolleciti);
    QString filter = instalmentFilter(rq.kind, role, e.personId, rq.today);
    if (reminder)
        filter = store::andTerms({filter, QStringLiteral("ImportoDaPagare>0")});
    solleciti.setFilter(filter);
    solleciti.requery();
    solleciti.first();
    QString persona;
    if (!solleciti.eof())
        persona = solleciti.value(QStringLiteral("idInquilino")).toLongLong() == e.personId
                      ? solleciti.value(QStringLiteral("Inquilino")).toString()
                      : solleciti.value(QStringLiteral("Proprietario")).toString();
    report.AddVariable(QStringLiteral("persona"), persona);
    report.AddVariable(QStringLiteral("saluto"), address.saluto.isEmpty() ? salutation(QString(), QString()) : address.saluto);
    QStringList added{QStringLiteral("contocorrente"), QStringLiteral("intestatario"), QStringLiteral("persona"),
                      QStringLiteral("saluto"), QStringLiteral("indirizzo"), QStringLiteral("cap"), QStringLiteral("città")};

    DatasetSource rows(solleciti);
    const app::LateInterest rule = app::currentSettings().lateInterest();
    LateInterestSource withInterest(rows, rq.today, rule);
    if (reminder) {
        report.AddVariable(QStringLiteral("mora"), rq.mora ? app::currentSettings().mora : QString());
        // The totals of the reminder, computed here so that the template need not add them up.
        store::Money due;
        store::Money interest;
        for (withInterest.first(); !withInterest.eof(); withInterest.next()) {
            due += store::Money::fromDouble(withInterest.value(QStringLiteral("ImportoDaPagare")).toDouble());
            interest += store::Money::fromDouble(withInterest.value(QStringLiteral("Interessi")).toDouble());
        }
        withInterest.first();
        report.AddVariable(QStringLiteral("totale_dovuto"), due.toString());
        report.AddVariable(QStringLiteral("totale_interessi"), rule.enabled ? interest.toString() : QString());
        report.AddVariable(QStringLiteral("totale_con_interessi"), (due + interest).toString());
        report.AddVariable(QStringLiteral("tasso_interessi"), interestRateText(rule, rq.today));
        added << QStringLiteral("mora") << QStringLiteral("totale_dovuto") << QStringLiteral("totale_interessi")
              << QStringLiteral("totale_con_interessi") << QStringLiteral("tasso_interessi");
    }
    report.Merge({&withInterest});
    removeVariables(report, added);
}

void produceOne(app::Workspace& ws, TRtfReport& report, const LetterRequest& rq, const LetterEntry& e)
{
    report.ClearVariables();
    report.SetInFile(templatePath(ws, rq.kind));
    report.SetOutFile(letterPath(ws, rq.kind, e, rq.today));
    makeDocumentFolder(ws, condominiumFolder(ws));
    addCommonVariables(ws, report, rq.today);
    if (rq.kind == kAccompagnamentoAssemblea || rq.kind == kAccompagnamentoVerbale)
        mergeCovering(ws, report, rq, e);
    else if (rq.kind == kSituazione || rq.kind == kSollecito)
        mergeInstalments(ws, report, rq, e);
    removeVariables(report, commonVariableNames() + QStringList{QStringLiteral("Nome")});
}

} // namespace

const QStringList& letterKinds()
{
    static const QStringList kinds{kAccompagnamentoAssemblea, kAccompagnamentoVerbale, kSituazione, kSollecito};
    return kinds;
}

QString letterPath(const app::Workspace& ws, const QString& kind, const LetterEntry& entry, const QDate& today)
{
    return condominiumFolder(ws) + kind + QStringLiteral(" - ") + entry.caption + QStringLiteral(" - ")
         + dateStamp(today) + QStringLiteral(".rtf");
}

LetterRun produceLetters(app::Workspace& ws, TRtfReport& report, const LetterRequest& request,
                         const std::function<void(int)>& gauge)
{
    if (!letterKinds().contains(request.kind))
        return {app::Outcome::accepted(), {}};
    BatchSteps steps;
    steps.count = int(request.entries.size());
    steps.checked = [&](int i) { return request.entries[i].checked; };
    steps.produce = [&](int i) { produceOne(ws, report, request, request.entries[i]); };
    steps.failure = [&](int i, const QString& failure) {
        return QStringLiteral("Lettera \"%1\" per %2 non prodotta (modello \"%3\"): %4\n"
                              "Le lettere già scritte restano; le successive non sono state prodotte.")
            .arg(request.kind, request.entries[i].caption, templatePath(ws, request.kind), failure);
    };
    steps.gauge = gauge;
    return produceBatch(report, steps);
}

} // namespace velcaris::documents
