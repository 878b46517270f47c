#include "foundation/Workspace.h"

#include "foundation/Backup.h"
#include "foundation/BackupCatalogue.h"
#include "foundation/Leftovers.h"
#include "foundation/DatabaseHealth.h"
#include "foundation/FolderReconcile.h"
#include "store/AddedTables.h"
#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::app {

using store::Database;
using store::DatabaseKind;
using store::Dataset;
using store::StoreError;

Workspace::Workspace(AppPaths paths, QObject* parent)
    : QObject(parent), paths_(std::move(paths)), server_(readOfficeServer(paths_.settingsFile()))
{
    if (server_.enabled && !server_.outputFolder.isEmpty())
        paths_.setOutputFolder(server_.outputFolder);
    // Every dataset exists from the start, so that the windows can bind to them before (or
    // without) a successful opening.
    const char* mainSets[] = {
        "ADOTableEntrate", "ADOQueryEntrate", "ADOTableUscite", "ADOQueryUscite", "ADOQueryInterventi",
        "ADOTableAA", "ADOTableMemo", "ADOTableCondomini", "ADOTableTabelle", "ADOTablePreventivi",
        "ADOQueryPreventivi", "ADOTableAnagrafe", "ADOTableFornitori", "ADOTableAssociaFornitore",
        "ADOTableLocali", "ADOTableMillesimi", "ADOTableQuote", "ADOTableTipologia", "ADOTableScadenzario",
        "ADOTableCertificazioni", "ADOTableSommaEntrate", "ADOTableSommaUscite", "ADOTable770",
        "ADOWEBDBquote2", "ADOTableproprietari", "ADOTableSolleciti", "ADOQueryFornitori", "ADOQueryLocali",
        "ADOQueryQuoteSingole", "ADOQueryQuoteAccorpate", "ADOQueryQuadroAC"};
    for (const char* name : mainSets)
        create(QString::fromLatin1(name), main_);
    for (const char* name : {"ADOWEBDBCodiceCondominio", "ADOWEBDBAccesso", "ADOWEBDBQuote"})
        create(QString::fromLatin1(name), web_);
}

Workspace::~Workspace() = default;

Dataset& Workspace::create(const QString& name, Database& db)
{
    auto* dataset = new Dataset(name, this);
    dataset->setConnection(&db);
    datasets_.insert(name, dataset);
    order_ << name;
    return *dataset;
}

Dataset& Workspace::ds(const QString& name)
{
    Dataset* dataset = datasets_.value(name);
    if (!dataset)
        throw StoreError(QStringLiteral("Dataset sconosciuto: %1").arg(name));
    return *dataset;
}

