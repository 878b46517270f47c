#include "cashbook/Expenses.h"

#include "foundation/Selection.h"
#include "cashbook/AmountText.h"
#include "store/Database.h"
#include "store/StoreError.h"

namespace velcaris::cashbook {

using store::Money;

namespace {

// The fields every save writes, in the order of rowValues().
const QStringList kWritten = {
    QStringLiteral("TipoMovimento"), QStringLiteral("TipoSpesa"), QStringLiteral("Tabella"),
    QStringLiteral("IdFornitore"), QStringLiteral("Causale"), QStringLiteral("NumFattura"),
    QStringLiteral("DataFattura"), QStringLiteral("ImportoLordo"), QStringLiteral("ImponibileIVA"),
    QStringLiteral("IVA"), QStringLiteral("Commissione"), QStringLiteral("DataPagamento"),
    QStringLiteral("Pagamento"), QStringLiteral("Tipologia"), QStringLiteral("Nota"), QStringLiteral("pagato"),
    QStringLiteral("MetodoRitenuta")};
// The withholding fields: on one row of an expense only.
const QStringList kWithholding = {QStringLiteral("ImportoNetto"), QStringLiteral("RitenuteOperate"),
                                  QStringLiteral("Interessi"), QStringLiteral("PeriodoRiferimento"),
                                  QStringLiteral("Ravvedimento"), QStringLiteral("CodTributo"),
                                  QStringLiteral("DataRitenuta")};

// The amounts of an input that passed expenseProblems().
struct Amounts {
    Money gross, base, commission, net, withholding, interest;
};

Amounts amountsOf(const ExpenseInput& in)
{
    Amounts a;
    a.gross = *readAmount(in.importoLordo);
    a.base = *readAmount(in.imponibileIVA);
    a.commission = *readAmount(in.commissione);
    // An unticked withholding writes nothing of it: the hidden group's figures must not reach
    // the invoice amount or the balances.
    if (in.ritenuta) {
        a.net = *readAmount(in.importoNetto);
        a.withholding = *readAmount(in.ritenuteOperate);
        a.interest = *readAmount(in.interessi);
    }
    return a;
}

Money vatOf(Money gross, Money base)
{
    return gross > base ? gross - base : Money();
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

// The values of kWritten for a row with this outflow and commission.
QVector<QVariant> rowValues(const ExpenseInput& in, const Amounts& a, const QString& tipoSpesa, const QString& tabella,
                            Money outflow, Money commission)
{
    return {QStringLiteral("Uscita"), tipoSpesa, tabella, in.fornitore ? QVariant(*in.fornitore) : QVariant(),
            in.causale, in.numFattura, dateOrNull(in.dataFattura), outflow.toDouble(), a.base.toDouble(),
            vatOf(a.gross, a.base).toDouble(), commission.toDouble(), dateOrNull(in.dataPagamento), in.pagamento,
            in.tipologia, in.nota, in.pagato, in.metodoRitenuta};
}

QVector<QVariant> withholdingValues(const ExpenseInput& in, const Amounts& a)
{
    QDate period = in.periodoRiferimento;
    if (period.isValid())
        period = QDate(period.year(), period.month(), 1);
    return {a.net.toDouble(), a.withholding.toDouble(), a.interest.toDouble(), dateOrNull(period),
            in.ritenuta && in.ravvedimento, in.ritenuta ? in.codTributo : QString(), dateOrNull(in.dataRitenuta)};
}

qint64 insertRow(store::Database& db, const ExpenseInput& in, const QStringList& fields, const QVector<QVariant>& values)
{
    QStringList columns = {QStringLiteral("Condominio"), QStringLiteral("AA")};
    columns += fields;
    QVector<QVariant> all = {in.condominio, in.aa};
    all += values;
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    db.exec(QStringLiteral("INSERT INTO Uscite (%1) VALUES (%2)").arg(columns.join(u','), marks.join(u',')), all);
    return db.lastInsertId();
}

app::Outcome refusedProblems(const QStringList& problems)
{
    return app::Outcome::refused(problems.join(u'\n'), app::MessageKind::Information);
}

} // namespace

QVector<SupplierChoice> expenseSuppliers(app::Workspace& ws, const QString& condominium)
{
    QVector<SupplierChoice> out;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT id, Fornitore FROM QueryFornitori WHERE idCondominio = ? "
                                                    "ORDER BY Fornitore ASC, id ASC"));
    st.bind(1, condominium);
    while (st.step())
        out.push_back({st.value(0).toLongLong(), st.value(1).toString()});
    return out;
}

