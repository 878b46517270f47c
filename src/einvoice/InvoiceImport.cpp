#include "einvoice/InvoiceImport.h"

#include "allocation/QuotaSchedule.h"
#include "cashbook/PaymentPlace.h"
#include "einvoice/InvoiceHtml.h"
#include "einvoice/WithholdingCode.h"
#include "foundation/OutputPaths.h"
#include "foundation/Selection.h"
#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>

namespace velcaris::einvoice {

using store::Money;

namespace {

QString normalized(const QString& code)
{
    QString out = code.trimmed().toUpper();
    out.remove(u' ');
    return out;
}

// A partita IVA without its country prefix ("IT01234567890" -> "01234567890").
QString vatNumber(const QString& code)
{
    QString out = normalized(code);
    if (out.size() > 2 && out.at(0).isLetter() && out.at(1).isLetter())
        out = out.mid(2);
    return out;
}

struct SupplierIndex {
    QHash<QString, qint64> byVat;  // partita IVA -> id (the lowest id when several)
    QHash<QString, qint64> byCode; // codice fiscale -> id
};

SupplierIndex supplierIndex(store::Database& db)
{
    SupplierIndex index;
    store::Statement st(db, QStringLiteral("SELECT id, PartitaIVA, CodiceFiscale FROM Fornitori ORDER BY id"));
    while (st.step()) {
        const qint64 id = st.value(0).toLongLong();
        const QString vat = vatNumber(st.value(1).toString());
        const QString code = normalized(st.value(2).toString());
        if (!vat.isEmpty() && !index.byVat.contains(vat))
            index.byVat.insert(vat, id);
        if (!code.isEmpty() && !index.byCode.contains(code))
            index.byCode.insert(code, id);
    }
    return index;
}

QString shortText(const QString& text, int length)
{
    const QString simple = text.simplified();
    return simple.size() <= length ? simple : simple.left(length - 1) + QStringLiteral("…");
}

registry::SupplierInput supplierFrom(const Party& p, const Invoice& inv)
{
    const QString refused = registry::fileNameRefusedCharacters();
    registry::SupplierInput s;
    if (!p.denominazione.trimmed().isEmpty()) {
        s.cognome = registry::withoutRefused(p.denominazione.simplified(), refused);
    } else {
        s.cognome = registry::withoutRefused(p.cognome.simplified(), refused);
        s.nome = registry::withoutRefused(p.nome.simplified(), refused);
    }
    s.indirizzo = p.indirizzo;
    s.cap = p.cap;
    s.citta = p.provincia.isEmpty() ? p.comune : p.comune + QStringLiteral(" (") + p.provincia + u')';
    s.codiceFiscale = p.codiceFiscale;
    s.partitaIva = p.partitaIva;
    for (const PaymentTerm& t : inv.payments)
        if (!t.iban.isEmpty()) {
            s.iban = t.iban;
            break;
        }
    s.note = QStringLiteral("Creato dalla fattura elettronica n. %1 del %2")
                 .arg(inv.numero, inv.data.toString(QStringLiteral("dd/MM/yyyy")));
    return s;
}

QString preferredTipologia(store::Database& db)
{
    QStringList all;
    store::Statement st(db, QStringLiteral("SELECT Tipologia FROM Tipologia ORDER BY Id"));
    while (st.step())
        all << st.value(0).toString();
    if (all.contains(QStringLiteral("Spese ordinarie")))
        return QStringLiteral("Spese ordinarie");
    return all.value(0);
}

// The budget item of the supplier's latest expense in this year, when it is still an item.
void lastItemOf(store::Database& db, const QString& condominium, const QString& year, qint64 supplier,
                cashbook::ExpenseInput& e)
{
    store::Statement st(db, QStringLiteral("SELECT u.Tabella, u.TipoSpesa FROM Uscite u WHERE u.Condominio = ? AND "
                                           "u.AA = ? AND u.IdFornitore = ? AND EXISTS (SELECT 1 FROM Preventivi p "
                                           "WHERE p.Condominio = u.Condominio AND p.AA = u.AA AND p.Tabella = "
                                           "u.Tabella AND p.DescrizioneVoceSpesa = u.TipoSpesa) ORDER BY u.id DESC"));
    st.bind(1, condominium);
    st.bind(2, year);
    st.bind(3, supplier);
    if (st.step()) {
        e.tabella = st.value(0).toString();
        e.tipoSpesa = st.value(1).toString();
    }
}

QString recordedAs(store::Database& db, qint64 supplier, const Invoice& inv)
{
    store::Statement st(db, QStringLiteral("SELECT Condominio, AA FROM Uscite WHERE IdFornitore = ? AND NumFattura = ? "
                                           "AND DataFattura = ? ORDER BY id"));
    st.bind(1, supplier);
    st.bind(2, inv.numero);
    st.bind(3, inv.data);
    if (!st.step())
        return QString();
    return QStringLiteral("La fattura %1 è già registrata tra le uscite (%2, anno %3): non viene importata di nuovo.")
        .arg(inv.reference(), st.value(0).toString(), st.value(1).toString());
}

QString addresseeProblem(const Invoice& inv, const QString& condominiumCode)
{
    const QString ours = normalized(condominiumCode);
    if (ours.isEmpty())
        return QString();
    if (normalized(inv.customer.codiceFiscale) == ours || vatNumber(inv.customer.partitaIva) == vatNumber(ours))
        return QString();
    const QString theirs = !inv.customer.codiceFiscale.isEmpty() ? inv.customer.codiceFiscale
                                                                 : inv.customer.partitaIva;
    return QStringLiteral("La fattura %1 è intestata a %2 (codice fiscale %3), non al condominio (codice fiscale %4).")
        .arg(inv.reference(), inv.customer.name().isEmpty() ? QStringLiteral("altri") : inv.customer.name(),
             theirs.isEmpty() ? QStringLiteral("assente") : theirs, condominiumCode.trimmed());
}

cashbook::ExpenseInput expenseFrom(const ReadInvoice& read, const QString& condominium, const QString& year,
                                   const QString& tipologia)
{
    const Invoice& inv = read.invoice;
    const bool negative = inv.isCreditNote();
    auto signedText = [negative](Money m) { return (negative ? -m : m).toString(); };
    cashbook::ExpenseInput e;
    e.condominio = condominium;
    e.aa = year;
    QString description;
    for (const InvoiceLine& l : inv.lines)
        if (!l.descrizione.trimmed().isEmpty()) {
            description = l.descrizione;
            break;
        }
    e.causale = shortText(description.isEmpty() ? inv.kindName() + QStringLiteral(" n. ") + inv.numero : description, 50);
    e.numFattura = shortText(inv.numero, 50);
    e.dataFattura = inv.data;
    e.importoLordo = signedText(inv.totale);
    e.imponibileIVA = signedText(inv.imponibile());
    e.commissione = QStringLiteral("0.00");
    e.tipologia = tipologia;
    e.pagato = true;
    QString nota = inv.kindName() + QStringLiteral(" elettronica ") + read.fileName;
    for (const PaymentTerm& t : inv.payments) {
        if (t.scadenza.isValid())
            nota += QStringLiteral("; scadenza ") + t.scadenza.toString(QStringLiteral("dd/MM/yyyy"));
        if (!t.iban.isEmpty())
            nota += QStringLiteral("; IBAN ") + t.iban;
        break;
    }
    e.nota = shortText(nota, 200);
    const Money withheld = inv.ritenuta();
    e.ritenuta = !withheld.isZero();
    e.interessi = QStringLiteral("0.00");
    e.importoNetto = signedText(inv.totale - withheld);
    e.ritenuteOperate = signedText(withheld);
    if (const Withholding* w = inv.firstIncomeTax(); w && e.ritenuta)
        e.codTributo = withholdingTaxCode(*w);
    return e;
}

QString rowName(const ImportRow& row)
{
    return row.source.invoice.reference();
}

QString duplicateKey(const ImportRow& row)
{
    const QString who = row.supplierId ? QString::number(*row.supplierId) : row.supplierKey;
    return who + u'|' + row.source.invoice.numero + u'|' + row.source.invoice.data.toString(Qt::ISODate);
}

// A file name free of the characters that folders refuse.
QString safeFileName(const QString& name)
{
    QString out = registry::withoutRefused(name, registry::fileNameRefusedCharacters());
    out.remove(u'/');
    out.remove(u'\\');
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("fattura");
    return out;
}

// Writes `bytes` as `name` in `folder`: kept as it is when the same file is there, numbered when
// another file has the name. The path written or kept, or an empty text with `problem` set.
QString keep(const QString& folder, const QString& name, const QByteArray& bytes, QString* problem)
{
    const QFileInfo info(name);
    QString base = info.fileName();
    QString suffix;
    const int dot = base.indexOf(u'.');
    if (dot > 0) {
        suffix = base.mid(dot);
        base = base.left(dot);
    }
    for (int n = 1; n < 1000; ++n) {
        const QString path = folder + u'/' + (n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n)) + suffix;
        QFile existing(path);
        if (existing.exists()) {
            if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
                return path;
            continue;
        }
        QSaveFile out(path);
        if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit())
            return path;
        *problem = QStringLiteral("Il file \"%1\" non è stato scritto: controllare che il disco sia accessibile.").arg(path);
        return QString();
    }
    *problem = QStringLiteral("Troppi file con il nome \"%1\" nella cartella \"%2\".").arg(name, folder);
    return QString();
}

} // namespace