QString Workspace::startUp(const std::function<void()>& progress)
{
    auto step = [&] {
        if (progress)
            progress();
    };
    auto openTable = [&](const char* name, const char* source, const char* sort = nullptr) {
        Dataset& d = ds(QString::fromLatin1(name));
        d.setTableName(QString::fromUtf8(source));
        d.open();
        if (sort)
            d.setSort(QString::fromLatin1(sort));
    };

    paths_.ensureFolders();
    warnings_.clear();
    if (server_.enabled && !server_.problem.isEmpty())
        return server_.problem;
    // A database missing beside its backup is made anew below: the backup goes aside first, so
    // that tomorrow's copy of the empty file never replaces it. (The window asks before this and
    // restores it when told; what reaches here was meant to start empty.)
    if (!server_.enabled)
        for (const BackupEntry& missing : missingDatabases(paths_))
            warnings_ << keepBackupAside(missing, QDateTime::currentDateTime());
    // Which database the steps are working on, so that a failure names its file and its backup.
    DatabaseKind phase = DatabaseKind::Main;
    try {
        openDatabases(DatabaseKind::Main);
        step();
        openTable("ADOTableEntrate", "Entrate");
        openTable("ADOQueryEntrate", "QueryEntrateAC", "Data DESC");
        openTable("ADOTableUscite", "Uscite");
        ds("ADOQueryUscite").setTableName(QStringLiteral("QueryUsciteAC"));
        openTable("ADOQueryInterventi", "QueryInterventiAC", "Data DESC");
        step();
        ds("ADOQueryUscite").open();
        ds("ADOQueryUscite").setSort(QStringLiteral("DataPagamento DESC"));
        openTable("ADOTableAA", "AnnoAmministrativo", "Id DESC");
        openTable("ADOTableMemo", "MemoGenerale");
        step();
        openTable("ADOTableCondomini", "Condomini");
        openTable("ADOTableTabelle", "Tabelle", "Nome ASC");
        openTable("ADOTablePreventivi", "Preventivi");
        step();
        openTable("ADOQueryPreventivi", "QueryPreventiviAC", "Id ASC,Tabella ASC");
        openTable("ADOTableAnagrafe", "Anagrafe");
        ds("ADOTableFornitori").setTableName(QStringLiteral("Fornitori"));
        step();
        ds("ADOTableFornitori").open();
        openTable("ADOTableAssociaFornitore", "fornitori_associazione");
        ds("ADOTableLocali").setTableName(QStringLiteral("Locali"));
        step();
        ds("ADOTableLocali").open();
        ds("ADOTableMillesimi").setTableName(QStringLiteral("Millesimi"));
        step();
        openTable("ADOTableMillesimi", "Millesimi");
        openTable("ADOTableQuote", "Quote");
        openTable("ADOTableTipologia", "Tipologia");
        openTable("ADOTableScadenzario", "Scadenzario", "DataScadenza ASC");
        openTable("ADOTableCertificazioni", "QueryUsciteCertificazioni");
        openTable("ADOTableSommaEntrate", "QuerySommaEntrateAC");
        openTable("ADOTableSommaUscite", "QuerySommaUsciteAC");
        openTable("ADOTable770", "Query770_tmp");
        step();
        // The agenda opens on the deadlines still to be dealt with.
        ds("ADOTableScadenzario").setFilter(QStringLiteral("esito=false"));

        phase = DatabaseKind::Web;
        openDatabases(DatabaseKind::Web);
        openTable("ADOWEBDBCodiceCondominio", "CodiceCondominio");
        openTable("ADOWEBDBAccesso", "Accesso");
        ds("ADOWEBDBQuote").setTableName(QStringLiteral("Quote"));
        step();
        ds("ADOWEBDBQuote").open();
        openTable("ADOWEBDBquote2", "WEBDBQuote");
        openTable("ADOTableproprietari", "QueryProprietari");
        openTable("ADOTableSolleciti", "QuerySolleciti");
        step();

        // The knowledge base is opened on demand; here it is only made to exist, so that every
        // database file is there from the first start. A failure is the FAQ window's to report.
        // An existing one gets its daily backup like the others.
        try {
            const bool existed = QFileInfo::exists(paths_.faqDatabase());
            Database faq;
            store::openDatabase(faq, paths_.faqDatabase(), DatabaseKind::Faq);
            if (existed) {
                const BackupResult made = BackupFile(faq, DatabaseKind::Faq, paths_.faqBackup(),
                                                     today_.isValid() ? today_ : QDate::currentDate());
                if (const QString w = backupNotReplacedMessage(DatabaseKind::Faq, paths_.faqDatabase(),
                                                               paths_.faqBackup(), made);
                    !w.isEmpty())
                    warnings_ << w;
            }
        } catch (const StoreError&) {
        }

        ds("ADOTableScadenzario").setDisplayFormat(QStringLiteral("Importo"), QStringLiteral("0.00"));
        ds("ADOQueryPreventivi").setDisplayFormat(QStringLiteral("spesa"), QStringLiteral("0.00"));
        ds("ADOQueryPreventivi").setDisplayFormat(QStringLiteral("TotaleParziale"), QStringLiteral("0.00"));
        ds("ADOQueryEntrate").setDisplayFormat(QStringLiteral("importo"), QStringLiteral("0.00"));
        ds("ADOQueryUscite").setDisplayFormat(QStringLiteral("Totaleuscito"), QStringLiteral("0.00"));
        ds("ADOQueryInterventi").setDisplayFormat(QStringLiteral("Ora"), QStringLiteral("HH.mm"));
        ds("ADOQueryInterventi").setDisplayFormat(QStringLiteral("Data"), QStringLiteral("DD/MM/YYYY"));
    } catch (const StoreError& e) {
        return unusableMessage(phase, e);
    }
    // Read from the table itself: the datasets fetch their rows when first shown.
    QStringList names;
    try {
        store::Statement st(main_, QStringLiteral("SELECT Nome FROM Condomini"));
        while (st.step())
            names << st.value(0).toString();
    } catch (const StoreError& e) {
        return unusableMessage(DatabaseKind::Main, e);
    }
    warnings_ += reconcileFolders(paths_, names);
    // Both files have been read, so a journal a crash left is rolled back by now: what remains of
    // multi-file commits and of folder-name trials belongs to nothing.
    removeLeftovers(paths_);
    return QString();
}

