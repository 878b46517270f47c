#include "accounts/RendicontoDocument.h"

#include "accounts/RendicontoSections.h"
#include "documents/LetterVariables.h"
#include "documents/ReportError.h"
#include "reports/RegisterExport.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::accounts {

using store::Money;

namespace {

QString money(Money m)
{
    return m.toString();
}

QString nonZero(Money m)
{
    return m.isZero() ? QString() : m.toString();
}

QString day(const QDate& d)
{
    return d.isValid() ? documents::shortDate(d) : QString();
}

QString owner(const QString& name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("(senza proprietario)") : name;
}

bool inArrears(const OwnerCredit& c)
{
    return c.total() > Money();
}

} // namespace

QStringList rendicontoVariableNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const char* name :
             {"anno", "inizio", "fine", "stato_esercizio", "prev_ordinarie", "cons_ordinarie", "diff_ordinarie",
              "prev_straordinarie", "cons_straordinarie", "diff_straordinarie", "prev_totale", "cons_totale",
              "diff_totale", "perc_totale", "ripartito", "non_ripartito", "note_riparto", "quota_riportata", "tot_quota",
              "tot_addebitato", "tot_conguaglio", "tot_riportato", "tot_versato", "tot_morosita", "reg_entrate",
              "reg_uscite", "saldo_cassa", "saldo_banca", "iniz_cassa", "iniz_banca", "iniz_totale", "entr_cassa",
              "entr_banca", "entr_totale", "giro_cassa", "giro_banca", "giro_totale", "usc_cassa", "usc_banca",
              "usc_totale", "fin_cassa", "fin_banca", "fin_totale", "tot_crediti", "tot_debiti", "tot_ritenute",
              "quote_addebitate", "spese_effettive", "risultato", "esito", "n_interventi", "n_scadenze", "n_morosi",
              "n_fornitori"})
            n << QString::fromLatin1(name);
        return n;
    }();
    return names;
}

