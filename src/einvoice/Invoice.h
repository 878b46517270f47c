#pragma once
// A supplier's electronic invoice (FatturaPA, version 1.2) as the import reads it: one body of
// the file with the header it shares with the file's other bodies. Amounts in cents, as written
// in the file (a credit note keeps its positive amounts; the expense it becomes is negative).
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::einvoice {

// The supplier (CedentePrestatore) or the customer (CessionarioCommittente).
struct Party {
    QString denominazione;
    QString nome;
    QString cognome;
    QString paese;       // IdFiscaleIVA/IdPaese
    QString partitaIva;  // IdFiscaleIVA/IdCodice
    QString codiceFiscale;
    QString indirizzo;   // Sede/Indirizzo and NumeroCivico
    QString cap;
    QString comune;
    QString provincia;

    // Denominazione, or "Nome Cognome" of a person.
    QString name() const;
};

struct InvoiceLine {
    QString descrizione;
    QString quantita;
    store::Money prezzoTotale;
    QString aliquotaIva;
};

// One DatiRiepilogo: the taxable amount and the VAT of one rate (or of one exemption, Natura).
struct VatSummary {
    QString aliquotaIva;
    QString natura;
    store::Money imponibile;
    store::Money imposta;
};

// One DatiRitenuta. RT01 (persons) and RT02 (companies) are the income-tax withholding; the other
// kinds are social security contributions.
struct Withholding {
    QString tipo;
    QString aliquota;
    store::Money importo;
    QString causale; // CausalePagamento: "A", "W", ...
    bool isIncomeTax() const;
};

struct PaymentTerm {
    QString modalita;  // MP05 transfer, MP01 cash, ...
    QDate scadenza;
    store::Money importo;
    QString iban;
};

struct Invoice {
    QString formato; // FPR12 or FPA12
    Party supplier;
    Party customer;
    QString tipoDocumento; // TD01, TD04, ...
    QString divisa;
    QString numero;
    QDate data;
    store::Money totale; // ImportoTotaleDocumento, or taxable + VAT + stamp + rounding when absent
    bool totaleDichiarato = false;
    store::Money bollo;
    store::Money arrotondamento;
    QString condizioniPagamento; // TP01 instalments, TP02 whole, TP03 advance
    QVector<InvoiceLine> lines;
    QVector<VatSummary> summary;
    QVector<Withholding> withholdings;
    QVector<PaymentTerm> payments;
    // What the reader noticed without refusing: a declared total that differs from taxable + VAT,
    // contributions that are not a withholding.
    QStringList remarks;

    store::Money imponibile() const; // the summaries' taxable amounts
    store::Money imposta() const;    // and their VAT
    store::Money ritenuta() const;   // the income-tax withholdings (RT01, RT02)
    const Withholding* firstIncomeTax() const;
    bool isCreditNote() const { return tipoDocumento == QLatin1String("TD04"); }
    // "Fattura", "Nota di credito", "Parcella", ... for messages and the readable copy.
    QString kindName() const;
    // "n. 12 del 10/05/2024 di Idraulica Rossi S.r.l." for messages.
    QString reference() const;
};

} // namespace velcaris::einvoice
