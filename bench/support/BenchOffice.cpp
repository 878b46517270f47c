#include "support/BenchOffice.h"

#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <stdexcept>

namespace velcaris::bench {

namespace {

const char* const kVersion = "v3";
constexpr int kDefaultCondominiums = 300;
constexpr int kUnitsPer = 50;
constexpr int kPersonsPer = 100;
constexpr int kYears = 10;
constexpr int kInstalments = 12;
constexpr int kIncomePerYear = 100;
constexpr int kExpensesPerYear = 50;
const char* const kTables[] = {"Scale", "A", "Ascensore", "Riscaldamento"};

QString condominiumName(int c)
{
    return QStringLiteral("Cond%1 - Via dell'Olmo %1").arg(c, 3, 10, QLatin1Char('0'));
}

QString yearName(int y) { return QString::number(2005 + y); }

class Insert {
public:
    Insert(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Insert() { sqlite3_finalize(st_); }
    Insert& text(int i, const QString& s)
    {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st_, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& num(int i, qint64 v)
    {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    Insert& null(int i)
    {
        sqlite3_bind_null(st_, i);
        return *this;
    }
    Insert& real(int i, double v)
    {
        sqlite3_bind_double(st_, i, v);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(st_) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        sqlite3_reset(st_);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

void generate(const QString& mainPath)
{
    store::Database db;
    store::openDatabase(db, mainPath, store::DatabaseKind::Main);
    sqlite3* h = db.handle();
    store::Transaction tr(db);
    Insert condo(h, "INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Roma')");
    Insert person(h, "INSERT INTO Anagrafe (Id, idCondominio, Cognome, Nome, Note) VALUES (?, ?, ?, ?, ?)");
    Insert unit(h, "INSERT INTO Locali (Id, IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Piano, Scala) "
                   "VALUES (?, ?, ?, ?, ?, 'Appartamento', '1', 'A')");
    Insert table(h, "INSERT INTO Tabelle (Id, Id_Condominio, Nome, Descrizione) VALUES (?, ?, ?, 'd')");
    Insert share(h, "INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)");
    Insert year(h, "INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) VALUES (?, ?, ?, ?, ?)");
    Insert quota(h, "INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, Tipologia) "
                    "VALUES (?, ?, ?, ?, ?, ?, 'Spese ordinarie')");
    Insert income(h, "INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento, Nota) "
                     "VALUES (?, ?, ?, 'Quota', ?, ?, ?, ?, ?)");
    Insert expense(h, "INSERT INTO Uscite (Condominio, AA, IdFornitore, Causale, DataPagamento, Pagamento, pagato, ImportoLordo) "
                      "VALUES (?, ?, 1, 'Spesa', ?, ?, 1, ?)");
    db.exec("INSERT INTO Fornitori (id, Cognome, Nome) VALUES (1, 'Fornitore', 'Unico')");

    qint64 personId = 0, unitId = 0, tableId = 0;
    for (int c = 0, count = condominiumCount(); c < count; ++c) {
        const QString name = condominiumName(c);
        condo.text(1, name).run();
        const qint64 firstPerson = personId + 1;
        for (int p = 0; p < kPersonsPer; ++p) {
            person.num(1, ++personId).text(2, name).text(3, QStringLiteral("Cognome%1").arg(personId))
                .text(5, QStringLiteral("Telefonare dopo le %1, chiedere dell'interno %2").arg(p % 12 + 8).arg(p));
            if (p % 5 == 0)
                person.null(4); // some persons have no first name
            else
                person.text(4, QStringLiteral("Nome%1").arg(p));
            person.run();
        }
        const qint64 firstTable = tableId + 1;
        for (const char* t : kTables)
            table.num(1, ++tableId).text(2, name).text(3, QString::fromLatin1(t)).run();
        for (int u = 0; u < kUnitsPer; ++u) {
            const qint64 id = ++unitId;
            const qint64 owner = firstPerson + 2 * u, tenant = u % 3 == 0 ? owner : owner + 1;
            unit.num(1, id).text(2, name).text(3, QStringLiteral("Int. %1").arg(u + 1)).num(4, owner).num(5, tenant).run();
            for (int t = 0; t < 4; ++t)
                share.text(1, name).num(2, id).num(3, firstTable + t).real(4, 1000.0 / kUnitsPer).run();
            for (int y = 0; y < kYears; ++y)
                for (int r = 0; r < kInstalments; ++r)
                    quota.text(1, name).num(2, id).text(3, yearName(y)).text(4, QStringLiteral("Rata %1").arg(r + 1, 2, 10, QLatin1Char('0')))
                        .real(5, 100).real(6, r < 6 ? 100 : 0).run();
        }
        for (int y = 0; y < kYears; ++y) {
            const QString aa = yearName(y);
            year.text(1, name).text(2, aa).text(3, aa + "-01-01").text(4, aa + "-12-31").num(5, y == kYears - 1 ? 1 : 0).run();
            for (int i = 0; i < kIncomePerYear; ++i)
                income.text(1, name).text(2, aa).text(3, QStringLiteral("%1-%2-15").arg(aa).arg(i % 12 + 1, 2, 10, QLatin1Char('0')))
                    .num(4, firstPerson + i % kPersonsPer).text(5, QStringLiteral("Rata %1").arg(i % 12 + 1))
                    .real(6, 100).text(7, i % 2 ? QStringLiteral("Cassa") : QStringLiteral("Conto corrente"))
                    .text(8, QStringLiteral("Pagamento della rata %1 ricevuto allo sportello n. %2").arg(i % 12 + 1).arg(i)).run();
            for (int i = 0; i < kExpensesPerYear; ++i)
                expense.text(1, name).text(2, aa).text(3, QStringLiteral("%1-%2-20").arg(aa).arg(i % 12 + 1, 2, 10, QLatin1Char('0')))
                    .text(4, i % 2 ? QStringLiteral("Cassa") : QStringLiteral("Conto corrente")).real(5, 55.5).run();
        }
    }
    tr.commit();
    db.exec("ANALYZE");
}

// The office's folder, generated on first use.
QString officeFolder()
{
    QString folder = QDir::tempPath() + QStringLiteral("/velcaris-bench-") + QString::fromLatin1(kVersion);
    if (condominiumCount() != kDefaultCondominiums)
        folder += u'-' + QString::number(condominiumCount());
    if (QFileInfo::exists(folder + QStringLiteral("/Database/Condomini.db")))
        return folder;
    const QString building = folder + QStringLiteral(".building");
    QDir(building).removeRecursively();
    QDir().mkpath(building + QStringLiteral("/Database"));
    std::fprintf(stderr, "generating the office in %s ...\n", qPrintable(folder));
    generate(building + QStringLiteral("/Database/Condomini.db"));
    QDir(folder).removeRecursively();
    if (!QDir().rename(building, folder))
        throw std::runtime_error("cannot move the generated office into place");
    return folder;
}

} // namespace

QString officeVersion() { return QString::fromLatin1(kVersion); }

int condominiumCount()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("VELCARIS_BENCH_CONDOMINIUMS", &ok);
    return ok && n > 0 ? n : kDefaultCondominiums;
}

Office::Office()
{
    static int argc = 1;
    static char arg0[] = "bench";
    static char* argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);
    ws = std::make_unique<app::Workspace>(app::AppPaths(officeFolder()));
    const QString error = ws->startUp();
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    names = ws->condominiumNames();
}

Office& office()
{
    static Office o;
    return o;
}

TemporaryBuilding::TemporaryBuilding(const QString& name, Writer add, Writer remove) : office(bench::office()), remove_(remove)
{
    store::Database& db = office.ws->mainDb();
    remove_(db);
    add(db);
    office.ws->selection.condominium = name;
}

TemporaryBuilding::~TemporaryBuilding()
{
    remove_(office.ws->mainDb());
}

} // namespace velcaris::bench
