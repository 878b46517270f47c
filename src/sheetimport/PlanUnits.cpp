// What the import reads of the condominium, the units' sheet of the plan and the tables' totals.
#include "allocation/MillesimalTables.h"
#include "allocation/Units.h"
#include "sheetimport/Planner.h"
#include "store/Database.h"
#include "store/Money.h"

#include <cmath>

namespace velcaris::sheetimport {

using store::Statement;

namespace {

// A number as users write it: "333,333", "333.333", "1.000,5", "1,000.5", "12 %".
std::optional<double> numberOf(QString text)
{
    text.remove(u' ');
    text.remove(QChar(0x00A0));
    if (text.endsWith(u'%'))
        text.chop(1);
    const int comma = int(text.lastIndexOf(u','));
    const int dot = int(text.lastIndexOf(u'.'));
    if (comma >= 0 && dot >= 0) {
        if (comma > dot) {
            text.remove(u'.');
            text.replace(u',', u'.');
        } else {
            text.remove(u',');
        }
    } else if (comma >= 0) {
        text.replace(u',', u'.');
    }
    const std::optional<double> value = store::parseNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<int> percentageOf(const QString& text)
{
    const std::optional<double> value = numberOf(text);
    if (!value || *value < 0 || *value > 100 || *value != std::trunc(*value))
        return std::nullopt;
    return int(*value);
}

bool sameThousandths(double a, double b)
{
    return store::roundScaled(a, 3) == store::roundScaled(b, 3);
}

} // namespace

Planner::Planner(app::Workspace& ws, ImportPlan& plan) : ws_(ws), plan_(plan)
{
    store::Database& db = ws.mainDb();
    const QString& condominium = plan.condominium;
    defaultChannel_ = registry::defaultNoticeChannel(ws);
    types_ = allocation::unitTypes(ws);

    Statement persons(db, QStringLiteral("SELECT Id, Cognome, Nome, Mobile, Telefono, Fax, Indirizzo, CAP, \"Città\", "
                                         "Email, CodiceFiscale, Comunicazioni, Consiglio, Note, UserID, Password "
                                         "FROM Anagrafe WHERE idCondominio = ? ORDER BY Id"));
    persons.bind(1, condominium);
    while (persons.step()) {
        StoredPerson p;
        p.id = persons.value(0).toLongLong();
        registry::PersonInput& v = p.values;
        QString* texts[] = {&v.cognome, &v.nome,  &v.mobile, &v.telefono,      &v.fax,          &v.indirizzo,
                            &v.cap,     &v.citta, &v.email,  &v.codiceFiscale, &v.comunicazioni};
        int c = 1;
        for (QString* t : texts)
            *t = persons.value(c++).toString();
        v.consiglio = persons.value(c++).toBool();
        v.note = persons.value(c++).toString();
        v.userId = persons.value(c++).toString();
        v.password = persons.value(c++).toString();
        storedPersons_ << p;
    }

    Statement suppliers(db, QStringLiteral("SELECT id, Cognome, Nome, Mobile, Telefono, Fax, Indirizzo, CAP, \"Città\", "
                                           "Email, CodiceFiscale, PartitaIVA, IBAN, Note FROM Fornitori ORDER BY id"));
    while (suppliers.step()) {
        registry::SupplierInput s;
        QString* texts[] = {&s.cognome, &s.nome, &s.mobile, &s.telefono, &s.fax, &s.indirizzo, &s.cap,
                            &s.citta, &s.email, &s.codiceFiscale, &s.partitaIva, &s.iban, &s.note};
        int c = 1;
        for (QString* t : texts)
            *t = suppliers.value(c++).toString();
        storedSuppliers_.push_back({suppliers.value(0).toLongLong(), s});
    }
    Statement associated(db, QStringLiteral("SELECT IdFornitore FROM fornitori_associazione WHERE IdCondominio = ?"));
    associated.bind(1, condominium);
    while (associated.step())
        associated_.insert(associated.value(0).toLongLong());

    for (const allocation::TableRecord& t : allocation::condominiumTables(ws, condominium))
        plan.tables.push_back({t.id, t.data.nome, false, 0});

    Statement units(db, QStringLiteral("SELECT Id, Nome, IdTipologia, Piano, Scala, Foglio, Particella, Sub, "
                                       "idProprietario, idInquilino, PartecipazioneORD, PartecipazioneSTR "
                                       "FROM Locali WHERE IdCondominio = ? ORDER BY Id"));
    units.bind(1, condominium);
    while (units.step()) {
        StoredUnit u;
        u.id = units.value(0).toLongLong();
        PlannedUnit& v = u.values;
        v.id = u.id;
        QString* texts[] = {&v.nome, &v.tipologia, &v.piano, &v.scala, &v.foglio, &v.particella, &v.sub};
        int c = 1;
        for (QString* t : texts)
            *t = units.value(c++).toString();
        v.owner = {units.value(c++).toLongLong(), -1};
        v.tenant = {units.value(c++).toLongLong(), -1};
        v.ord = units.value(c).isNull() ? 100 : units.value(c).toInt();
        ++c;
        v.str = units.value(c).isNull() ? 100 : units.value(c).toInt();
        unitsByName_[matchKey(v.nome)] << int(storedUnits_.size());
        storedUnits_ << u;
    }
    Statement stored(db, QStringLiteral("SELECT IdLocale, IdTabella, Millesimi FROM Millesimi WHERE IdCondominio = ?"));
    stored.bind(1, condominium);
    while (stored.step())
        thousandths_[stored.value(0).toLongLong()][stored.value(1).toLongLong()] += stored.value(2).toDouble();
}

int Planner::tableIndex(const QString& name)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < plan_.tables.size(); ++i)
            if (pass == 0 ? plan_.tables[i].name == name : matchKey(plan_.tables[i].name) == matchKey(name))
                return i;
    plan_.tables.push_back({std::nullopt, name, false, 0});
    ++plan_.tablesAdded;
    return int(plan_.tables.size() - 1);
}

