#include "support/Office.h"

#include <QFile>
#include <stdexcept>

namespace velcaris::test {

namespace {

// The settings file that points the office in `folder` at the server database.
void pointAtServer(const QString& folder, const ServerDatabase& database)
{
    QFile ini(app::AppPaths(folder).settingsFile());
    if (!ini.open(QIODevice::WriteOnly))
        throw std::runtime_error("impossibile scrivere il file delle impostazioni della prova");
    ini.write(QStringLiteral("[server]\nconninfo=%1\ndatabase=%2\n").arg(adminServer().conninfo, database.name()).toUtf8());
}

} // namespace

QString joinedRows(store::Database& db, const QString& sql, const QVector<QVariant>& params, const QString& cellSep,
                   const QString& rowSep, const QString& nullText)
{
    store::Statement st(db, sql);
    st.bindAll(params);
    QStringList rows;
    while (st.step()) {
        QStringList cells;
        for (int c = 0; c < st.columnCount(); ++c) {
            const QVariant v = st.value(c);
            if (v.isNull()) {
                cells << nullText;
            } else if (v.typeId() == QMetaType::Double) {
                QString text = QString::number(v.toDouble(), 'g', 15);
                if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
                    text += QStringLiteral(".0");
                cells << text;
            } else {
                cells << v.toString();
            }
        }
        rows << cells.join(cellSep);
    }
    return rows.join(rowSep);
}

bool officeOnServer()
{
    return qEnvironmentVariable("VELCARIS_TEST_OFFICE") == QLatin1String("server");
}

Office::Office()
{
    if (officeOnServer()) {
        server_ = std::make_unique<ServerDatabase>(QStringLiteral("o"));
        pointAtServer(dir_.path(), *server_);
    }
    ws_ = std::make_unique<app::Workspace>(app::AppPaths(dir_.path()));
    const QString error = ws_->startUp();
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
}

Office::~Office()
{
    // The connections go before their database does.
    ws_.reset();
    server_.reset();
}

void Office::addCondominium(const QString& name)
{
    db().exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Torino')", {name});
    ws_->ds("ADOTableCondomini").requery();
}

qint64 Office::addYear(const QString& condominium, const QString& year, bool current)
{
    db().exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente, data_inizio, data_fine) VALUES (?,?,?,?,?)",
              {condominium, year, current, QString(year.left(4) + "-01-01"), QString(year.left(4) + "-12-31")});
    const qint64 id = db().lastInsertId();
    ws_->ds("ADOTableAA").requery();
    return id;
}

qint64 Office::addPerson(const QString& condominium, const QString& surname, const QString& firstName)
{
    db().exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?,?,?)", {condominium, surname, firstName});
    return db().lastInsertId();
}

qint64 Office::addUnit(const QString& condominium, const QString& name, qint64 owner, qint64 tenant)
{
    db().exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?,?,?,?)",
              {condominium, name, owner, tenant});
    return db().lastInsertId();
}

qint64 Office::addQuota(const QString& condominium, const QString& year, qint64 unit, const QString& name,
                        const QString& type, double amount, const QDate& due, double paid)
{
    db().exec("INSERT INTO Quote (IdCondominio, AA, IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato, "
              "DataScadenza) VALUES (?,?,?,?,?,?,?,?)",
              {condominium, year, unit, name, type, amount, paid, due});
    return db().lastInsertId();
}

qint64 Office::addIncome(const QString& condominium, const QString& year, double amount, const QString& method,
                         const QString& kind)
{
    db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento) "
              "VALUES (?,?,?,?,?,?)",
              {condominium, year, QDate(2014, 3, 1), kind, amount, method});
    return db().lastInsertId();
}

qint64 Office::addExpense(const QString& condominium, const QString& year, double invoice, double commission,
                          double withholding, double interest, const QString& payment,
                          const QString& withholdingMethod, bool paid)
{
    // The stored outflow: gross + commission, less the withholding.
    db().exec("INSERT INTO Uscite (Condominio, AA, TipoMovimento, ImportoLordo, Commissione, RitenuteOperate, "
              "Interessi, Pagamento, MetodoRitenuta, pagato, DataPagamento, CodTributo) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
              {condominium, year, QString("Uscita"), invoice + commission - withholding, commission, withholding,
               interest, payment, withholdingMethod, paid, QDate(2014, 4, 1),
               withholding > 0 ? QString("1040") : QString()});
    return db().lastInsertId();
}

} // namespace velcaris::test