QVector<BudgetChoice> expenseBudgetItems(app::Workspace& ws, const QString& condominium)
{
    QVector<BudgetChoice> out;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Id, Tabella, Descrizione, DescrizioneVoceSpesa "
                                                    "FROM QueryMovimentiTabelle WHERE Condominio = ? "
                                                    "ORDER BY Tabella ASC, Id ASC"));
    st.bind(1, condominium);
    while (st.step())
        out.push_back({st.value(0).toLongLong(), st.value(1).toString(), st.value(2).toString(), st.value(3).toString()});
    return out;
}

QString expensePrecondition(app::Workspace& ws, const QString& condominium)
{
    if (expenseSuppliers(ws, condominium).isEmpty())
        return kNoSupplierMessage;
    if (expenseBudgetItems(ws, condominium).isEmpty())
        return kNoBudgetItemMessage;
    return QString();
}

QString vatText(const QString& gross, const QString& base)
{
    const auto g = readAmount(gross);
    const auto b = readAmount(base);
    if (!g || !b)
        return QString();
    return vatOf(*g, *b).toString();
}

QStringList expenseProblems(const ExpenseInput& in)
{
    QStringList problems;
    auto empty = [](const QString& text) { return text.trimmed().isEmpty(); };
    if (!in.fornitore)
        problems << QStringLiteral("Selezionare un fornitore");
    if (empty(in.causale))
        problems << QStringLiteral("Inserire la causale");
    if (empty(in.importoLordo))
        problems << QStringLiteral("Inserire un importo lordo valido");
    if (empty(in.imponibileIVA))
        problems << QStringLiteral("Inserire un importo imponibile IVA valido");
    if (empty(in.commissione))
        problems << QStringLiteral("Inserire un importo per la commissione");
    if (empty(in.tipologia))
        problems << QStringLiteral("Selezionare la tipologia");
    if (in.ritenuta) {
        if (empty(in.importoNetto))
            problems << QStringLiteral("Inserire un importo netto valido");
        if (empty(in.ritenuteOperate))
            problems << QStringLiteral("Inserire le ritenute operate");
        if (empty(in.interessi))
            problems << QStringLiteral("Inserire un importo per gli interessi");
        if (empty(in.codTributo))
            problems << QStringLiteral("Inserire un codice tributo");
    }
    if (!problems.isEmpty())
        return problems;
    QVector<QPair<QString, QString>> amounts = {{QStringLiteral("Importo lordo"), in.importoLordo},
                                                {QStringLiteral("Imponibile IVA"), in.imponibileIVA},
                                                {QStringLiteral("Commissione"), in.commissione}};
    if (in.ritenuta)
        amounts += {{QStringLiteral("Importo netto"), in.importoNetto},
                    {QStringLiteral("Ritenute operate"), in.ritenuteOperate},
                    {QStringLiteral("Interessi"), in.interessi}};
    for (const auto& [label, text] : amounts)
        if (!readAmount(text))
            problems << notAnAmountMessage(label, text);
    return problems;
}

bool netAndWithholdingDiffer(const ExpenseInput& in)
{
    if (!in.ritenuta)
        return false;
    const auto g = readAmount(in.importoLordo);
    const auto n = readAmount(in.importoNetto);
    const auto r = readAmount(in.ritenuteOperate);
    return g && n && r && *g != *n + *r;
}