void Planner::units(const SheetTable& sheet, const SheetColumns& columns)
{
    // The sheet's table columns: index among the plan's tables.
    QVector<std::pair<int, int>> tableColumns; // column, table
    QSet<int> seenTables;
    for (const auto& [column, name] : columns.tables) {
        if (name.size() > 50) {
            warn(sheet.name, columns.headerRow + 1,
                 QStringLiteral("la colonna \"%1\" è ignorata: il nome di una tabella ha al più 50 caratteri").arg(name.left(60)));
            continue;
        }
        const int table = tableIndex(name);
        if (seenTables.contains(table)) {
            warn(sheet.name, columns.headerRow + 1,
                 QStringLiteral("la colonna \"%1\" ripete una tabella già letta ed è ignorata").arg(name));
            continue;
        }
        seenTables.insert(table);
        plan_.tables[table].inSheet = true;
        tableColumns.push_back({column, table});
    }

    for (int r = columns.headerRow + 1; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        const int number = r + 1;
        if (emptyRow(row))
            continue;
        const QString nome = cell(row, columns.at(Field::UnitName));
        if (nome.isEmpty()) {
            refuse(sheet.name, number, QStringLiteral("manca il nome del locale"));
            continue;
        }
        const QString key = matchKey(nome);
        if (unitRows_.contains(key)) {
            refuse(sheet.name, number, QStringLiteral("il locale %1 è già in %2").arg(nome, unitRows_.value(key)));
            continue;
        }
        const QVector<int> stored = unitsByName_.value(key);
        if (stored.size() > 1) {
            refuse(sheet.name, number, QStringLiteral("nel condominio ci sono più locali di nome %1").arg(nome));
            continue;
        }
        PlannedUnit unit;
        if (!stored.isEmpty())
            unit = storedUnits_[stored.first()].values;
        else
            unit.tipologia = types_.value(0);
        unit.nome = nome;

        QStringList problems;
        auto text = [&](Field f, QString& target) {
            if (columns.has(f))
                target = cell(row, columns.at(f));
        };
        text(Field::Scala, unit.scala);
        text(Field::Piano, unit.piano);
        text(Field::Foglio, unit.foglio);
        text(Field::Particella, unit.particella);
        text(Field::Sub, unit.sub);
        if (const QString type = cell(row, columns.at(Field::Tipologia)); !type.isEmpty()) {
            unit.tipologia = type;
            for (const QString& known : std::as_const(types_) + plan_.newTypes)
                if (matchKey(known) == matchKey(type))
                    unit.tipologia = known;
            if (!types_.contains(unit.tipologia) && !plan_.newTypes.contains(unit.tipologia)) {
                if (type.size() > 50)
                    problems << QStringLiteral("la tipologia ha al più 50 caratteri");
            }
        }
        for (const auto& [field, target, caption] :
             {std::tuple{Field::PartecipazioneOrd, &unit.ord, "PartecipazioneORD"},
              std::tuple{Field::PartecipazioneStr, &unit.str, "PartecipazioneSTR"}}) {
            const QString t = cell(row, columns.at(field));
            if (t.isEmpty())
                continue;
            if (const std::optional<int> p = percentageOf(t))
                *target = *p;
            else
                problems << QStringLiteral("%1 deve essere un numero intero da 0 a 100, non \"%2\"").arg(QLatin1String(caption), t);
        }
        unit.thousandths.resize(plan_.tables.size());
        for (const auto& [column, table] : tableColumns) {
            const QString t = cell(row, column);
            const std::optional<double> value = t.isEmpty() ? std::optional<double>(0.0) : numberOf(t);
            if (!value || *value < 0)
                problems << QStringLiteral("i millesimi della tabella %1 non sono un numero non negativo: \"%2\"")
                                .arg(plan_.tables[table].name, t);
            else
                unit.thousandths[table] = double(store::roundScaled(*value, 3)) / 1000.0;
        }
        const QString ownerText = cell(row, columns.at(Field::Proprietario));
        if (ownerText.isEmpty() && stored.isEmpty())
            problems << QStringLiteral("manca il proprietario");
        if (!problems.isEmpty()) {
            refuse(sheet.name, number, problems.join(QStringLiteral("; ")));
            continue;
        }

        // The persons last, so that a refused row adds nobody.
        bool created = false;
        QString problem;
        if (!ownerText.isEmpty()) {
            const std::optional<PersonRef> owner = resolvePerson(ownerText, created, problem);
            if (!owner) {
                refuse(sheet.name, number, problem);
                continue;
            }
            if (created)
                warn(sheet.name, number, QStringLiteral("%1 non è in anagrafe: sarà aggiunto").arg(ownerText));
            unit.owner = *owner;
        }
        if (columns.has(Field::Inquilino) || stored.isEmpty()) {
            const QString tenantText = cell(row, columns.at(Field::Inquilino));
            if (tenantText.isEmpty()) {
                unit.tenant = unit.owner; // not let
            } else {
                const std::optional<PersonRef> tenant = resolvePerson(tenantText, created, problem);
                if (!tenant) {
                    refuse(sheet.name, number, problem);
                    continue;
                }
                if (created)
                    warn(sheet.name, number, QStringLiteral("%1 non è in anagrafe: sarà aggiunto").arg(tenantText));
                unit.tenant = *tenant;
            }
        }
        if (!types_.contains(unit.tipologia) && !plan_.newTypes.contains(unit.tipologia)) {
            plan_.newTypes << unit.tipologia;
            warn(sheet.name, number, QStringLiteral("la tipologia %1 non esiste: sarà aggiunta").arg(unit.tipologia));
        }
        unitRows_.insert(key, QStringLiteral("%1, riga %2").arg(sheet.name).arg(number));

        if (stored.isEmpty()) {
            plan_.units.push_back(unit);
            ++plan_.unitsAdded;
            continue;
        }
        const PlannedUnit& before = storedUnits_[stored.first()].values;
        bool changed = unit.nome != before.nome || unit.tipologia != before.tipologia || unit.piano != before.piano ||
                       unit.scala != before.scala || unit.foglio != before.foglio ||
                       unit.particella != before.particella || unit.sub != before.sub || !(unit.owner == before.owner) ||
                       !(unit.tenant == before.tenant) || unit.ord != before.ord || unit.str != before.str;
        const QHash<qint64, double> had = thousandths_.value(*unit.id);
        for (int t = 0; t < unit.thousandths.size() && !changed; ++t)
            if (unit.thousandths[t])
                changed = !plan_.tables[t].id || !had.contains(*plan_.tables[t].id) ||
                          !sameThousandths(had.value(*plan_.tables[t].id), *unit.thousandths[t]);
        if (changed) {
            plan_.units.push_back(unit);
            ++plan_.unitsChanged;
        }
    }
}

void Planner::finish()
{
    QHash<qint64, const PlannedUnit*> planned;
    for (const PlannedUnit& u : std::as_const(plan_.units))
        if (u.id)
            planned.insert(*u.id, &u);
    for (int t = 0; t < plan_.tables.size(); ++t) {
        PlannedTable& table = plan_.tables[t];
        double total = 0;
        for (const StoredUnit& s : std::as_const(storedUnits_)) {
            const PlannedUnit* u = planned.value(s.id);
            if (u && t < u->thousandths.size() && u->thousandths[t])
                total += *u->thousandths[t];
            else if (table.id)
                total += thousandths_.value(s.id).value(*table.id);
        }
        for (const PlannedUnit& u : std::as_const(plan_.units))
            if (!u.id && t < u.thousandths.size() && u.thousandths[t])
                total += *u.thousandths[t];
        table.total = double(store::roundScaled(total, 3)) / 1000.0;
        if (table.inSheet && store::roundScaled(table.total, 3) != 1000000)
            warn(QStringLiteral("Locali"), 0,
                 QStringLiteral("la tabella %1 somma %2 millesimi invece di 1000.000")
                     .arg(table.name, store::formatThousandths(table.total)));
    }
}

} // namespace velcaris::sheetimport