RendicontoSources::RendicontoSources(const Rendiconto& r, const PendingMatters& pending)
{
    consuntivo.setColumns({QStringLiteral("Tabella"), QStringLiteral("Voce"), QStringLiteral("Tipo"),
                           QStringLiteral("Preventivo"), QStringLiteral("Consuntivo"), QStringLiteral("Differenza"),
                           QStringLiteral("Percentuale")});
    const Consuntivo& c = r.consuntivo;
    int table = 0;
    for (int i = 0; i < c.lines.size(); ++i) {
        const ConsuntivoLine& l = c.lines[i];
        consuntivo.appendRow({tableText(l.table), l.item, expenseKindText(l.extraordinary), money(l.figures.budget),
                              money(l.figures.actual), money(l.figures.difference()), percentageText(l.figures)});
        if ((i + 1 == c.lines.size() || c.lines[i + 1].table != l.table) && table < c.tables.size()) {
            const ConsuntivoTable& t = c.tables[table++];
            consuntivo.appendRow({tableText(t.table), QStringLiteral("Totale"), QString(), money(t.figures.budget),
                                  money(t.figures.actual), money(t.figures.difference()), percentageText(t.figures)});
        }
    }

    riparto.setColumns({QStringLiteral("Tabella"), QStringLiteral("Locale"), QStringLiteral("Millesimi"),
                        QStringLiteral("Ordinarie"), QStringLiteral("Straordinarie"), QStringLiteral("Totale")});
    for (const RipartoTable& t : r.riparto.tables) {
        double thousandths = 0;
        for (const RipartoUnit& u : t.units) {
            thousandths += u.thousandths;
            if (u.thousandths == 0 && u.total().isZero())
                continue;
            riparto.appendRow({tableText(t.table), u.unit, store::formatThousandths(u.thousandths), money(u.ordinary),
                               money(u.extraordinary), money(u.total())});
        }
        if (!t.undivided.isZero())
            riparto.appendRow({tableText(t.table), QStringLiteral("Non ripartito"), QString(), QString(), QString(),
                               money(t.undivided)});
        riparto.appendRow({tableText(t.table), QStringLiteral("Totale"),
                           t.units.isEmpty() ? QString() : store::formatThousandths(thousandths), money(t.ordinary),
                           money(t.extraordinary), money(t.total())});
    }

    situazione.setColumns({QStringLiteral("Locale"), QStringLiteral("Proprietario"), QStringLiteral("Inquilino"),
                           QStringLiteral("Quota"), QStringLiteral("Addebitato"), QStringLiteral("Conguaglio"),
                           QStringLiteral("Riportato"), QStringLiteral("Versato"), QStringLiteral("Morosita")});
    for (const UnitStatementLine& l : r.units.lines)
        situazione.appendRow({l.unit, l.owner, l.tenant, money(l.share), money(l.charged), money(l.conguaglio()),
                              money(l.carried), money(l.paid), money(l.arrears())});

    registro.setColumns({QStringLiteral("Data"), QStringLiteral("Numero"), QStringLiteral("Controparte"),
                         QStringLiteral("Descrizione"), QStringLiteral("Luogo"), QStringLiteral("Entrata"),
                         QStringLiteral("Uscita"), QStringLiteral("SaldoCassa"), QStringLiteral("SaldoBanca")});
    for (const RegisterLine& l : r.movements.lines)
        registro.appendRow({day(l.date), l.number, l.counterpart, l.description,
                            l.place == Place::Cash ? QStringLiteral("Cassa") : QStringLiteral("Banca"), nonZero(l.in),
                            nonZero(l.out), money(l.cashBalance), money(l.bankBalance)});

    const FinancialSummary& f = r.summary;
    crediti.setColumns({QStringLiteral("Proprietario"), QStringLiteral("Anno"), QStringLiteral("Precedenti"),
                        QStringLiteral("Totale")});
    morosi.setColumns({QStringLiteral("Proprietario"), QStringLiteral("Importo")});
    for (const OwnerCredit& o : f.credits) {
        crediti.appendRow({owner(o.owner), money(o.thisYear), money(o.earlier), money(o.total())});
        if (inArrears(o))
            morosi.appendRow({owner(o.owner), money(o.total())});
    }
    debiti.setColumns({QStringLiteral("Fornitore"), QStringLiteral("Spese"), QStringLiteral("Importo")});
    for (const SupplierDebt& d : f.debts)
        debiti.appendRow({d.supplier, d.expenses, money(d.amount)});
    ritenute.setColumns({QStringLiteral("Mese"), QStringLiteral("Codice"), QStringLiteral("Importo")});
    for (const PendingWithholding& w : f.withholdings)
        ritenute.appendRow({w.month.isValid() ? w.month.toString(QStringLiteral("MM/yyyy")) : QString(), w.code,
                            money(w.amount)});

    interventi.setColumns({QStringLiteral("Data"), QStringLiteral("Contatto"), QStringLiteral("Descrizione")});
    for (const OpenIntervention& i : pending.interventions)
        interventi.appendRow({day(i.date), i.contact, i.description});
    scadenze.setColumns({QStringLiteral("Data"), QStringLiteral("Soggetto"), QStringLiteral("Descrizione"),
                         QStringLiteral("Importo")});
    for (const OpenDeadline& d : pending.deadlines)
        scadenze.appendRow({day(d.due), d.subject, d.description, nonZero(d.amount)});

    for (documents::RecordSource* s : all())
        s->first();
}

QVector<documents::RecordSource*> RendicontoSources::all()
{
    return {&consuntivo, &riparto, &situazione, &registro, &crediti, &debiti, &ritenute, &interventi, &scadenze, &morosi};
}

