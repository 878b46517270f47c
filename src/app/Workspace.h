#pragma once
// The program's state without widgets: the two connections, every named dataset of the main
// window, and the current selection. The main window owns one; tests make their own over a
// temporary folder.
#include "app/AppPaths.h"
#include "store/Database.h"
#include "store/Dataset.h"

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
    explicit Workspace(AppPaths paths, QObject* parent = nullptr);
    ~Workspace() override;

    const AppPaths& paths() const { return paths_; }
    store::Database& mainDb() { return main_; }
    store::Database& webDb() { return web_; }

    // The start-up of the data store, in its fixed order (the web database is also attached to the
    // main connection as "web": write both through mainDb() inside one Transaction): daily backups, connections (the
    // database files are created with their schema when missing), every dataset opened with
    // its sort, the agenda filter and the display formats. `progress` is called at each step
    // of the splash bar. Returns the engine's text of the first failure (the later steps are
    // then skipped), or an empty text.
    QString startUp(const std::function<void()>& progress = {});

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

    AppPaths paths_;
    store::Database main_;
    store::Database web_;
    QHash<QString, store::Dataset*> datasets_;
    QStringList order_;
};

} // namespace velcaris::app
