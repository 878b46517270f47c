#pragma once
// FatturaPA files written for the tests from the public schema: one header, one or more bodies,
// any namespace prefix (or none), and the signed envelope and zip archive they travel in.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <zip.h>

namespace velcaris::test {

struct SampleBody {
    QString numero = "12";
    QString data = "2024-05-10";
    QString tipo = "TD01";
    QString imponibile = "1000.00";
    QString imposta = "220.00";
    QString totale = "1220.00"; // empty: no ImportoTotaleDocumento
    QString ritenuta;           // empty: no DatiRitenuta
    QString causale = "A";
    QString tipoRitenuta = "RT01";
    QString descrizione = "Riparazione pompa autoclave";
};

struct SampleParty {
    QString denominazione = "Idraulica Rossi S.r.l.";
    QString partitaIva = "01234567890";
    QString codiceFiscale = "01234567890";
};

inline QByteArray invoiceXml(const QVector<SampleBody>& bodies, const QString& prefix = "p",
                             const SampleParty& supplier = {}, const QString& customerCode = "90012345678")
{
    const QString p = prefix.isEmpty() ? QString() : prefix + ":";
    const QString ns = prefix.isEmpty() ? QString("xmlns") : "xmlns:" + prefix;
    QString x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p + "FatturaElettronica versione=\"FPR12\" " + ns +
                "=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">\n"
                "<FatturaElettronicaHeader><DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>"
                "01234567890</IdCodice></IdTrasmittente><ProgressivoInvio>00001</ProgressivoInvio>"
                "<FormatoTrasmissione>FPR12</FormatoTrasmissione><CodiceDestinatario>0000000</CodiceDestinatario>"
                "</DatiTrasmissione>\n<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>" +
                supplier.partitaIva + "</IdCodice></IdFiscaleIVA><CodiceFiscale>" + supplier.codiceFiscale +
                "</CodiceFiscale><Anagrafica><Denominazione>" + supplier.denominazione.toHtmlEscaped() +
                "</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici><Sede><Indirizzo>"
                "Via Po</Indirizzo><NumeroCivico>4</NumeroCivico><CAP>10100</CAP><Comune>Torino</Comune><Provincia>TO"
                "</Provincia><Nazione>IT</Nazione></Sede></CedentePrestatore>\n<CessionarioCommittente><DatiAnagrafici>"
                "<CodiceFiscale>" + customerCode + "</CodiceFiscale><Anagrafica><Denominazione>Condominio Villa Rosa"
                "</Denominazione></Anagrafica></DatiAnagrafici><Sede><Indirizzo>Via Roma 1</Indirizzo><CAP>10100</CAP>"
                "<Comune>Torino</Comune><Nazione>IT</Nazione></Sede></CessionarioCommittente></FatturaElettronicaHeader>\n";
    for (const SampleBody& b : bodies) {
        x += "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento><TipoDocumento>" + b.tipo +
             "</TipoDocumento><Divisa>EUR</Divisa><Data>" + b.data + "</Data><Numero>" + b.numero + "</Numero>";
        if (!b.ritenuta.isEmpty())
            x += "<DatiRitenuta><TipoRitenuta>" + b.tipoRitenuta + "</TipoRitenuta><ImportoRitenuta>" + b.ritenuta +
                 "</ImportoRitenuta><AliquotaRitenuta>20.00</AliquotaRitenuta><CausalePagamento>" + b.causale +
                 "</CausalePagamento></DatiRitenuta>";
        if (!b.totale.isEmpty())
            x += "<ImportoTotaleDocumento>" + b.totale + "</ImportoTotaleDocumento>";
        x += "</DatiGeneraliDocumento></DatiGenerali>\n<DatiBeniServizi><DettaglioLinee><NumeroLinea>1</NumeroLinea>"
             "<Descrizione>" + b.descrizione.toHtmlEscaped() + "</Descrizione><Quantita>1.00</Quantita>"
             "<PrezzoUnitario>" + b.imponibile + "</PrezzoUnitario><PrezzoTotale>" + b.imponibile +
             "</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee><DatiRiepilogo><AliquotaIVA>22.00"
             "</AliquotaIVA><ImponibileImporto>" + b.imponibile + "</ImponibileImporto><Imposta>" + b.imposta +
             "</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo></DatiBeniServizi>\n<DatiPagamento>"
             "<CondizioniPagamento>TP02</CondizioniPagamento><DettaglioPagamento><ModalitaPagamento>MP05"
             "</ModalitaPagamento><DataScadenzaPagamento>2024-06-10</DataScadenzaPagamento><ImportoPagamento>" +
             (b.totale.isEmpty() ? b.imponibile : b.totale) + "</ImportoPagamento><IBAN>IT60X0542811101000000123456</IBAN></DettaglioPagamento>"
             "</DatiPagamento></FatturaElettronicaBody>\n";
    }
    x += "</" + p + "FatturaElettronica>\n";
    return x.toUtf8();
}

// A CMS envelope holding `content` (DER; base64 lines when asked), as a signed file carries it.
inline QByteArray envelope(const QByteArray& content, bool base64)
{
    BIO* in = BIO_new_mem_buf(content.constData(), int(content.size()));
    CMS_ContentInfo* cms = CMS_data_create(in, CMS_BINARY);
    BIO_free(in);
    QByteArray der;
    if (cms) {
        unsigned char* out = nullptr;
        const int length = i2d_CMS_ContentInfo(cms, &out);
        if (length > 0)
            der = QByteArray(reinterpret_cast<const char*>(out), length);
        OPENSSL_free(out);
        CMS_ContentInfo_free(cms);
    }
    if (!base64)
        return der;
    QByteArray text;
    const QByteArray b64 = der.toBase64();
    for (int i = 0; i < b64.size(); i += 64)
        text += b64.mid(i, 64) + "\r\n";
    return text;
}

// A zip archive holding the named entries.
inline QByteArray zipOf(const QVector<QPair<QString, QByteArray>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* s = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        zip_file_add(archive, name.toUtf8().constData(), s, ZIP_FL_OVERWRITE);
    }
    zip_close(archive); // the entries' bytes are read here, while `entries` is alive
    QByteArray out;
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        out.resize(qsizetype(size));
        zip_source_read(buffer, out.data(), zip_uint64_t(size));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

} // namespace velcaris::test
