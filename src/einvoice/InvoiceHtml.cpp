#include "einvoice/InvoiceHtml.h"

namespace velcaris::einvoice {

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString date(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString party(const QString& title, const Party& p)
{
    QString out = QStringLiteral("<div class=\"party\"><h2>%1</h2><p><b>%2</b><br>").arg(esc(title), esc(p.name()));
    if (!p.indirizzo.isEmpty())
        out += esc(p.indirizzo) + QStringLiteral("<br>");
    if (!p.cap.isEmpty() || !p.comune.isEmpty())
        out += esc((p.cap + u' ' + p.comune + (p.provincia.isEmpty() ? QString() : QStringLiteral(" (") + p.provincia + u')'))
                       .trimmed()) +
               QStringLiteral("<br>");
    if (!p.partitaIva.isEmpty())
        out += QStringLiteral("Partita IVA: ") + esc(p.paese + p.partitaIva) + QStringLiteral("<br>");
    if (!p.codiceFiscale.isEmpty())
        out += QStringLiteral("Codice fiscale: ") + esc(p.codiceFiscale);
    return out + QStringLiteral("</p></div>");
}

QString row(const QStringList& cells, bool header = false)
{
    const QString tag = header ? QStringLiteral("th") : QStringLiteral("td");
    QString out = QStringLiteral("<tr>");
    for (const QString& c : cells)
        out += QStringLiteral("<%1>%2</%1>").arg(tag, esc(c));
    return out + QStringLiteral("</tr>");
}

} // namespace

QString invoiceHtml(const Invoice& inv, const QString& fileName)
{
    QString h = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"it\"><head><meta charset=\"utf-8\"><title>%1</title><style>"
        "body{font-family:sans-serif;font-size:11pt;margin:2em}table{border-collapse:collapse;width:100%;margin:1em 0}"
        "th,td{border:1px solid #999;padding:4px}td.n{text-align:right}.party{display:inline-block;width:48%;"
        "vertical-align:top}h1{font-size:16pt}h2{font-size:12pt}</style></head><body>\n")
                    .arg(esc(inv.kindName() + QStringLiteral(" n. ") + inv.numero));
    h += QStringLiteral("<h1>%1 n. %2 del %3</h1>\n").arg(esc(inv.kindName()), esc(inv.numero), date(inv.data));
    h += party(QStringLiteral("Fornitore"), inv.supplier) + party(QStringLiteral("Cliente"), inv.customer);

    h += QStringLiteral("\n<h2>Dettaglio</h2><table>") +
         row({QStringLiteral("Descrizione"), QStringLiteral("Quantità"), QStringLiteral("Aliquota IVA"),
              QStringLiteral("Importo")},
             true);
    for (const InvoiceLine& l : inv.lines)
        h += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td><td class=\"n\">%3</td><td class=\"n\">%4</td></tr>")
                 .arg(esc(l.descrizione), esc(l.quantita), esc(l.aliquotaIva), l.prezzoTotale.toString());
    h += QStringLiteral("</table>\n<h2>Riepilogo IVA</h2><table>") +
         row({QStringLiteral("Aliquota"), QStringLiteral("Natura"), QStringLiteral("Imponibile"), QStringLiteral("Imposta")},
             true);
    for (const VatSummary& s : inv.summary)
        h += QStringLiteral("<tr><td class=\"n\">%1</td><td>%2</td><td class=\"n\">%3</td><td class=\"n\">%4</td></tr>")
                 .arg(esc(s.aliquotaIva), esc(s.natura), s.imponibile.toString(), s.imposta.toString());
    h += QStringLiteral("</table>\n");
    if (!inv.withholdings.isEmpty()) {
        h += QStringLiteral("<h2>Ritenute e contributi</h2><table>") +
             row({QStringLiteral("Tipo"), QStringLiteral("Aliquota"), QStringLiteral("Causale"), QStringLiteral("Importo")},
                 true);
        for (const Withholding& w : inv.withholdings)
            h += row({w.tipo, w.aliquota, w.causale, w.importo.toString()});
        h += QStringLiteral("</table>\n");
    }
    h += QStringLiteral("<p><b>Totale documento: %1 %2</b>").arg(inv.totale.toString(), esc(inv.divisa));
    if (!inv.ritenuta().isZero())
        h += QStringLiteral("<br>Ritenuta d'acconto: %1<br>Netto da pagare: %2")
                 .arg(inv.ritenuta().toString(), (inv.totale - inv.ritenuta()).toString());
    h += QStringLiteral("</p>\n");
    if (!inv.payments.isEmpty()) {
        h += QStringLiteral("<h2>Pagamento</h2><table>") +
             row({QStringLiteral("Modalità"), QStringLiteral("Scadenza"), QStringLiteral("Importo"), QStringLiteral("IBAN")},
                 true);
        for (const PaymentTerm& p : inv.payments)
            h += row({p.modalita, date(p.scadenza), p.importo.toString(), p.iban});
        h += QStringLiteral("</table>\n");
    }
    h += QStringLiteral("<p><small>Copia leggibile della fattura elettronica %1 (formato %2).</small></p>\n</body></html>\n")
             .arg(esc(fileName), esc(inv.formato));
    return h;
}

} // namespace velcaris::einvoice
