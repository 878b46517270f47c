#include "allocation/Units.h"

#include "allocation/MillesimalTables.h"
#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "allocation/Thousandths.h"
#include "registry/Condominiums.h"
#include "store/ColumnList.h"
#include "store/Money.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

#include <QHash>

namespace velcaris::allocation {

using store::Database;
using store::Statement;

QStringList unitTypes(app::Workspace& ws)
{
    QStringList types;
    Statement st(ws.mainDb(), QStringLiteral("SELECT Tipologia FROM TipologieLocali ORDER BY Tipologia"));
    while (st.step())
        types << st.value(0).toString();
    return types;
}

QVector<PersonChoice> personChoices(app::Workspace& ws, const QString& condominium)
{
    QVector<PersonChoice> persons;
    Statement st(ws.mainDb(),
                 QStringLiteral("SELECT Id, Persona FROM QueryComboPropInq WHERE idCondominio = ? ORDER BY Persona, Id"));
    st.bind(1, condominium);
    while (st.step())
        persons.push_back({st.value(0).toLongLong(), st.value(1).toString()});
    return persons;
}

UnitInput newUnit(app::Workspace& ws)
{
    UnitInput unit;
    unit.tipologia = unitTypes(ws).value(0);
    const QVector<PersonChoice> persons = personChoices(ws, ws.selection.condominium);
    if (!persons.isEmpty()) {
        unit.proprietario = persons.first().id;
        unit.inquilino = persons.first().id;
    }
    for (const TableRecord& table : condominiumTables(ws, ws.selection.condominium))
        unit.millesimi.push_back({table.id, QString()});
    return unit;
}

namespace {

// The unit's text columns, in the order of the input's fields below.
const store::ColumnList kTextColumns({QStringLiteral("Nome"), QStringLiteral("IdTipologia"), QStringLiteral("Piano"),
                                      QStringLiteral("Scala"), QStringLiteral("Foglio"), QStringLiteral("Particella"),
                                      QStringLiteral("Sub")});

QString UnitInput::*const kTextFields[] = {&UnitInput::nome,   &UnitInput::tipologia,  &UnitInput::piano,
                                           &UnitInput::scala,  &UnitInput::foglio,     &UnitInput::particella,
                                           &UnitInput::sub};

std::optional<qint64> personId(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toLongLong();
}

QString percentageText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    const double d = v.toDouble();
    return d == qint64(d) ? QString::number(qint64(d)) : QString::number(d);
}

// A whole number from 0 to 100.
std::optional<int> percentage(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

QString percentageMessage(const char* caption)
{
    return QStringLiteral("Il campo \"%1\" deve contenere un numero intero da 0 a 100").arg(QString::fromLatin1(caption));
}

QString thousandthsMessage(const QString& table)
{
    return QStringLiteral("I millesimi della tabella \"%1\" devono essere un numero non negativo, "
                          "con il punto come separatore decimale")
        .arg(table);
}

struct CheckedUnit {
    int ord = 100;
    int str = 100;
    QHash<qint64, double> millesimi; // table Id -> value
};

// Everything that can be refused, before anything is written.
std::optional<QString> check(const UnitInput& input, const QVector<TableRecord>& tables, CheckedUnit& out)
{
    if (input.tipologia.trimmed().isEmpty())
        return QStringLiteral("Scegliere la tipologia del locale");
    if (!input.proprietario)
        return QStringLiteral("Scegliere il proprietario del locale");
    if (!input.inquilino)
        return QStringLiteral("Scegliere l'inquilino del locale");
    const std::optional<int> ord = percentage(input.partecipazioneORD);
    if (!ord)
        return percentageMessage("Partecipazione spese ordinarie");
    const std::optional<int> str = percentage(input.partecipazioneSTR);
    if (!str)
        return percentageMessage("Partecipazione spese straordinarie");
    out.ord = *ord;
    out.str = *str;
    for (const TableRecord& table : tables) {
        QString text;
        for (const ThousandthsCell& cell : input.millesimi)
            if (cell.tableId == table.id)
                text = cell.text;
        const std::optional<double> value = thousandthsFromText(text);
        if (!value)
            return thousandthsMessage(table.data.nome);
        out.millesimi.insert(table.id, *value);
    }
    return std::nullopt;
}

QVector<QVariant> rowValues(const UnitInput& input, const CheckedUnit& checked)
{
    QVector<QVariant> values;
    for (QString UnitInput::*field : kTextFields)
        values << input.*field;
    values << *input.proprietario << *input.inquilino << checked.ord << checked.str;
    return values;
}

const QString kOtherColumns =
    QStringLiteral("idProprietario, idInquilino, PartecipazioneORD, PartecipazioneSTR");

} // namespace

std::optional<UnitInput> readUnit(app::Workspace& ws, qint64 id)
{
    Database& db = ws.mainDb();
    Statement st(db, QStringLiteral("SELECT %1, %2, IdCondominio FROM Locali WHERE Id = ?")
                         .arg(kTextColumns.selectList(), kOtherColumns));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    UnitInput unit;
    int c = 0;
    for (QString UnitInput::*field : kTextFields)
        unit.*field = st.value(c++).toString();
    unit.proprietario = personId(st.value(c++));
    unit.inquilino = personId(st.value(c++));
    unit.partecipazioneORD = percentageText(st.value(c++));
    unit.partecipazioneSTR = percentageText(st.value(c++));
    const QString condominium = st.value(c++).toString();
    for (const TableRecord& table : condominiumTables(ws, condominium)) {
        const QVariant value =
            db.scalar(QStringLiteral("SELECT SUM(Millesimi) FROM Millesimi WHERE IdLocale = ? AND IdTabella = ?"),
                      {id, table.id});
        unit.millesimi.push_back({table.id, store::formatThousandths(value.toDouble())});
    }
    return unit;
}

void stampUnit(app::Workspace& ws, qint64 id, UnitInput& unit)
{
    unit.asRead = store::stampRow(ws.mainDb(), QStringLiteral("Locali"), QStringLiteral("Id"), id);
    unit.thousandthsAsRead = store::stampRows(ws.mainDb(), QStringLiteral("Millesimi"), QStringLiteral("IdLocale"), id);
}

app::Outcome saveUnit(app::Workspace& ws, std::optional<qint64> id, const UnitInput& input)
{
    Database& db = ws.mainDb();
    QString condominium = ws.selection.condominium;
    if (id) {
        const QVariant stored = db.scalar(QStringLiteral("SELECT IdCondominio FROM Locali WHERE Id = ?"), {*id});
        if (!stored.isValid() && input.asRead.isSet())
            return app::Outcome::staleRow(store::rowDeletedText());
        if (!stored.isValid())
            throw store::StoreError(QStringLiteral("Locali: riga %1 non trovata").arg(*id));
        condominium = stored.toString();
    } else if (condominium.isEmpty()) {
        return app::Outcome::refused(registry::kChooseCondominiumFirst, app::MessageKind::Information);
    }
    const QVector<TableRecord> tables = condominiumTables(ws, condominium);
    if (tables.isEmpty())
        return app::Outcome::refused(kNoTableForUnits, app::MessageKind::Information);
    CheckedUnit checked;
    if (const std::optional<QString> problem = check(input, tables, checked))
        return app::Outcome::refused(*problem);

    qint64 unitId = -1;
    try {
        store::Transaction transaction(db);
        QVector<QVariant> values = rowValues(input, checked);
        if (id) {
            store::refuseIfChanged(db, input.asRead);
            store::refuseIfChanged(db, input.thousandthsAsRead);
            unitId = *id;
            values << unitId;
            db.exec(QStringLiteral("UPDATE Locali SET %1, idProprietario = ?, idInquilino = ?, PartecipazioneORD = ?, "
                                   "PartecipazioneSTR = ? WHERE Id = ?")
                        .arg(kTextColumns.assignments()),
                    values);
        } else {
            values << condominium;
            db.exec(QStringLiteral("INSERT INTO Locali (%1, %2, IdCondominio) VALUES (%3)")
                        .arg(kTextColumns.selectList(), kOtherColumns, kTextColumns.placeholders(5)),
                    values);
            unitId = db.lastInsertId();
        }
        for (const TableRecord& table : tables)
            setThousandths(db, condominium, unitId, table.id, checked.millesimi.value(table.id));
        if (!id)
            copyQuotaSchedule(db, condominium, unitId);
        transaction.commit();
    } catch (const store::StoreError& e) {
        QString stale = store::staleRowText(db, input.asRead, e);
        if (stale.isEmpty())
            stale = store::staleRowText(db, input.thousandthsAsRead, e);
        if (!stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }
    requeryRegisters(ws, {"ADOTableLocali", "ADOTableMillesimi", "ADOTableQuote"});
    return app::Outcome::accepted(unitId);
}

} // namespace velcaris::allocation