app::Outcome addExpense(app::Workspace& ws, const ExpenseInput& in, const QVector<SplitLine>& split)
{
    if (const QStringList problems = expenseProblems(in); !problems.isEmpty())
        return refusedProblems(problems);
    if (in.condominio.isEmpty() || in.aa.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);
    const Amounts a = amountsOf(in);

    // The rows to write: the item chosen, or one per line of the split with a percentage.
    struct Row {
        QString tipoSpesa, tabella;
        Money outflow, commission;
    };
    QVector<Row> rows;
    if (split.isEmpty()) {
        rows.push_back({in.tipoSpesa, in.tabella, a.gross + a.commission - a.withholding, a.commission});
    } else {
        if (const app::Outcome check = checkSplit(split); !check.done)
            return check;
        const QVector<SplitLine> lines = concernedLines(split);
        QVector<double> percentages;
        for (const SplitLine& line : lines)
            percentages << *store::parseNumber(line.percentuale);
        const QVector<Money> gross = splitShares(a.gross, percentages);
        const QVector<Money> commission = splitShares(a.commission, percentages);
        for (int i = 0; i < lines.size(); ++i)
            rows.push_back({lines[i].descrizione, lines[i].tabella, gross[i] + commission[i], commission[i]});
        // The whole withholding is taken from the first row.
        rows.front().outflow -= a.withholding;
    }

    store::Database& db = ws.mainDb();
    qint64 first = -1;
    try {
        store::Transaction transaction(db);
        for (int i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            QStringList fields = kWritten;
            QVector<QVariant> values = rowValues(in, a, r.tipoSpesa, r.tabella, r.outflow, r.commission);
            if (i == 0) {
                fields += kWithholding;
                values += withholdingValues(in, a);
            }
            const qint64 id = insertRow(db, in, fields, values);
            if (i == 0)
                first = id;
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    return app::Outcome::accepted(first);
}

app::Outcome modifyExpense(app::Workspace& ws, qint64 id, const ExpenseInput& in)
{
    if (const QStringList problems = expenseProblems(in); !problems.isEmpty())
        return refusedProblems(problems);
    const Amounts a = amountsOf(in);
    QStringList assignments;
    for (const QString& f : kWritten + kWithholding)
        assignments << f + QStringLiteral(" = ?");
    QVector<QVariant> values =
        rowValues(in, a, in.tipoSpesa, in.tabella, a.gross + a.commission - a.withholding, a.commission);
    values += withholdingValues(in, a);
    values << id;
    store::Database& db = ws.mainDb();
    try {
        store::Transaction transaction(db);
        store::refuseIfChanged(db, in.asRead);
        db.exec(QStringLiteral("UPDATE Uscite SET %1 WHERE id = ?").arg(assignments.join(QStringLiteral(", "))), values);
        if (db.changes() == 0)
            return app::Outcome::failed(QStringLiteral("Uscite: riga %1 non trovata").arg(id));
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, in.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        return app::Outcome::failed(e.message());
    }
    return app::Outcome::accepted(id);
}

std::optional<ExpenseInput> readExpense(app::Workspace& ws, qint64 id)
{
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT Condominio, AA, IdFornitore, TipoSpesa, Tabella, Causale, NumFattura, "
                                       "DataFattura, ImportoLordo, ImponibileIVA, IVA, Commissione, DataPagamento, "
                                       "Pagamento, Tipologia, Nota, pagato, ImportoNetto, RitenuteOperate, Interessi, "
                                       "PeriodoRiferimento, Ravvedimento, CodTributo, DataRitenuta, MetodoRitenuta "
                                       "FROM Uscite WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    auto money = [&](int c) { return Money::fromDouble(st.value(c).toDouble()); };
    auto date = [&](int c) { return st.value(c).toDate(); };
    ExpenseInput in;
    in.condominio = st.value(0).toString();
    in.aa = st.value(1).toString();
    if (!st.value(2).isNull())
        in.fornitore = st.value(2).toLongLong();
    in.tipoSpesa = st.value(3).toString();
    in.tabella = st.value(4).toString();
    in.causale = st.value(5).toString();
    in.numFattura = st.value(6).toString();
    in.dataFattura = date(7);
    // Saving added the commission and took off the withholding: undone for the gross shown.
    in.importoLordo = (money(8) + money(18) - money(11)).toString();
    in.imponibileIVA = money(9).toString();
    in.commissione = money(11).toString();
    in.dataPagamento = date(12);
    in.pagamento = st.value(13).toString();
    in.tipologia = st.value(14).toString();
    in.nota = st.value(15).toString();
    in.pagato = st.value(16).toBool();
    in.importoNetto = money(17).toString();
    in.ritenuteOperate = money(18).toString();
    in.interessi = money(19).toString();
    in.periodoRiferimento = date(20);
    in.ravvedimento = st.value(21).toBool();
    in.codTributo = st.value(22).toString();
    in.ritenuta = !in.codTributo.isEmpty();
    in.dataRitenuta = date(23);
    in.metodoRitenuta = st.value(24).toString();
    return in;
}

} // namespace velcaris::cashbook
