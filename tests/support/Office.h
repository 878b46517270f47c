#pragma once
// A started workspace over a temporary folder, and small writers of the rows tests need.
#include "foundation/Workspace.h"
#include "support/ServerDatabase.h"
#include "support/TempDir.h"

#include <QDate>
#include <memory>

namespace velcaris::test {

// Whether the offices of this run are on a PostgreSQL server: VELCARIS_TEST_OFFICE=server, with
// VELCARIS_TEST_PG the conninfo of a server where the user may create databases. Each Office then
// has a database of its own there, made with it and dropped with it.
bool officeOnServer();

// For what only an office in files has (its files, their backups and journals).
#define SKIP_ON_SERVER()                                                                                   \
    if (::velcaris::test::officeOnServer())                                                                \
    GTEST_SKIP() << "ufficio sul server: la prova riguarda i file dell'ufficio"

// Every row of `sql`, its cells joined by cellSep and the rows by rowSep: numbers as the file
// engine writes them as text ("403.0", "33.33"), whichever engine answers; NULL as nullText.
QString joinedRows(store::Database& db, const QString& sql, const QVector<QVariant>& params = {},
                   const QString& cellSep = QStringLiteral(":"), const QString& rowSep = QStringLiteral(" "),
                   const QString& nullText = QString());

class Office {
public:
    Office();
    ~Office();
    Office(const Office&) = delete;
    Office& operator=(const Office&) = delete;
    app::Workspace& ws() { return *ws_; }
    store::Database& db() { return ws_->mainDb(); }
    QString folder() const { return dir_.path(); }

    void addCondominium(const QString& name);
    qint64 addYear(const QString& condominium, const QString& year, bool current);
    qint64 addPerson(const QString& condominium, const QString& surname, const QString& firstName = QString());
    // A unit with its owner and tenant (0: none), and one instalment of a unit.
    qint64 addUnit(const QString& condominium, const QString& name, qint64 owner, qint64 tenant = 0);
    qint64 addQuota(const QString& condominium, const QString& year, qint64 unit, const QString& name,
                    const QString& type, double amount, const QDate& due, double paid = 0);
    qint64 addIncome(const QString& condominium, const QString& year, double amount, const QString& method,
                     const QString& kind = QStringLiteral("Entrata"));
    qint64 addExpense(const QString& condominium, const QString& year, double invoice, double commission,
                      double withholding, double interest, const QString& payment, const QString& withholdingMethod,
                      bool paid);

private:
    TempDir dir_;
    std::unique_ptr<ServerDatabase> server_; // the office's own database on the server, if there
    std::unique_ptr<app::Workspace> ws_;
};

} // namespace velcaris::test
