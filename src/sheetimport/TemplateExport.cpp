#include "sheetimport/TemplateExport.h"

#include "allocation/MillesimalTables.h"
#include "registry/Condominiums.h"
#include "sheetimport/ColumnNames.h"
#include "store/Database.h"

#include <QDir>
#include <QHash>

namespace velcaris::sheetimport {

using reports::Cell;
using store::Statement;

namespace {

const QStringList kInstructions = {
    QStringLiteral("Come compilare questo file"),
    QStringLiteral("Foglio Locali: una riga per locale. \"Locale\" è il nome del locale; \"Proprietario\" e "
                   "\"Inquilino\" sono \"Cognome Nome\" di una persona del foglio Persone (o il suo codice fiscale); "
                   "un inquilino vuoto vuol dire che il locale non è affittato."),
    QStringLiteral("Le colonne dopo \"PartecipazioneSTR\" sono le tabelle millesimali: una colonna con un nome nuovo "
                   "crea la tabella. I millesimi si scrivono con la virgola o il punto (333,333)."),
    QStringLiteral("Foglio Persone: una riga per persona; la persona è riconosciuta dal codice fiscale, altrimenti "
                   "da cognome e nome. \"Consiglio\" è Sì o No."),
    QStringLiteral("Foglio Fornitori: riconosciuti dalla partita IVA, altrimenti dal codice fiscale o dal nome."),
    QStringLiteral("Le colonne possono stare in qualunque ordine; una riga che corrisponde a un dato esistente lo "
                   "aggiorna, le altre aggiungono; nulla viene cancellato. Prima di scrivere, il programma mostra "
                   "cosa cambierà e quali righe scarta."),
};

QString displayName(const QString& surname, const QString& firstName)
{
    return (surname + u' ' + firstName).trimmed();
}

} // namespace

QVector<reports::Sheet> templateSheets(app::Workspace& ws)
{
    store::Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;

    reports::Sheet persons{QStringLiteral("Persone"),
                           {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Codice fiscale"),
                            QStringLiteral("Indirizzo"), QStringLiteral("CAP"), QString::fromUtf8("Città"),
                            QStringLiteral("Telefono"), QStringLiteral("Mobile"), QStringLiteral("Fax"),
                            QStringLiteral("E-mail"), QStringLiteral("Comunicazioni"), QStringLiteral("Consiglio"),
                            QStringLiteral("Note")},
                           {}};
    QHash<qint64, QString> names; // how the units' sheet names each person
    QHash<QString, int> nameUses;
    {
        Statement st(db, QStringLiteral("SELECT Id, Cognome, Nome, CodiceFiscale, Indirizzo, CAP, \"Città\", Telefono, "
                                        "Mobile, Fax, Email, Comunicazioni, Consiglio, Note FROM Anagrafe "
                                        "WHERE idCondominio = ? ORDER BY Cognome, Nome, Id"));
        st.bind(1, condominium);
        QHash<qint64, QString> codes;
        while (st.step()) {
            QVector<Cell> row;
            for (int c = 1; c <= 11; ++c)
                row << Cell::ofText(st.value(c).toString());
            row << Cell::ofText(st.value(12).toBool() ? QString::fromUtf8("Sì") : QStringLiteral("No"));
            row << Cell::ofText(st.value(13).toString());
            persons.rows << row;
            const qint64 id = st.value(0).toLongLong();
            const QString name = displayName(st.value(1).toString(), st.value(2).toString());
            names.insert(id, name);
            codes.insert(id, st.value(3).toString().trimmed());
            ++nameUses[name.simplified().toCaseFolded()];
        }
        // Two persons of the same name are told apart by their codice fiscale.
        for (auto it = names.begin(); it != names.end(); ++it)
            if (nameUses.value(it.value().simplified().toCaseFolded()) > 1 && !codes.value(it.key()).isEmpty())
                it.value() = codes.value(it.key());
    }

    const QVector<allocation::TableRecord> tables = allocation::condominiumTables(ws, condominium);
    reports::Sheet units{QStringLiteral("Locali"),
                         {QStringLiteral("Locale"), QStringLiteral("Scala"), QStringLiteral("Piano"),
                          QStringLiteral("Tipologia"), QStringLiteral("Proprietario"), QStringLiteral("Inquilino"),
                          QStringLiteral("Foglio"), QStringLiteral("Particella"), QStringLiteral("Sub"),
                          QStringLiteral("PartecipazioneORD"), QStringLiteral("PartecipazioneSTR")},
                         {}};
    for (const allocation::TableRecord& t : tables)
        units.header << tableHeader(t.data.nome);
    {
        QHash<qint64, QHash<qint64, double>> thousandths;
        Statement m(db, QStringLiteral("SELECT IdLocale, IdTabella, Millesimi FROM Millesimi WHERE IdCondominio = ?"));
        m.bind(1, condominium);
        while (m.step())
            thousandths[m.value(0).toLongLong()][m.value(1).toLongLong()] += m.value(2).toDouble();
        Statement st(db, QStringLiteral("SELECT Id, Nome, Scala, Piano, IdTipologia, idProprietario, idInquilino, Foglio, "
                                        "Particella, Sub, PartecipazioneORD, PartecipazioneSTR FROM Locali "
                                        "WHERE IdCondominio = ? ORDER BY Id"));
        st.bind(1, condominium);
        while (st.step()) {
            const qint64 owner = st.value(5).toLongLong();
            const qint64 tenant = st.value(6).toLongLong();
            QVector<Cell> row;
            for (int c = 1; c <= 4; ++c)
                row << Cell::ofText(st.value(c).toString());
            row << Cell::ofText(names.value(owner));
            row << Cell::ofText(tenant == owner ? QString() : names.value(tenant));
            for (int c = 7; c <= 9; ++c)
                row << Cell::ofText(st.value(c).toString());
            for (int c = 10; c <= 11; ++c)
                row << Cell::ofWhole(st.value(c).isNull() ? 100 : st.value(c).toLongLong());
            const QHash<qint64, double> mine = thousandths.value(st.value(0).toLongLong());
            for (const allocation::TableRecord& t : tables)
                row << Cell::ofAmount(mine.value(t.id), 3);
            units.rows << row;
        }
    }

    reports::Sheet suppliers{QStringLiteral("Fornitori"),
                             {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Partita IVA"),
                              QStringLiteral("Codice fiscale"), QStringLiteral("Indirizzo"), QStringLiteral("CAP"),
                              QString::fromUtf8("Città"), QStringLiteral("Telefono"), QStringLiteral("Mobile"),
                              QStringLiteral("Fax"), QStringLiteral("E-mail"), QStringLiteral("IBAN"),
                              QStringLiteral("Note")},
                             {}};
    {
        Statement st(db, QStringLiteral("SELECT f.Cognome, f.Nome, f.PartitaIVA, f.CodiceFiscale, f.Indirizzo, f.CAP, "
                                        "f.\"Città\", f.Telefono, f.Mobile, f.Fax, f.Email, f.IBAN, f.Note "
                                        "FROM Fornitori AS f WHERE f.id IN (SELECT a.IdFornitore FROM "
                                        "fornitori_associazione AS a WHERE a.IdCondominio = ?) ORDER BY f.Cognome, f.id"));
        st.bind(1, condominium);
        while (st.step()) {
            QVector<Cell> row;
            for (int c = 0; c < 13; ++c)
                row << Cell::ofText(st.value(c).toString());
            suppliers.rows << row;
        }
    }

    reports::Sheet instructions{QStringLiteral("Istruzioni"), {}, {}};
    for (const QString& line : kInstructions)
        instructions.rows << QVector<Cell>{Cell::ofText(line)};
    return {units, persons, suppliers, instructions};
}

app::Outcome exportTemplate(app::Workspace& ws, const QString& path)
{
    if (ws.selection.condominium.isEmpty())
        return app::Outcome::refused(registry::kChooseCondominiumFirst, app::MessageKind::Information);
    if (path.trimmed().isEmpty())
        return app::Outcome::refused(QStringLiteral("Scegliere il file in cui scrivere il modello"));
    const QString problem = reports::writeWorkbook(path, templateSheets(ws));
    if (!problem.isEmpty())
        return app::Outcome::refused(problem, app::MessageKind::Error);
    return app::Outcome::accepted();
}

} // namespace velcaris::sheetimport
