#include "einvoice/InvoiceXml.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace velcaris::einvoice {

using store::Money;

namespace {

// Bounds that no real invoice reaches and that keep a crafted file from costing much.
constexpr int kDeepest = 48;
constexpr int kMostBodies = 10000;
constexpr int kMostRows = 200000; // lines, summaries, withholdings and payments of a whole file
constexpr int kLongestText = 20000; // characters kept of one element (attachments are skipped)

const QDate kEarliest(2000, 1, 1);
const QDate kLatest(2099, 12, 31);

QString field(const QString& name)
{
    return QStringLiteral("«") + name + QStringLiteral("»");
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : xml_(bytes) {}

    ParsedXml run()
    {
        ParsedXml out;
        while (error_.isEmpty() && !xml_.atEnd()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::DTD:
                fail(QStringLiteral("Il file contiene una dichiarazione DTD, che una fattura elettronica non ha."));
                break;
            case QXmlStreamReader::StartElement:
                start(xml_.name().toString());
                break;
            case QXmlStreamReader::Characters:
                if (text_.size() < kLongestText)
                    text_ += xml_.text().left(kLongestText - text_.size());
                break;
            case QXmlStreamReader::EndElement:
                end();
                break;
            default:
                break;
            }
        }
        if (error_.isEmpty() && xml_.hasError())
            error_ = xmlProblem();
        if (error_.isEmpty() && invoices_.isEmpty())
            error_ = QStringLiteral("Il file non contiene alcun documento (FatturaElettronicaBody).");
        if (!error_.isEmpty()) {
            out.refusal = error_;
            return out;
        }
        out.invoices = invoices_;
        return out;
    }

private:
    QString xmlProblem() const
    {
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return QStringLiteral("Il file è troncato: il documento XML finisce prima di chiudersi (riga %1).")
                .arg(xml_.lineNumber());
        return QStringLiteral("Il file non è un XML valido: errore alla riga %1, colonna %2.")
            .arg(xml_.lineNumber())
            .arg(xml_.columnNumber());
    }

    void fail(const QString& reason)
    {
        if (!error_.isEmpty())
            return;
        error_ = inBody_ ? QStringLiteral("Documento %1 del file: %2").arg(invoices_.size()).arg(reason) : reason;
    }

    bool in(const char* name) const { return path_.contains(QLatin1String(name)); }
    // The name of the element `up` levels above the one being closed (1: its parent).
    QString above(int up) const { return path_.size() > up ? path_.at(path_.size() - 1 - up) : QString(); }

    Invoice& current() { return invoices_.last(); }

    bool countRow()
    {
        if (++rows_ <= kMostRows)
            return true;
        fail(QStringLiteral("Il file ha troppe righe per essere una fattura."));
        return false;
    }

    void start(const QString& name)
    {
        text_.clear();
        path_ << name;
        if (path_.size() > kDeepest)
            return fail(QStringLiteral("Il file ha una struttura troppo profonda per essere una fattura."));
        if (path_.size() == 1) {
            if (name != QLatin1String("FatturaElettronica"))
                return fail(QStringLiteral("Il file non è una fattura elettronica: l'elemento principale è %1, non "
                                           "«FatturaElettronica».")
                                .arg(field(name)));
            const QString version = xml_.attributes().value(QLatin1String("versione")).toString().trimmed();
            if (version != QLatin1String("FPR12") && version != QLatin1String("FPA12"))
                return fail(QStringLiteral("La versione %1 della fattura elettronica non è gestita: si leggono le "
                                           "versioni FPR12 e FPA12.")
                                .arg(field(version)));
            formato_ = version;
            return;
        }
        if (name == QLatin1String("FatturaElettronicaHeader"))
            sawHeader_ = true;
        if (name == QLatin1String("FatturaElettronicaBody") && path_.size() == 2) {
            if (!sawHeader_)
                return fail(QStringLiteral("Il file non ha l'intestazione (FatturaElettronicaHeader) prima dei documenti."));
            if (invoices_.size() >= kMostBodies)
                return fail(QStringLiteral("Il file contiene troppi documenti."));
            Invoice invoice;
            invoice.formato = formato_;
            invoice.supplier = supplier_;
            invoice.customer = customer_;
            invoices_.push_back(invoice);
            inBody_ = true;
            return;
        }
        if (!inBody_)
            return;
        if (name == QLatin1String("DatiRitenuta") && countRow())
            current().withholdings.push_back({});
        else if (name == QLatin1String("DettaglioLinee") && countRow())
            current().lines.push_back({});
        else if (name == QLatin1String("DatiRiepilogo") && countRow())
            current().summary.push_back({});
        else if (name == QLatin1String("DettaglioPagamento") && countRow())
            current().payments.push_back({});
    }