void addRendicontoVariables(app::Workspace& ws, documents::TRtfReport& report, const Rendiconto& r,
                            const PendingMatters& pending, const std::optional<ClosingRecord>& closing,
                            const QDate& today)
{
    documents::addCommonVariables(ws, report, today);
    auto add = [&report](const char* name, const QString& value) { report.AddVariable(QString::fromLatin1(name), value); };
    auto place = [&add](const char* prefix, const PlaceFigures& p) {
        add(QByteArray(prefix).append("_cassa").constData(), money(p.cash));
        add(QByteArray(prefix).append("_banca").constData(), money(p.bank));
        add(QByteArray(prefix).append("_totale").constData(), money(p.total()));
    };

    add("anno", r.year.name);
    add("inizio", day(r.year.start));
    add("fine", day(r.year.end));
    add("stato_esercizio", closing ? QStringLiteral("Esercizio chiuso il %1: conguagli e saldi riportati "
                                                    "nell'esercizio successivo.")
                                         .arg(day(closing->day))
                                   : QStringLiteral("Esercizio non ancora chiuso."));

    const Consuntivo& c = r.consuntivo;
    add("prev_ordinarie", money(c.ordinary.budget));
    add("cons_ordinarie", money(c.ordinary.actual));
    add("diff_ordinarie", money(c.ordinary.difference()));
    add("prev_straordinarie", money(c.extraordinary.budget));
    add("cons_straordinarie", money(c.extraordinary.actual));
    add("diff_straordinarie", money(c.extraordinary.difference()));
    add("prev_totale", money(c.total.budget));
    add("cons_totale", money(c.total.actual));
    add("diff_totale", money(c.total.difference()));
    add("perc_totale", percentageText(c.total));

    add("ripartito", money(r.riparto.shared));
    add("non_ripartito", money(r.riparto.undivided));
    add("note_riparto", r.riparto.notes.isEmpty() ? QStringLiteral("Nessuna.") : r.riparto.notes.join(u'\n'));

    const UnitStatement& u = r.units;
    add("quota_riportata", u.carriedQuotaName.isEmpty() ? QStringLiteral("Conguaglio precedente") : u.carriedQuotaName);
    add("tot_quota", money(u.share));
    add("tot_addebitato", money(u.charged));
    add("tot_conguaglio", money(u.conguaglio));
    add("tot_riportato", money(u.carried));
    add("tot_versato", money(u.paid));
    add("tot_morosita", money(u.arrears));

    const Register& g = r.movements;
    add("reg_entrate", money(g.cashIn + g.bankIn));
    add("reg_uscite", money(g.cashOut + g.bankOut));
    add("saldo_cassa", money(g.closingCash()));
    add("saldo_banca", money(g.closingBank()));

    const FinancialSummary& f = r.summary;
    place("iniz", f.opening);
    place("entr", f.income);
    place("giro", f.transfers);
    place("usc", f.expenses);
    place("fin", f.closing);
    add("tot_crediti", money(f.creditsTotal));
    add("tot_debiti", money(f.debtsTotal));
    add("tot_ritenute", money(f.withholdingsTotal));
    add("quote_addebitate", money(f.quotasCharged));
    add("spese_effettive", money(f.actualExpenses));
    add("risultato", money(f.result()));
    add("esito", resultText(f.result()));

    int arrears = 0;
    for (const OwnerCredit& o : f.credits)
        arrears += inArrears(o) ? 1 : 0;
    add("n_interventi", QString::number(pending.interventions.size()));
    add("n_scadenze", QString::number(pending.deadlines.size()));
    add("n_morosi", QString::number(arrears));
    add("n_fornitori", QString::number(f.debts.size()));
}

QString rendicontoDocumentPath(const app::Workspace& ws, const QString& yearName, const QDate& today)
{
    return documents::condominiumFolder(ws) + QStringLiteral("Rendiconto ") + reports::fileNamePart(yearName) +
           QStringLiteral(" - ") + documents::dateStamp(today) + QStringLiteral(".rtf");
}

RendicontoFile produceRendiconto(app::Workspace& ws, documents::TRtfReport& report, const Rendiconto& r,
                                 const PendingMatters& pending, const QDate& today)
{
    RendicontoFile out;
    if (ws.selection.condominium.isEmpty()) {
        out.outcome = app::Outcome::refused(QStringLiteral("Selezionare prima un condominio"));
        return out;
    }
    const QString target = rendicontoDocumentPath(ws, r.year.name, today);
    RendicontoSources sources(r, pending);
    report.ClearVariables();
    // Cleared whatever happens: the engine is shared with the window's other documents.
    struct Clear {
        documents::TRtfReport& report;
        ~Clear() { report.ClearVariables(); }
    } clear{report};
    try {
        addRendicontoVariables(ws, report, r, pending, closingOf(ws.mainDb(), r.year), today);
        report.SetInFile(documents::templatePath(ws, kRendicontoTemplate));
        report.SetOutFile(target);
        documents::makeDocumentFolder(ws, QFileInfo(target).absolutePath());
        report.Merge(sources.all());
    } catch (const documents::ReportError& e) {
        out.outcome = app::Outcome::failed(QStringLiteral("%1 (modello %2): %3")
                                               .arg(kRendicontoTemplate,
                                                    QDir::toNativeSeparators(documents::templatePath(ws, kRendicontoTemplate)),
                                                    e.message()));
        return out;
    }
    out.outcome = app::Outcome::accepted();
    out.written = target;
    return out;
}

} // namespace velcaris::accounts