QString invoicesFolder(const app::Workspace& ws, const QString& condominium)
{
    return registry::condominiumFolder(ws, condominium) + QStringLiteral("/Fatture");
}

QString importPrecondition(app::Workspace& ws, const QString& condominium)
{
    if (condominium.isEmpty())
        return registry::kChooseCondominiumFirst;
    if (allocation::currentYearOf(ws.mainDb(), condominium).isEmpty())
        return app::kRequireYearMessage;
    if (cashbook::expenseBudgetItems(ws, condominium).isEmpty())
        return cashbook::kNoBudgetItemMessage;
    return QString();
}

void setPayment(ImportRow& row, const QDate& day, const QString& place)
{
    cashbook::ExpenseInput& e = row.expense;
    e.dataPagamento = day;
    e.pagamento = place;
    e.periodoRiferimento = day;
    e.metodoRitenuta = place;
    // The withholding is paid by the 16th of the month after the payment.
    e.dataRitenuta = day.isValid() ? QDate(day.year(), day.month(), 16).addMonths(1) : QDate();
}

ImportProposal proposeImport(app::Workspace& ws, const QString& condominium, const ReadBatch& batch)
{
    store::Database& db = ws.mainDb();
    ImportProposal proposal;
    proposal.condominium = condominium;
    proposal.year = allocation::currentYearOf(db, condominium);
    proposal.refused = batch.refused;
    const SupplierIndex index = supplierIndex(db);
    const QString tipologia = preferredTipologia(db);
    const QString condominiumCode =
        db.scalar(QStringLiteral("SELECT Codice_fiscale FROM Condomini WHERE Nome = ?"), {condominium}).toString();
    const QDate today = QDate::currentDate();
    QHash<qint64, QString> names;
    QHash<QString, QString> seen; // duplicate key -> the file that had it first

    for (const ReadInvoice& read : batch.invoices) {
        const Invoice& inv = read.invoice;
        ImportRow row;
        row.source = read;
        const QString vat = vatNumber(inv.supplier.partitaIva);
        const QString code = normalized(inv.supplier.codiceFiscale);
        if (!vat.isEmpty() && index.byVat.contains(vat)) {
            row.match = SupplierMatch::PartitaIva;
            row.supplierId = index.byVat.value(vat);
        } else if (!code.isEmpty() && index.byCode.contains(code)) {
            row.match = SupplierMatch::CodiceFiscale;
            row.supplierId = index.byCode.value(code);
        } else if (!vat.isEmpty() && index.byCode.contains(vat)) {
            // A company's codice fiscale is its partita IVA: registered in the other box.
            row.match = SupplierMatch::CodiceFiscale;
            row.supplierId = index.byCode.value(vat);
        }
        row.expense = expenseFrom(read, condominium, proposal.year, tipologia);
        const bool bank = inv.payments.isEmpty() || inv.payments.first().modalita != QLatin1String("MP01");
        setPayment(row, today, bank ? cashbook::kPlaceContoCorrente : cashbook::kPlaceCassa);
        if (row.supplierId) {
            if (!names.contains(*row.supplierId))
                names.insert(*row.supplierId, registry::supplierDisplayName(ws, *row.supplierId));
            row.supplierName = names.value(*row.supplierId);
            row.expense.fornitore = row.supplierId;
            lastItemOf(db, condominium, proposal.year, *row.supplierId, row.expense);
            row.duplicate = recordedAs(db, *row.supplierId, inv);
        } else {
            row.newSupplier = supplierFrom(inv.supplier, inv);
            row.supplierName = inv.supplier.name();
            row.supplierKey = !vat.isEmpty() ? QStringLiteral("P:") + vat : QStringLiteral("C:") + code;
        }
        const QString key = duplicateKey(row);
        if (row.duplicate.isEmpty() && seen.contains(key))
            row.duplicate = QStringLiteral("La fattura %1 compare due volte tra i file scelti (%2 e %3).")
                                .arg(inv.reference(), seen.value(key), read.file);
        seen.insert(key, read.file);
        row.otherAddressee = addresseeProblem(inv, condominiumCode);
        row.chosen = row.duplicate.isEmpty();
        proposal.rows.push_back(row);
    }
    return proposal;
}