    std::optional<Money> amount(const QString& text, const QString& name)
    {
        const std::optional<Money> m = parseInvoiceAmount(text);
        if (!m)
            fail(QStringLiteral("l'importo %1 di %2 non è un numero valido (atteso ad esempio 1234.50).")
                     .arg(field(text.left(40)), field(name)));
        return m;
    }

    QDate date(const QString& text, const QString& name)
    {
        const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid() || d < kEarliest || d > kLatest) {
            fail(QStringLiteral("la data %1 di %2 non è valida o è fuori dagli anni 2000-2099.")
                     .arg(field(text.left(40)), field(name)));
            return QDate();
        }
        return d;
    }

    void party(Party& p, const QString& name, const QString& text)
    {
        const QString parent = above(1);
        if (parent == QLatin1String("IdFiscaleIVA")) {
            if (name == QLatin1String("IdPaese"))
                p.paese = text;
            else if (name == QLatin1String("IdCodice"))
                p.partitaIva = text;
        } else if (parent == QLatin1String("DatiAnagrafici") && name == QLatin1String("CodiceFiscale")) {
            p.codiceFiscale = text;
        } else if (parent == QLatin1String("Anagrafica")) {
            if (name == QLatin1String("Denominazione"))
                p.denominazione = text;
            else if (name == QLatin1String("Nome"))
                p.nome = text;
            else if (name == QLatin1String("Cognome"))
                p.cognome = text;
        } else if (parent == QLatin1String("Sede")) {
            if (name == QLatin1String("Indirizzo"))
                p.indirizzo = p.indirizzo.isEmpty() ? text : text + u' ' + p.indirizzo;
            else if (name == QLatin1String("NumeroCivico"))
                p.indirizzo = p.indirizzo.isEmpty() ? text : p.indirizzo + u' ' + text;
            else if (name == QLatin1String("CAP"))
                p.cap = text;
            else if (name == QLatin1String("Comune"))
                p.comune = text;
            else if (name == QLatin1String("Provincia"))
                p.provincia = text;
        }
    }

    void body(const QString& name, const QString& text)
    {
        Invoice& inv = current();
        const QString parent = above(1);
        if (parent == QLatin1String("DatiGeneraliDocumento")) {
            if (name == QLatin1String("TipoDocumento"))
                inv.tipoDocumento = text;
            else if (name == QLatin1String("Divisa"))
                inv.divisa = text;
            else if (name == QLatin1String("Data"))
                inv.data = date(text, name);
            else if (name == QLatin1String("Numero"))
                inv.numero = text;
            else if (name == QLatin1String("ImportoTotaleDocumento")) {
                if (const auto m = amount(text, name)) {
                    inv.totale = *m;
                    inv.totaleDichiarato = true;
                }
            } else if (name == QLatin1String("Arrotondamento")) {
                if (const auto m = amount(text, name))
                    inv.arrotondamento = *m;
            }
        } else if (parent == QLatin1String("DatiBollo") && name == QLatin1String("ImportoBollo")) {
            if (const auto m = amount(text, name))
                inv.bollo = *m;
        } else if (parent == QLatin1String("DatiRitenuta") && !inv.withholdings.isEmpty()) {
            Withholding& w = inv.withholdings.last();
            if (name == QLatin1String("TipoRitenuta"))
                w.tipo = text;
            else if (name == QLatin1String("ImportoRitenuta")) {
                if (const auto m = amount(text, name))
                    w.importo = *m;
            } else if (name == QLatin1String("AliquotaRitenuta"))
                w.aliquota = text;
            else if (name == QLatin1String("CausalePagamento"))
                w.causale = text;
        } else if (parent == QLatin1String("DettaglioLinee") && !inv.lines.isEmpty()) {
            InvoiceLine& l = inv.lines.last();
            if (name == QLatin1String("Descrizione"))
                l.descrizione = text;
            else if (name == QLatin1String("Quantita"))
                l.quantita = text;
            else if (name == QLatin1String("AliquotaIVA"))
                l.aliquotaIva = text;
            else if (name == QLatin1String("PrezzoTotale")) {
                if (const auto m = amount(text, name))
                    l.prezzoTotale = *m;
            }
        } else if (parent == QLatin1String("DatiRiepilogo") && !inv.summary.isEmpty()) {
            VatSummary& s = inv.summary.last();
            if (name == QLatin1String("AliquotaIVA"))
                s.aliquotaIva = text;
            else if (name == QLatin1String("Natura"))
                s.natura = text;
            else if (name == QLatin1String("ImponibileImporto")) {
                if (const auto m = amount(text, name))
                    s.imponibile = *m;
            } else if (name == QLatin1String("Imposta")) {
                if (const auto m = amount(text, name))
                    s.imposta = *m;
            }
        } else if (parent == QLatin1String("DatiPagamento") && name == QLatin1String("CondizioniPagamento")) {
            inv.condizioniPagamento = text;
        } else if (parent == QLatin1String("DettaglioPagamento") && !inv.payments.isEmpty()) {
            PaymentTerm& p = inv.payments.last();
            if (name == QLatin1String("ModalitaPagamento"))
                p.modalita = text;
            else if (name == QLatin1String("DataScadenzaPagamento"))
                p.scadenza = date(text, name);
            else if (name == QLatin1String("ImportoPagamento")) {
                if (const auto m = amount(text, name))
                    p.importo = *m;
            } else if (name == QLatin1String("IBAN"))
                p.iban = text;
        }
    }

    // The checks of a body once it is closed.
    void finish(Invoice& inv)
    {
        if (inv.supplier.name().isEmpty())
            return fail(QStringLiteral("il fornitore (CedentePrestatore) non ha né denominazione né nome e cognome."));
        if (inv.supplier.partitaIva.isEmpty() && inv.supplier.codiceFiscale.isEmpty())
            return fail(QStringLiteral("il fornitore (CedentePrestatore) non ha né partita IVA né codice fiscale."));
        if (!QRegularExpression(QStringLiteral("^TD[0-9]{2}$")).match(inv.tipoDocumento).hasMatch())
            return fail(QStringLiteral("manca il tipo di documento (TipoDocumento) o non è valido."));
        if (inv.numero.isEmpty())
            return fail(QStringLiteral("manca il numero del documento (Numero)."));
        if (!inv.data.isValid())
            return fail(QStringLiteral("manca la data del documento (Data)."));
        if (inv.divisa != QLatin1String("EUR"))
            return fail(QStringLiteral("il documento è in %1: si importano solo documenti in euro (EUR).")
                            .arg(field(inv.divisa)));
        if (inv.summary.isEmpty())
            return fail(QStringLiteral("manca il riepilogo dell'IVA (DatiRiepilogo)."));
        for (const Withholding& w : inv.withholdings)
            if (w.tipo.isEmpty() || w.importo.cents() < 0)
                return fail(QStringLiteral("una ritenuta (DatiRitenuta) non ha il tipo o ha un importo negativo."));
        const Money computed = inv.imponibile() + inv.imposta() + inv.arrotondamento;
        if (!inv.totaleDichiarato)
            inv.totale = computed;
        else if (inv.totale != computed)
            inv.remarks << QStringLiteral("Il totale del documento (%1) differisce da imponibile più IVA (%2).")
                               .arg(inv.totale.toString(), computed.toString());
        if (inv.ritenuta() > inv.totale && inv.totale.cents() > 0)
            return fail(QStringLiteral("la ritenuta (%1) supera il totale del documento (%2).")
                            .arg(inv.ritenuta().toString(), inv.totale.toString()));
        for (const Withholding& w : inv.withholdings)
            if (!w.isIncomeTax())
                inv.remarks << QStringLiteral("Il contributo %1 di %2 non è una ritenuta d'acconto e non viene registrato "
                                              "come tale.")
                                   .arg(w.tipo, w.importo.toString());
    }

    void end()
    {
        if (path_.isEmpty())
            return;
        const QString name = path_.last();
        const QString text = text_.trimmed();
        if (inBody_ && name == QLatin1String("FatturaElettronicaBody") && path_.size() == 2) {
            finish(current());
            inBody_ = false;
        } else if (in("FatturaElettronicaHeader")) {
            if (in("CedentePrestatore"))
                party(supplier_, name, text);
            else if (in("CessionarioCommittente"))
                party(customer_, name, text);
        } else if (inBody_) {
            body(name, text);
        }
        path_.removeLast();
        text_.clear();
    }

    QXmlStreamReader xml_;
    QStringList path_;
    QString text_;
    QString formato_;
    Party supplier_;
    Party customer_;
    QVector<Invoice> invoices_;
    QString error_;
    bool sawHeader_ = false;
    bool inBody_ = false;
    int rows_ = 0;
};

} // namespace

std::optional<Money> parseInvoiceAmount(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]{1,11}\\.[0-9]{2,8}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return Money::parse(text);
}

ParsedXml parseInvoiceXml(const QByteArray& xml)
{
    if (xml.size() > kLargestInvoiceXml) {
        ParsedXml out;
        out.refusal = QStringLiteral("Il file è troppo grande per essere una fattura (%1 MB).").arg(xml.size() >> 20);
        return out;
    }
    if (xml.trimmed().isEmpty()) {
        ParsedXml out;
        out.refusal = QStringLiteral("Il file è vuoto.");
        return out;
    }
    return Reader(xml).run();
}

} // namespace velcaris::einvoice
