#pragma once
// The program's state without widgets: the two connections, every named dataset of the main
// window, and the current selection. The main window owns one; tests make their own over a
// temporary folder.
#include "foundation/AppPaths.h"
#include "foundation/ServerSettings.h"
#include "store/Database.h"
#include "store/Dataset.h"
#include "store/Schema.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace velcaris::app {

enum class EditMode { Add, Modify };

// What the main window's selection leaves for every operation.
struct Selection {
    QString condominium;       // full name of the chosen condominium; empty when none
    QString shortName;         // before " - "
    QString address;           // after " - "
    QString selectedYearName;  // the name shown by the year selector
    QString statementSubject;  // "proprietario" or "inquilino"
};

class Workspace : public QObject {
    Q_OBJECT
public:
    // Reads the settings file's [server] section: with one, the office is on that server.
    explicit Workspace(AppPaths paths, QObject* parent = nullptr);
    ~Workspace() override;

    // Whether the office is on a PostgreSQL server (shared by several desks) rather than in its
    // files. A server's backups are the server's own: no daily copy, nothing to restore here.
    bool isServer() const { return server_.enabled; }
    const OfficeServer& server() const { return server_; }

    const AppPaths& paths() const { return paths_; }
    store::Database& mainDb() { return main_; }
    store::Database& webDb() { return web_; }

    // The start-up of the data store, in its fixed order (the web database is also attached to the
    // main connection as "web": write both through mainDb() inside one Transaction): connections
    // (the database files are created with their schema when missing), each followed by its
    // daily backup copied from the open connection, every dataset opened with its sort, the
    // agenda filter and the display formats, and last the output folders checked against the
    // condominiums. `progress` is called at each step of the splash bar. Returns the Italian
    // explanation of the first failure, naming the file and its last good backup (the later
    // steps are then skipped), or an empty text.
    QString startUp(const std::function<void()>& progress = {});
    // What start-up has to tell without stopping: a daily backup not replaced because the copy
    // failed its check, output folders that do not match the condominiums. Italian, one per item.
    const QStringList& startUpWarnings() const { return warnings_; }
    // Closes every dataset and both connections (before a database file is replaced); startUp()
    // opens them again.
    void close();
    // The day the daily backups compare against; today unless set (tests).
    void setToday(const QDate& day) { today_ = day; }

    // The dataset of that component name (ADOTableQuote, ADOQueryEntrate, ...); raises when unknown.
    store::Dataset& ds(const QString& name);
    bool hasDataset(const QString& name) const { return datasets_.contains(name); }
    QStringList datasetNames() const { return order_; }

    // Names of the Condomini table in stored order (the list sorts them itself).
    QStringList condominiumNames();

    Selection selection;
    EditMode editMode = EditMode::Add;
    // Sort string of ADOQueryQuoteAccorpate as it was before its last rebuild.
    QString savedGroupedQuotaSort;

private:
    struct DatasetDef;
    store::Dataset& create(const QString& name, store::Database& db);
    void openWithBackup(store::Database& db, store::DatabaseKind kind);
    void openDatabases(store::DatabaseKind kind);
    QString unusableMessage(store::DatabaseKind kind, const store::StoreError& e) const;

    AppPaths paths_;
    OfficeServer server_;
    store::Database main_;
    store::Database web_;
    QHash<QString, store::Dataset*> datasets_;
    QStringList order_;
    QStringList warnings_;
    QDate today_;
};

} // namespace velcaris::app