void Workspace::close()
{
    for (store::Dataset* dataset : std::as_const(datasets_))
        dataset->close();
    main_.close();
    web_.close();
}

void Workspace::openDatabases(DatabaseKind kind)
{
    Database& db = kind == DatabaseKind::Main ? main_ : web_;
    if (server_.enabled) {
        // One database, two schemas: the main connection reaches the web tables as "web." by
        // itself, so an operation writing both commits or rolls back as one, as with files.
        store::openServerDatabase(db, server_.params, kind);
        return;
    }
    openWithBackup(db, kind);
    // The web file is also reachable from the main connection as "web", so that an operation
    // writing both databases commits or rolls back as one.
    if (kind == DatabaseKind::Web)
        main_.exec(QStringLiteral("ATTACH DATABASE ? AS web KEY ''"), {paths_.webDatabase()});
}

QString Workspace::unusableMessage(DatabaseKind kind, const StoreError& e) const
{
    if (server_.enabled)
        return QStringLiteral("Impossibile aprire l'ufficio sul server %1 (%2):\n%3\n\nControlli la sezione [server] "
                              "del file delle impostazioni (%4) e che il server sia raggiungibile.")
            .arg(server_.describe(),
                 kind == DatabaseKind::Main ? QStringLiteral("dati dei condomini") : QStringLiteral("dati del sito web"),
                 e.message(), paths_.settingsFile());
    const bool main = kind == DatabaseKind::Main;
    return unusableDatabaseMessage(kind, main ? paths_.mainDatabase() : paths_.webDatabase(),
                                   main ? paths_.mainBackup() : paths_.webBackup(), e);
}

void Workspace::openWithBackup(Database& db, DatabaseKind kind)
{
    const bool main = kind == DatabaseKind::Main;
    const QString file = main ? paths_.mainDatabase() : paths_.webDatabase();
    const QString backup = main ? paths_.mainBackup() : paths_.webBackup();
    const bool existed = QFileInfo::exists(file);
    // Opening first rolls back a commit that a crash interrupted; the backup is then read from
    // the open connection. A file made by this very start has nothing to save yet.
    store::openDatabase(db, file, kind);
    if (!existed)
        return;
    const BackupResult made = BackupFile(db, kind, backup, today_.isValid() ? today_ : QDate::currentDate());
    if (const QString warning = backupNotReplacedMessage(kind, file, backup, made); !warning.isEmpty())
        warnings_ << warning;
    // An older database gets the tables and keys added since, after its backup is taken.
    if (main)
        store::addMissingTables(db);
    else
        store::addWebQuoteKey(db);
}

QStringList Workspace::condominiumNames()
{
    Dataset& condomini = ds(QStringLiteral("ADOTableCondomini"));
    QStringList names;
    if (!condomini.isActive())
        return names;
    for (int row = 0; row < condomini.rowCount(); ++row)
        names << condomini.valueAt(row, QStringLiteral("Nome")).toString();
    return names;
}

} // namespace velcaris::app