app::Outcome importInvoices(app::Workspace& ws, const ImportInput& input, ImportResult* result)
{
    if (result)
        *result = ImportResult();
    if (const QString problem = importPrecondition(ws, input.condominium); !problem.isEmpty())
        return app::Outcome::refused(problem, app::MessageKind::Information);
    store::Database& db = ws.mainDb();

    QVector<const ImportRow*> chosen;
    for (const ImportRow& row : input.rows)
        if (row.chosen)
            chosen << &row;
    if (chosen.isEmpty())
        return app::Outcome::refused(QStringLiteral("Nessuna fattura scelta da importare."),
                                     app::MessageKind::Information);

    // Every problem of every chosen row, before anything is written.
    QStringList problems;
    QSet<QString> keys;
    for (const ImportRow* row : chosen) {
        const QString name = rowName(*row);
        if (row->supplierId) {
            if (const QString recorded = recordedAs(db, *row->supplierId, row->source.invoice); !recorded.isEmpty())
                problems << recorded;
        }
        const QString key = duplicateKey(*row);
        if (keys.contains(key))
            problems << QStringLiteral("La fattura %1 è scelta due volte.").arg(name);
        keys.insert(key);
        if (!row->otherAddressee.isEmpty() && !row->acceptOtherAddressee)
            problems << row->otherAddressee +
                            QStringLiteral(" Confermare che riguarda il condominio per importarla.");
        if (row->expense.tabella.isEmpty() || row->expense.tipoSpesa.isEmpty())
            problems << QStringLiteral("Scegliere la voce di preventivo della fattura %1.").arg(name);
        if (!row->supplierId && row->newSupplier.cognome.trimmed().isEmpty())
            problems << QStringLiteral("La fattura %1 non ha il nome del fornitore.").arg(name);
        cashbook::ExpenseInput check = row->expense;
        check.fornitore = row->supplierId.value_or(0);
        for (const QString& p : cashbook::expenseProblems(check))
            problems << QStringLiteral("Fattura %1: %2").arg(name, p);
    }
    if (!problems.isEmpty())
        return app::Outcome::refused(problems.join(u'\n'), app::MessageKind::Warning);

    ImportResult done;
    try {
        store::Transaction transaction(db);
        QHash<QString, qint64> created; // new supplier key -> id
        QVector<qint64> toAssociate;
        for (const ImportRow* row : chosen) {
            if (row->supplierId || created.contains(row->supplierKey))
                continue;
            const app::Outcome saved = registry::writeSupplier(ws, std::nullopt, row->newSupplier);
            if (!saved.done || !saved.newKey)
                return app::Outcome::refused(
                    QStringLiteral("Il fornitore %1 non è stato scritto: %2")
                        .arg(row->supplierName, saved.texts().join(QStringLiteral(" "))),
                    app::MessageKind::Error);
            created.insert(row->supplierKey, *saved.newKey);
            toAssociate << *saved.newKey;
            ++done.newSuppliers;
        }
        for (const ImportRow* row : chosen) {
            if (!row->supplierId)
                continue;
            const bool associated =
                db.scalar(QStringLiteral("SELECT 1 FROM fornitori_associazione WHERE IdFornitore = ? AND "
                                         "IdCondominio = ?"),
                          {*row->supplierId, input.condominium})
                    .isValid();
            if (!associated && !toAssociate.contains(*row->supplierId))
                toAssociate << *row->supplierId;
        }
        if (!toAssociate.isEmpty()) {
            const app::Outcome associated = registry::associateSuppliers(ws, toAssociate, input.condominium);
            if (!associated.done)
                return associated;
        }
        for (const ImportRow* row : chosen) {
            cashbook::ExpenseInput e = row->expense;
            e.condominio = input.condominium;
            e.fornitore = row->supplierId ? *row->supplierId : created.value(row->supplierKey);
            const app::Outcome added = cashbook::addExpense(ws, e);
            if (!added.done) {
                app::Outcome refused = added;
                refused.messages.prepend({app::MessageKind::Error,
                                          QStringLiteral("La fattura %1 non è stata registrata:").arg(rowName(*row))});
                return refused;
            }
            ++done.expenses;
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    for (const char* name : {"ADOQueryUscite", "ADOQueryFornitori", "ADOTableFornitori", "ADOTableAssociaFornitore"}) {
        if (!ws.hasDataset(QString::fromLatin1(name)))
            continue;
        store::Dataset& d = ws.ds(QString::fromLatin1(name));
        if (d.isActive())
            d.requery();
    }

    app::Outcome outcome = app::Outcome::accepted();
    outcome.add(app::MessageKind::Information,
                QStringLiteral("Fatture importate: %1. Nuovi fornitori: %2.").arg(done.expenses).arg(done.newSuppliers));

    // The files and their readable copies, once the rows are safe.
    const QString folder = invoicesFolder(ws, input.condominium);
    QString problem = app::makeOutputFolder(ws.paths(), folder);
    QSet<QString> keptFiles;
    for (const ImportRow* row : chosen) {
        if (!problem.isEmpty())
            break;
        const ReadInvoice& read = row->source;
        const QString name = safeFileName(read.fileName);
        if (!keptFiles.contains(read.file)) {
            keptFiles.insert(read.file);
            const QString path = keep(folder, name, read.original, &problem);
            if (!path.isEmpty())
                done.kept << path;
        }
        QString base = name;
        for (const char* suffix : {".p7m", ".xml"})
            if (base.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
                base.chop(int(qstrlen(suffix)));
        if (read.body > 1)
            base += QStringLiteral("_%1").arg(read.body);
        const QString html = keep(folder, base + QStringLiteral(".html"),
                                  invoiceHtml(read.invoice, read.fileName).toUtf8(), &problem);
        if (!html.isEmpty())
            done.kept << html;
    }
    if (!problem.isEmpty())
        outcome.add(app::MessageKind::Warning,
                    problem + QStringLiteral(" Le uscite sono registrate; le copie dei file non sono complete."));
    if (result)
        *result = done;
    return outcome;
}

} // namespace velcaris::einvoice
