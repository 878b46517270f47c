#include "registry/Condominiums.h"
#include "registry/CondominiumColumns.h"

#include "foundation/FolderReconcile.h"
#include "foundation/OutputPaths.h"
#include "foundation/Selection.h"
#include "registry/NameRules.h"
#include "store/Database.h"
#include "store/Failpoint.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::registry {

using store::Database;
using store::Statement;

namespace {

// Done, with a warning for each thing beside the rows that did not work out.
app::Outcome accepted(const QStringList& warnings)
{
    app::Outcome outcome = app::Outcome::accepted();
    for (const QString& w : warnings)
        outcome.add(app::MessageKind::Warning, w);
    return outcome;
}

// Registers whose rows a change of condominium may have touched.
const char* const kRefreshed[] = {
    "ADOTableCondomini", "ADOTableAnagrafe", "ADOTableAA", "ADOTableTabelle", "ADOTableScadenzario",
    "ADOQueryPreventivi", "ADOTablePreventivi", "ADOTableLocali", "ADOTableMillesimi", "ADOTableQuote",
    "ADOTableAssociaFornitore", "ADOQueryEntrate", "ADOQueryUscite", "ADOQueryInterventi",
    "ADOWEBDBquote2", "ADOWEBDBQuote", "ADOWEBDBCodiceCondominio", "ADOWEBDBAccesso",
};

void refresh(app::Workspace& ws)
{
    // The condominium and its person row are looked up among every row, not the chosen ones.
    ws.ds(QStringLiteral("ADOTableCondomini")).setFilter(QString());
    ws.ds(QStringLiteral("ADOTableAnagrafe")).setFilter(QString());
    for (const char* name : kRefreshed) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

bool hasRefused(const CondominiumInput& input)
{
    bool removed = false;
    withoutRefused(input.nome + input.indirizzo, condominiumRefusedCharacters(), &removed);
    return removed;
}

// Whether a Condomini row carries the name: the name is the condominium's key.
bool condominiumExists(Database& db, const QString& name)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM Condomini WHERE Nome = ?"), {name}).toLongLong() > 0;
}

// Folder names must not clash even where the file system ignores letter case, so two
// condominiums may not differ by case alone.
bool nameTakenByAnother(Database& db, const QString& fullName, const QString& ownName)
{
    Statement st(db, QStringLiteral("SELECT Nome FROM Condomini"));
    while (st.step()) {
        const QString name = st.value(0).toString();
        if (!ownName.isEmpty() && name == ownName)
            continue;
        if (QString::compare(name, fullName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

app::Outcome checkInput(const CondominiumInput& input, const QString& fullName, Database& db, const QString& ownName)
{
    if (trimmedName(input.nome).isEmpty() || trimmedName(input.indirizzo).isEmpty())
        return app::Outcome::refused(kNameAndAddressRequired);
    // The dialog's boxes drop these while typed; text arriving by other ways is refused here.
    if (hasRefused(input))
        return app::Outcome::refused(kRefusedCharacterMessage, app::MessageKind::Information);
    if (nameTakenByAnother(db, fullName, ownName))
        return app::Outcome::refused(duplicateCondominiumMessage(fullName));
    return app::Outcome::accepted();
}

QVector<QVariant> otherFields(const CondominiumInput& in)
{
    return {in.comune, in.codiceFiscale, in.contoCorrente, in.ascensore, in.intestatario, in.banca,
            in.sezioneUrbana, in.foglio, in.particella, in.sub, in.zonaCensuaria, in.microzona};
}

const QString kFieldList = QStringLiteral(
    "Comune, Codice_fiscale, Conto_corrente, Ascensore, Intestatario, Banca, Sezione_urbana, Foglio, "
    "Particella, Sub, Zona_censuaria, Microzona");

// Creates the folder and its Ricevute; the text of what could not be made, or empty.
QString makeFolders(const app::Workspace& ws, const QString& fullName)
{
    const QString receipts = receiptsFolder(ws, fullName);
    if (!app::insideOutput(ws.paths(), receipts))
        return app::makeOutputFolder(ws.paths(), receipts);
    QDir().mkpath(receipts);
    return QFileInfo(receipts).isDir() ? QString() : folderNotCreatedMessage(receipts);
}

// Whether a folder of that name can be made in its place (made and removed at once).
// Whether the file system takes a folder of this name. The trial is made beside the databases,
// on the same disk as the output folders, so that a crash in between never leaves a stray folder
// among the condominiums' own.
bool canMakeFolder(const app::Workspace& ws, const QString& name)
{
    const QString trial = ws.paths().folderNameTrial();
    const QString probe = trial + u'/' + name;
    QDir().mkpath(trial);
    QDir().rmdir(probe); // left there by a run that stopped in between
    const bool made = QDir().mkdir(probe);
    QDir().rmdir(probe);
    QDir().rmdir(trial);
    return made;
}

} // namespace

QString archivedFolderName(const QString& folder, const QDate& day)
{
    const QString base = QDir::cleanPath(folder) + QStringLiteral(" (archivio ") + day.toString(Qt::ISODate);
    QString name = base + u')';
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral(" %1)").arg(n);
    return name;
}

QString duplicateCondominiumMessage(const QString& fullName)
{
    return QStringLiteral("Esiste già un condominio di nome \"%1\"").arg(fullName);
}

QString folderInTheWayMessage(const QString& folder)
{
    return QStringLiteral("La cartella \"%1\" esiste già: spostarla o rinominarla prima di cambiare il nome del "
                          "condominio. Nessun dato è stato modificato.")
        .arg(QDir::toNativeSeparators(folder));
}

QString folderNotRenamedMessage(const QString& from, const QString& to)
{
    return QStringLiteral("Impossibile rinominare la cartella \"%1\" in \"%2\". Nessun dato è stato modificato.")
        .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
}

QString folderLeftBehindMessage(const QString& from, const QString& to)
{
    return QStringLiteral("Il condominio è stato rinominato, ma la cartella \"%1\" non si è potuta rinominare in \"%2\": "
                          "al prossimo avvio il programma riproverà; altrimenti rinominarla a mano.")
        .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
}

QString folderNotCreatedMessage(const QString& folder)
{
    return QStringLiteral("Impossibile creare la cartella \"%1\"").arg(QDir::toNativeSeparators(folder));
}

QString trimmedName(const QString& text)
{
    qsizetype start = 0, end = text.size();
    auto blank = [](QChar c) { return c.unicode() <= 32 || c.isSpace(); };
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

QString fullCondominiumName(const QString& nome, const QString& indirizzo)
{
    return trimmedName(nome) + QStringLiteral(" - ") + trimmedName(indirizzo);
}

QString condominiumFolder(const app::Workspace& ws, const QString& fullName)
{
    return ws.paths().outputFolder() + fullName;
}

QString receiptsFolder(const app::Workspace& ws, const QString& fullName)
{
    return condominiumFolder(ws, fullName) + QStringLiteral("/Ricevute");
}

bool loadCondominium(app::Workspace& ws, const QString& fullName, CondominiumInput& out)
{
    Statement st(ws.mainDb(), QStringLiteral("SELECT Nome, ") + kFieldList +
                                  QStringLiteral(" FROM Condomini WHERE Nome = ?"));
    st.bind(1, fullName);
    if (!st.step())
        return false;
    app::Selection split;
    app::SplitCondominiumName(split, fullName);
    const bool hasDash = fullName.contains(u'-');
    out = CondominiumInput();
    out.nome = hasDash ? split.shortName : fullName;
    out.indirizzo = hasDash ? split.address : QString();
    QString* fields[] = {&out.comune, &out.codiceFiscale, &out.contoCorrente, &out.ascensore,
                         &out.intestatario, &out.banca, &out.sezioneUrbana, &out.foglio,
                         &out.particella, &out.sub, &out.zonaCensuaria, &out.microzona};
    for (int i = 0; i < 12; ++i)
        *fields[i] = st.value(i + 1).toString();
    return true;
}

app::Outcome addCondominium(app::Workspace& ws, const CondominiumInput& input)
{
    Database& db = ws.mainDb();
    const QString fullName = fullCondominiumName(input.nome, input.indirizzo);
    if (app::Outcome check = checkInput(input, fullName, db, QString()); !check.done)
        return check;

    // A folder of this name is left from an earlier condominium (deleted while its folder could
    // not go, or made by hand): it is moved aside, never inherited.
    QStringList warnings;
    const QString folder = condominiumFolder(ws, fullName);
    if (QFileInfo(folder).isDir() && app::insideOutput(ws.paths(), folder)) {
        const QString aside = archivedFolderName(folder, QDate::currentDate());
        if (!QDir().rename(folder, aside))
            return app::Outcome::refused(
                QStringLiteral("La cartella \"%1\" esiste già, con documenti che non sono di questo condominio, e non si è "
                               "potuta spostare: spostarla o rinominarla a mano. Nessun dato è stato modificato.")
                    .arg(QDir::toNativeSeparators(folder)));
        warnings << QStringLiteral("La cartella \"%1\" c'era già, con documenti di un condominio precedente dello stesso "
                                   "nome: è stata spostata in \"%2\", così il nuovo condominio parte con una cartella "
                                   "vuota.")
                        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(aside));
    }

    {
        store::Transaction tr(db);
        QVector<QVariant> values{fullName};
        values += otherFields(input);
        db.exec(QStringLiteral("INSERT INTO Condomini (Nome, ") + kFieldList +
                    QStringLiteral(") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                values);
        // The condominium's own person row: no condominium of its own, so the Anagrafe tab never lists it.
        db.exec(QStringLiteral("INSERT INTO Anagrafe (Cognome) VALUES (?)"), {fullName});
        tr.commit();
    }

    if (const QString failure = makeFolders(ws, fullName); !failure.isEmpty())
        warnings << failure;
    ws.selection.condominium = fullName;
    refresh(ws);
    return accepted(warnings);
}

app::Outcome modifyCondominium(app::Workspace& ws, const CondominiumInput& input)
{
    Database& db = ws.mainDb();
    const QString oldName = ws.selection.condominium;
    if (oldName.isEmpty() || !condominiumExists(db, oldName))
        return app::Outcome::refused(kChooseCondominiumFirst);
    const QString fullName = fullCondominiumName(input.nome, input.indirizzo);
    if (app::Outcome check = checkInput(input, fullName, db, oldName); !check.done)
        return check;

    const bool renamed = fullName != oldName;
    const QString oldFolder = condominiumFolder(ws, oldName);
    const QString newFolder = condominiumFolder(ws, fullName);
    const QFileInfo oldInfo(oldFolder), newInfo(newFolder);
    const bool moveFolder = renamed && oldInfo.isDir();
    // Where the file system ignores case, a change of case alone finds its own folder there.
    const bool sameFolder = moveFolder && newInfo.exists() && oldInfo.canonicalFilePath() == newInfo.canonicalFilePath();
    // Never merge the condominium's documents into a folder that holds others.
    if (moveFolder && newInfo.exists() && !sameFolder)
        return app::Outcome::refused(folderInTheWayMessage(newFolder));

    QStringList warnings;
    // A folder name the file system refuses (too long, say) is found before any row changes.
    if (moveFolder && !sameFolder && !canMakeFolder(ws, fullName))
        return app::Outcome::refused(folderNotRenamedMessage(oldFolder, newFolder));
    // The folder is renamed only once the rows are committed; the intent is recorded first, so
    // that the next start finishes the move if the program stops in between.
    if (moveFolder && !app::recordPendingFolderRename(ws.paths(), oldName, fullName))
        return app::Outcome::refused(folderNotRenamedMessage(oldFolder, newFolder));
    try {
        store::Transaction tr(db);
        store::refuseIfChanged(db, input.asRead);
        QVector<QVariant> values{fullName};
        values += otherFields(input);
        values << oldName;
        db.exec(QStringLiteral("UPDATE Condomini SET Nome = ?, Comune = ?, Codice_fiscale = ?, Conto_corrente = ?, "
                               "Ascensore = ?, Intestatario = ?, Banca = ?, Sezione_urbana = ?, Foglio = ?, "
                               "Particella = ?, Sub = ?, Zona_censuaria = ?, Microzona = ? WHERE Nome = ?"),
                values);
        if (renamed) {
            for (const auto& [table, column] : kMainNameColumns)
                db.exec(QStringLiteral("UPDATE main.%1 SET %2 = ? WHERE %2 = ?")
                            .arg(store::quoteIdentifier(QString::fromLatin1(table)),
                                 store::quoteIdentifier(QString::fromLatin1(column))),
                        {fullName, oldName});
            for (const auto& [table, column] : kWebNameColumns)
                db.exec(QStringLiteral("UPDATE web.%1 SET %2 = ? WHERE %2 = ?")
                            .arg(store::quoteIdentifier(QString::fromLatin1(table)),
                                 store::quoteIdentifier(QString::fromLatin1(column))),
                        {fullName, oldName});
        }
        // The condominium's own person row follows the name; one lost earlier is made again.
        db.exec(QStringLiteral("UPDATE Anagrafe SET Cognome = ? WHERE Cognome = ? AND "
                               "(idCondominio IS NULL OR idCondominio = '')"),
                {fullName, oldName});
        if (db.changes() == 0)
            db.exec(QStringLiteral("INSERT INTO Anagrafe (Cognome) VALUES (?)"), {fullName});
        db.exec(QStringLiteral("UPDATE web.CodiceCondominio SET Condominio = ?, IBAN = ?, Intestatario = ? "
                               "WHERE Condominio = ?"),
                {fullName, input.contoCorrente, input.intestatario, oldName});

        tr.commit();
    } catch (const store::StoreError& e) {
        // Nothing was committed: the recorded intent is void.
        if (moveFolder)
            app::clearPendingFolderRename(ws.paths());
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    } catch (...) {
        if (moveFolder)
            app::clearPendingFolderRename(ws.paths());
        throw;
    }
    store::failpoint("condominio.rinomina.dopo-il-commit");
    bool folderInPlace = true;
    if (moveFolder) {
        folderInPlace = QDir().rename(oldFolder, newFolder);
        if (folderInPlace)
            app::clearPendingFolderRename(ws.paths());
        else
            warnings << folderLeftBehindMessage(oldFolder, newFolder);
    }
    // A folder that could not be moved is not replaced by an empty one: the next start moves it.
    if (renamed && folderInPlace) {
        if (const QString failure = makeFolders(ws, fullName); !failure.isEmpty())
            warnings << failure;
    }
    ws.selection.condominium = fullName;
    app::SplitCondominiumName(ws.selection, fullName);
    refresh(ws);
    return accepted(warnings);
}

} // namespace velcaris::registry
