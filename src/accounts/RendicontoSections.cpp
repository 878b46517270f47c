#include "accounts/RendicontoSections.h"

#include <utility>

namespace velcaris::accounts {

using reports::Cell;
using store::Money;
using Cells = QVector<Cell>;

namespace {

Cell amount(Money m)
{
    return Cell::ofAmount(m.toDouble());
}

// A movement's column holds the amount that moved, nothing for the other way.
Cell amountOrNothing(Money m)
{
    return m.isZero() ? Cell{} : amount(m);
}

Cell dateOrNothing(const QDate& d)
{
    return d.isValid() ? Cell::ofDate(d) : Cell{};
}

Cell text(const QString& t)
{
    return Cell::ofText(t);
}

Cell percentage(const BudgetFigures& f)
{
    const std::optional<double> p = f.percentage();
    return p ? Cell::ofAmount(*p) : Cell{};
}

Cells figures(const BudgetFigures& f)
{
    return {amount(f.budget), amount(f.actual), amount(f.difference()), percentage(f)};
}

QString ownerText(const QString& owner)
{
    return owner.trimmed().isEmpty() ? QStringLiteral("(senza proprietario)") : owner;
}

class Section {
public:
    Section(const QString& key, const QString& title, const QStringList& header)
    {
        s_.key = key;
        s_.sheet.name = title;
        s_.sheet.header = header;
    }
    void row(Cells cells) { s_.sheet.rows.push_back(std::move(cells)); }
    void total(Cells cells)
    {
        s_.totals.insert(int(s_.sheet.rows.size()));
        row(std::move(cells));
    }
    void blank() { row({}); }
    void note(const QString& n) { s_.notes << n; }
    void notes(const QStringList& n) { s_.notes += n; }
    RendicontoSection take() { return std::move(s_); }

private:
    RendicontoSection s_;
};

RendicontoSection consuntivo(const Rendiconto& r)
{
    const Consuntivo& c = r.consuntivo;
    Section s(QStringLiteral("Consuntivo"), QStringLiteral("Consuntivo"),
              {QStringLiteral("Tabella"), QStringLiteral("Voce di spesa"), QStringLiteral("Tipo"),
               QStringLiteral("Preventivo"), QStringLiteral("Consuntivo"), QStringLiteral("Differenza"),
               QStringLiteral("Differenza %")});
    // The lines come grouped by table, the tables in the lines' order: each group ends with its total.
    int table = 0;
    for (int i = 0; i < c.lines.size(); ++i) {
        const ConsuntivoLine& l = c.lines[i];
        s.row(Cells{text(tableText(l.table)), text(l.item), text(expenseKindText(l.extraordinary))} + figures(l.figures));
        const bool lastOfTable = i + 1 == c.lines.size() || c.lines[i + 1].table != l.table;
        if (lastOfTable && table < c.tables.size()) {
            const ConsuntivoTable& t = c.tables[table++];
            s.total(Cells{text(QStringLiteral("Totale ") + tableText(t.table)), {}, {}} + figures(t.figures));
        }
    }
    s.total(Cells{text(QStringLiteral("Totale spese ordinarie")), {}, {}} + figures(c.ordinary));
    s.total(Cells{text(QStringLiteral("Totale spese straordinarie")), {}, {}} + figures(c.extraordinary));
    s.total(Cells{text(QStringLiteral("Totale generale")), {}, {}} + figures(c.total));
    if (c.lines.isEmpty())
        s.note(QStringLiteral("Nessuna spesa e nessun preventivo registrati per l'esercizio %1.").arg(r.year.name));
    return s.take();
}

RendicontoSection riparto(const Rendiconto& r)
{
    const Riparto& p = r.riparto;
    Section s(QStringLiteral("Riparto"), QStringLiteral("Riparto consuntivo"),
              {QStringLiteral("Tabella"), QStringLiteral("Locale"), QStringLiteral("Millesimi"),
               QStringLiteral("Spese ordinarie"), QStringLiteral("Spese straordinarie"), QStringLiteral("Totale")});
    for (const RipartoTable& t : p.tables) {
        double thousandths = 0;
        for (const RipartoUnit& u : t.units) {
            thousandths += u.thousandths;
            // A unit outside the table (no thousandths, no share) would only lengthen the list.
            if (u.thousandths == 0 && u.total().isZero())
                continue;
            s.row({text(tableText(t.table)), text(u.unit), Cell::ofAmount(u.thousandths, 3), amount(u.ordinary),
                   amount(u.extraordinary), amount(u.total())});
        }
        if (!t.undivided.isZero())
            s.row({text(tableText(t.table)), text(QStringLiteral("Non ripartito")), {}, {}, {}, amount(t.undivided)});
        s.total({text(QStringLiteral("Totale ") + tableText(t.table)), {},
                 t.units.isEmpty() ? Cell{} : Cell::ofAmount(thousandths, 3), amount(t.ordinary),
                 amount(t.extraordinary), amount(t.total())});
    }
    Money ordinary, extraordinary;
    for (const UnitShare& u : p.units) {
        ordinary += u.ordinary;
        extraordinary += u.extraordinary;
    }
    s.total({text(QStringLiteral("Totale ripartito")), {}, {}, amount(ordinary), amount(extraordinary), amount(p.shared)});
    if (!p.undivided.isZero())
        s.total({text(QStringLiteral("Non ripartito")), {}, {}, {}, {}, amount(p.undivided)});
    if (p.tables.isEmpty())
        s.note(QStringLiteral("Nessuna spesa da ripartire nell'esercizio %1.").arg(r.year.name));
    s.notes(p.notes);
    return s.take();
}

RendicontoSection situation(const Rendiconto& r)
{
    const UnitStatement& u = r.units;
    QStringList header{QStringLiteral("Locale"), QStringLiteral("Proprietario"), QStringLiteral("Inquilino"),
                       QStringLiteral("Quota consuntivo")};
    for (const QString& type : u.types)
        header << QStringLiteral("Addebitato: %1").arg(type);
    header << QStringLiteral("Quote addebitate") << QStringLiteral("Conguaglio");
    const bool carried = !u.carriedQuotaName.isEmpty();
    if (carried)
        header << u.carriedQuotaName;
    header << QStringLiteral("Versato") << QStringLiteral("Morosità");
    Section s(QStringLiteral("Situazione"), QStringLiteral("Situazione per unità"), header);

    QVector<Money> byType(u.types.size());
    for (const UnitStatementLine& line : u.lines) {
        Cells row{text(line.unit), text(line.owner), text(line.tenant), amount(line.share)};
        for (int i = 0; i < u.types.size(); ++i) {
            const Money charged = line.byType.value(i).charged;
            byType[i] += charged;
            row << amount(charged);
        }
        row << amount(line.charged) << amount(line.conguaglio());
        if (carried)
            row << amount(line.carried);
        row << amount(line.paid) << amount(line.arrears());
        s.row(row);
    }
    Cells total{text(QStringLiteral("Totale")), {}, {}, amount(u.share)};
    for (const Money& m : byType)
        total << amount(m);
    total << amount(u.charged) << amount(u.conguaglio);
    if (carried)
        total << amount(u.carried);
    total << amount(u.paid) << amount(u.arrears);
    s.total(total);
    if (u.lines.isEmpty())
        s.note(QStringLiteral("Il condominio non ha locali."));
    s.note(QStringLiteral("Conguaglio = quota consuntivo - quote addebitate: positivo, il locale deve versarlo; "
                          "negativo, gli è restituito. Morosità = quote addebitate%1 - versato.")
               .arg(carried ? QStringLiteral(" e conguaglio precedente") : QString()));
    return s.take();
}

RendicontoSection movements(const Rendiconto& r)
{
    const Register& g = r.movements;
    Section s(QStringLiteral("Registro"), QStringLiteral("Registro di contabilità"),
              {QStringLiteral("Data"), QStringLiteral("Numero"), QStringLiteral("Controparte"), QStringLiteral("Descrizione"),
               QStringLiteral("Cassa/Banca"), QStringLiteral("Entrate"), QStringLiteral("Uscite"),
               QStringLiteral("Saldo cassa"), QStringLiteral("Saldo banca")});
    for (const RegisterLine& l : g.lines)
        s.row({dateOrNothing(l.date), text(l.number), text(l.counterpart), text(l.description),
               text(l.place == Place::Cash ? QStringLiteral("Cassa") : QStringLiteral("Banca")), amountOrNothing(l.in),
               amountOrNothing(l.out), amount(l.cashBalance), amount(l.bankBalance)});
    s.total({text(QStringLiteral("Totale")), {}, {}, {}, {}, amount(g.cashIn + g.bankIn), amount(g.cashOut + g.bankOut),
             amount(g.closingCash()), amount(g.closingBank())});
    if (g.lines.isEmpty())
        s.note(QStringLiteral("Nessun movimento di cassa o di banca nell'esercizio %1.").arg(r.year.name));
    return s.take();
}

RendicontoSection summary(const Rendiconto& r)
{
    const FinancialSummary& f = r.summary;
    Section s(QStringLiteral("Riepilogo"), QStringLiteral("Riepilogo finanziario"),
              {QStringLiteral("Voce"), QStringLiteral("Cassa"), QStringLiteral("Banca"), QStringLiteral("Totale")});
    auto place = [&s](const QString& caption, const PlaceFigures& p, bool total = false) {
        Cells row{text(caption), amount(p.cash), amount(p.bank), amount(p.total())};
        total ? s.total(row) : s.row(row);
    };
    place(QStringLiteral("Importi iniziali"), f.opening);
    place(QStringLiteral("Entrate"), f.income);
    place(QStringLiteral("Giroconti tra cassa e banca"), f.transfers);
    place(QStringLiteral("Uscite"), f.expenses);
    place(QStringLiteral("Saldo finale"), f.closing, true);

    s.blank();
    s.total({text(QStringLiteral("Crediti verso i condomini")), text(QStringLiteral("Anno %1").arg(r.year.name)),
             text(QStringLiteral("Anni precedenti")), text(QStringLiteral("Totale"))});
    for (const OwnerCredit& c : f.credits)
        s.row({text(ownerText(c.owner)), amount(c.thisYear), amount(c.earlier), amount(c.total())});
    s.total({text(QStringLiteral("Totale crediti")), {}, {}, amount(f.creditsTotal)});

    s.blank();
    s.total({text(QStringLiteral("Debiti verso i fornitori")), text(QStringLiteral("Spese non pagate")), {},
             text(QStringLiteral("Importo"))});
    for (const SupplierDebt& d : f.debts)
        s.row({text(d.supplier), Cell::ofWhole(d.expenses), {}, amount(d.amount)});
    s.total({text(QStringLiteral("Totale debiti")), {}, {}, amount(f.debtsTotal)});

    s.blank();
    s.total({text(QStringLiteral("Ritenute da versare")), text(QStringLiteral("Codice tributo")), {},
             text(QStringLiteral("Importo"))});
    for (const PendingWithholding& w : f.withholdings)
        s.row({text(w.month.isValid() ? w.month.toString(QStringLiteral("MM/yyyy")) : QString()), text(w.code), {},
               amount(w.amount)});
    s.total({text(QStringLiteral("Totale ritenute")), {}, {}, amount(f.withholdingsTotal)});

    s.blank();
    s.total({text(QStringLiteral("Risultato dell'esercizio")), {}, {}, {}});
    s.row({text(QStringLiteral("Quote addebitate")), {}, {}, amount(f.quotasCharged)});
    s.row({text(QStringLiteral("Spese effettive")), {}, {}, amount(f.actualExpenses)});
    s.total({text(resultText(f.result())), {}, {}, amount(f.result())});
    return s.take();
}

RendicontoSection note(const Rendiconto& r, const PendingMatters& pending)
{
    Section s(QStringLiteral("Nota"), QStringLiteral("Nota sintetica"),
              {QStringLiteral("Argomento"), QStringLiteral("Data"), QStringLiteral("Soggetto"), QStringLiteral("Descrizione"),
               QStringLiteral("Importo")});
    for (const OpenIntervention& i : pending.interventions)
        s.row({text(QStringLiteral("Intervento non concluso")), dateOrNothing(i.date), text(i.contact),
               text(i.description), {}});
    for (const OpenDeadline& d : pending.deadlines)
        s.row({text(QStringLiteral("Scadenza non eseguita")), dateOrNothing(d.due), text(d.subject), text(d.description),
               amountOrNothing(d.amount)});
    for (const OwnerCredit& c : r.summary.credits)
        if (c.total() > Money())
            s.row({text(QStringLiteral("Condomino moroso")), {}, text(ownerText(c.owner)),
                   text(QStringLiteral("Anno %1: %2; anni precedenti: %3")
                            .arg(r.year.name, c.thisYear.toString(), c.earlier.toString())),
                   amount(c.total())});
    for (const SupplierDebt& d : r.summary.debts)
        s.row({text(QStringLiteral("Fornitore da pagare")), {}, text(d.supplier),
               text(d.expenses == 1 ? QStringLiteral("1 spesa non pagata")
                                    : QStringLiteral("%1 spese non pagate").arg(d.expenses)),
               amount(d.amount)});
    for (const PendingWithholding& w : r.summary.withholdings)
        s.row({text(QStringLiteral("Ritenuta da versare")), dateOrNothing(w.month), text(QStringLiteral("Erario")),
               text(QStringLiteral("Codice tributo %1").arg(w.code)), amount(w.amount)});
    s.note(QStringLiteral("Le questioni in sospeso note al programma: l'amministratore completa la nota sintetica "
                          "esplicativa nel documento del rendiconto."));
    return s.take();
}

} // namespace

QString expenseKindText(bool extraordinary)
{
    return extraordinary ? QStringLiteral("Straordinaria") : QStringLiteral("Ordinaria");
}

QString tableText(const QString& table)
{
    return table.trimmed().isEmpty() ? QStringLiteral("(senza tabella)") : table;
}

QString percentageText(const BudgetFigures& f)
{
    const std::optional<double> p = f.percentage();
    return p ? store::formatAmount(*p) : QString();
}

QString resultText(store::Money result)
{
    if (result.isZero())
        return QStringLiteral("Pareggio");
    return result > Money() ? QStringLiteral("Avanzo di gestione") : QStringLiteral("Disavanzo di gestione");
}

QVector<RendicontoSection> rendicontoSections(const Rendiconto& r, const PendingMatters& pending)
{
    return {consuntivo(r), riparto(r), situation(r), movements(r), summary(r), note(r, pending)};
}

} // namespace velcaris::accounts
