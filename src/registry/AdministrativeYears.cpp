#include "registry/AdministrativeYears.h"

#include "foundation/Selection.h"
#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::registry {

using store::Database;
using store::Statement;

namespace {

// Tables that name a year in AA, with the column naming the condominium.
const char* const kYearColumns[][2] = {
    {"main.Quote", "IdCondominio"}, {"main.Entrate", "Condominio"},   {"main.Uscite", "Condominio"},
    {"main.Preventivi", "Condominio"}, {"main.Interventi", "Condominio"}, {"web.Quote", "Condominio"},
    {"web.Files", "Condominio"}, {"main.Assemblee", "Condominio"}, {"main.Ripartizioni", "Condominio"},
    {"main.NumeriRicevute", "Condominio"},
};

// What a change of year refreshes.
const char* const kRefreshed[] = {
    "ADOTableAA", "ADOQueryEntrate", "ADOQueryUscite", "ADOQueryPreventivi", "ADOTablePreventivi",
    "ADOQueryInterventi", "ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2",
};

void refresh(app::Workspace& ws)
{
    for (const char* name : kRefreshed) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

// A name that differs only in letter case would give receipts the same file names.
bool yearNameTaken(Database& db, const QString& condominium, const QString& name, qint64 ownId)
{
    Statement st(db, QStringLiteral("SELECT id, nome FROM AnnoAmministrativo WHERE idCondominio = ?"));
    st.bind(1, condominium);
    while (st.step())
        if (st.value(0).toLongLong() != ownId && QString::compare(st.value(1).toString(), name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

app::Outcome checkInput(app::Workspace& ws, const YearInput& input, qint64 ownId)
{
    if (ws.selection.condominium.isEmpty())
        return app::Outcome::refused(kChooseCondominiumFirst);
    // A name of blanks only would name nothing in the receipts' file names.
    if (trimmedName(input.name).isEmpty())
        return app::Outcome::refused(kYearNameRequired);
    bool removed = false;
    withoutRefused(input.name, fileNameRefusedCharacters(), &removed);
    if (removed)
        return app::Outcome::refused(kRefusedCharacterMessage, app::MessageKind::Information);
    if (yearNameTaken(ws.mainDb(), ws.selection.condominium, input.name, ownId))
        return app::Outcome::refused(duplicateYearMessage(input.name));
    return app::Outcome::accepted();
}

} // namespace

QString duplicateYearMessage(const QString& name)
{
    return QStringLiteral("Esiste già un anno amministrativo di nome \"%1\" per questo condominio").arg(name);
}

std::optional<YearRecord> currentYear(app::Workspace& ws)
{
    if (ws.selection.condominium.isEmpty())
        return std::nullopt;
    Statement st(ws.mainDb(), QStringLiteral("SELECT id, nome, data_inizio, data_fine, approvato FROM AnnoAmministrativo "
                                             "WHERE idCondominio = ? AND corrente <> 0 ORDER BY id LIMIT 1"));
    st.bind(1, ws.selection.condominium);
    if (!st.step())
        return std::nullopt;
    YearRecord year;
    year.id = st.value(0).toLongLong();
    year.data.name = st.value(1).toString();
    year.data.start = QDate::fromString(st.value(2).toString().left(10), Qt::ISODate);
    year.data.end = QDate::fromString(st.value(3).toString().left(10), Qt::ISODate);
    year.data.approved = st.value(4).toBool();
    return year;
}

app::Outcome addYear(app::Workspace& ws, const YearInput& input, int* copied)
{
    if (copied)
        *copied = 0;
    if (app::Outcome check = checkInput(ws, input, 0); !check.done)
        return check;
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const std::optional<YearRecord> previous = currentYear(ws);

    store::Transaction tr(db);
    if (input.importBudget && previous) {
        db.exec(QStringLiteral("INSERT INTO Preventivi (Condominio, DescrizioneVoceSpesa, Spesa, Tabella, AA) "
                               "SELECT Condominio, DescrizioneVoceSpesa, Spesa, Tabella, ? FROM Preventivi "
                               "WHERE Condominio = ? AND AA = ? ORDER BY Id"),
                {input.name, condominium, previous->data.name});
        if (copied)
            *copied = db.changes();
    }
    // Exactly one current year per condominium: the new one.
    db.exec(QStringLiteral("UPDATE AnnoAmministrativo SET corrente = 0 WHERE idCondominio = ? AND corrente <> 0"),
            {condominium});
    db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, approvato, "
                           "corrente) VALUES (?, ?, ?, ?, ?, 1)"),
            {condominium, input.name, input.start, input.end, input.approved});
    tr.commit();

    ws.selection.selectedYearName = input.name;
    refresh(ws);
    return app::Outcome::accepted();
}

app::Outcome modifyYear(app::Workspace& ws, const YearInput& input)
{
    if (ws.selection.condominium.isEmpty())
        return app::Outcome::refused(kChooseCondominiumFirst);
    const std::optional<YearRecord> year = currentYear(ws);
    if (!year)
        return app::Outcome::refused(app::kRequireYearMessage);
    // Another desk made another year current since the dialog read its year: the name check
    // would measure the input against the wrong year.
    if (input.asRead.isSet() && input.asRead.key.toLongLong() != year->id)
        return app::Outcome::staleRow(store::rowChangedText());
    if (app::Outcome check = checkInput(ws, input, year->id); !check.done)
        return check;
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;

    try {
        store::Transaction tr(db);
        // The year as read; its `corrente` too, so another year made current meanwhile refuses.
        store::refuseIfChanged(db, input.asRead);
        db.exec(QStringLiteral("UPDATE AnnoAmministrativo SET nome = ?, data_inizio = ?, data_fine = ?, approvato = ? "
                               "WHERE id = ?"),
                {input.name, input.start, input.end, input.approved, year->id});
        if (input.name != year->data.name) {
            for (const auto& [table, column] : kYearColumns)
                db.exec(QStringLiteral("UPDATE %1 SET AA = ? WHERE %2 = ? AND AA = ?")
                            .arg(QString::fromLatin1(table), QString::fromLatin1(column)),
                        {input.name, condominium, year->data.name});
        }
        tr.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }

    ws.selection.selectedYearName = input.name;
    refresh(ws);
    return app::Outcome::accepted();
}

} // namespace velcaris::registry
