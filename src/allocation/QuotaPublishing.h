#pragma once
// Publishing of quotas into the web database: a quota is copied there when the owner of its unit,
// or else its tenant, has a row in the web access table. Runs inside the caller's transaction on
// the main connection (the web database is attached to it as "web").
#include "store/Database.h"
#include "store/Money.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

namespace velcaris::allocation {

// What the web row repeats of the main Quote row.
struct WebQuota {
    QString name;
    store::Money amount;
    QString type;
    QVariant due;  // ISO date or null
    QString year;
    QVariant note; // null: no note
};

class QuotaPublisher {
public:
    // Reads once the units of `condominium` and which of them have a person with web access.
    QuotaPublisher(store::Database& db, const QString& condominium);
    ~QuotaPublisher();

    bool publishes(qint64 unitId) const;
    // Appends the web row of the unit's quota when it publishes; returns whether it did.
    bool publish(qint64 unitId, const WebQuota& quota);

private:
    struct Unit {
        QString nome;
        QVariant owner;
        QVariant tenant;
        bool web = false;
    };
    store::Database& db_;
    QString condominium_;
    QHash<qint64, Unit> units_;
    std::unique_ptr<store::Statement> insert_;
};

} // namespace velcaris::allocation
