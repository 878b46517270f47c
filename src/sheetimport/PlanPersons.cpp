// The persons' and the suppliers' sheets of the import plan.
#include "registry/NameRules.h"
#include "sheetimport/Planner.h"
#include "sheetimport/TaxCodes.h"
#include "store/Database.h"

namespace velcaris::sheetimport {

namespace {

// "Rossi Mario Luigi" -> ("Rossi", "Mario Luigi").
std::pair<QString, QString> splitFullName(const QString& full)
{
    const QString s = full.simplified();
    const int blank = int(s.indexOf(u' '));
    if (blank < 0)
        return {s, QString()};
    return {s.left(blank), s.mid(blank + 1)};
}

std::optional<bool> yesNo(const QString& text)
{
    const QString t = text.trimmed().toLower();
    for (const char* yes : {"si", "sì", "s", "x", "1", "vero", "true", "yes"})
        if (t == QString::fromUtf8(yes))
            return true;
    for (const char* no : {"", "no", "n", "0", "falso", "false"})
        if (t == QString::fromUtf8(no))
            return false;
    return std::nullopt;
}

bool refusedCharacters(const QString& text)
{
    return registry::withoutRefused(text, registry::fileNameRefusedCharacters()) != text;
}

const QString kRefusedName =
    QStringLiteral("il nome contiene un carattere non ammesso (/ \\ : * ? \" < > |)");

QString where(const QString& sheet, int row)
{
    return QStringLiteral("%1, riga %2").arg(sheet).arg(row);
}

// The field's column in the row, overlaying `target` only when the sheet has the column.
void overlay(const SheetColumns& columns, const QStringList& row, Field field, QString& target)
{
    if (columns.has(field))
        target = cell(row, columns.at(field));
}

// A partita IVA as compared: digits and letters, without the country's "IT".
QString vatKey(const QString& vat)
{
    QString key;
    for (const QChar c : vat.toUpper())
        if (c.isLetterOrNumber())
            key += c;
    if (key.startsWith(QLatin1String("IT")) && key.size() == 13)
        key = key.mid(2);
    return key;
}

bool samePerson(const registry::PersonInput& a, const registry::PersonInput& b)
{
    return a.cognome == b.cognome && a.nome == b.nome && a.mobile == b.mobile && a.telefono == b.telefono &&
           a.fax == b.fax && a.indirizzo == b.indirizzo && a.cap == b.cap && a.citta == b.citta && a.email == b.email &&
           a.codiceFiscale == b.codiceFiscale && a.comunicazioni == b.comunicazioni && a.consiglio == b.consiglio &&
           a.note == b.note;
}

bool sameSupplier(const registry::SupplierInput& a, const registry::SupplierInput& b)
{
    return a.cognome == b.cognome && a.nome == b.nome && a.mobile == b.mobile && a.telefono == b.telefono &&
           a.fax == b.fax && a.indirizzo == b.indirizzo && a.cap == b.cap && a.citta == b.citta && a.email == b.email &&
           a.codiceFiscale == b.codiceFiscale && a.partitaIva == b.partitaIva && a.iban == b.iban && a.note == b.note;
}

} // namespace

QString matchKey(const QString& text)
{
    return text.simplified().toCaseFolded();
}

void Planner::refuse(const QString& sheet, int row, const QString& text)
{
    plan_.notes.push_back({sheet, row, text, true});
}

void Planner::warn(const QString& sheet, int row, const QString& text)
{
    plan_.notes.push_back({sheet, row, text, false});
}

void Planner::indexPerson(const PersonRef& ref, const registry::PersonInput& values)
{
    personsByName_[matchKey(values.cognome + u' ' + values.nome)].push_back(ref);
    if (!values.codiceFiscale.trimmed().isEmpty())
        personsByCode_[values.codiceFiscale.trimmed().toUpper()].push_back(ref);
}

void Planner::persons(const SheetTable& sheet, const SheetColumns& columns)
{
    for (int r = columns.headerRow + 1; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        const int number = r + 1;
        if (emptyRow(row))
            continue;
        QString cognome, nome;
        if (columns.has(Field::Cognome)) {
            cognome = cell(row, columns.at(Field::Cognome));
            nome = cell(row, columns.at(Field::Nome));
        } else {
            std::tie(cognome, nome) = splitFullName(cell(row, columns.at(columns.has(Field::FullName) ? Field::FullName : Field::Nome)));
        }
        if (cognome.isEmpty()) {
            refuse(sheet.name, number, QStringLiteral("manca il cognome"));
            continue;
        }
        if (refusedCharacters(cognome) || refusedCharacters(nome)) {
            refuse(sheet.name, number, kRefusedName);
            continue;
        }
        std::optional<bool> council;
        if (columns.has(Field::Consiglio)) {
            council = yesNo(cell(row, columns.at(Field::Consiglio)));
            if (!council) {
                refuse(sheet.name, number,
                       QStringLiteral("\"Consiglio\" deve essere Sì o No, non \"%1\"").arg(cell(row, columns.at(Field::Consiglio))));
                continue;
            }
        }
        const QString code = cell(row, columns.at(Field::CodiceFiscale)).toUpper();

        // The stored person the row names: by codice fiscale, else by surname and first name.
        int match = -1;
        const QString nameKey = matchKey(cognome + u' ' + nome);
        QVector<int> byCode, byName;
        for (int i = 0; i < storedPersons_.size(); ++i) {
            const registry::PersonInput& p = storedPersons_[i].values;
            if (!code.isEmpty() && p.codiceFiscale.trimmed().toUpper() == code)
                byCode << i;
            else if (matchKey(p.cognome + u' ' + p.nome) == nameKey)
                byName << i;
        }
        if (!byCode.isEmpty()) {
            match = byCode.first();
        } else if (byName.size() > 1) {
            refuse(sheet.name, number,
                   QStringLiteral("in anagrafe ci sono più persone di nome %1 %2: indicare il codice fiscale").arg(cognome, nome));
            continue;
        } else if (byName.size() == 1) {
            match = byName.first();
        }

        registry::PersonInput values;
        if (match >= 0) {
            const qint64 id = storedPersons_[match].id;
            if (personRows_.contains(id)) {
                refuse(sheet.name, number, QStringLiteral("la stessa persona è già in %1").arg(personRows_.value(id)));
                continue;
            }
            personRows_.insert(id, where(sheet.name, number));
            values = storedPersons_[match].values;
        } else {
            const QString key = code.isEmpty() ? nameKey : code;
            if (newPersonKeys_.contains(key)) {
                refuse(sheet.name, number, QStringLiteral("la stessa persona compare due volte nel foglio"));
                continue;
            }
            newPersonKeys_.insert(key);
            values.comunicazioni = defaultChannel_;
        }
        values.cognome = cognome;
        if (columns.has(Field::Nome) || !columns.has(Field::Cognome))
            values.nome = nome;
        overlay(columns, row, Field::Mobile, values.mobile);
        overlay(columns, row, Field::Telefono, values.telefono);
        overlay(columns, row, Field::Fax, values.fax);
        overlay(columns, row, Field::Indirizzo, values.indirizzo);
        overlay(columns, row, Field::Cap, values.cap);
        overlay(columns, row, Field::Citta, values.citta);
        overlay(columns, row, Field::Email, values.email);
        overlay(columns, row, Field::Note, values.note);
        if (columns.has(Field::CodiceFiscale))
            values.codiceFiscale = code;
        if (columns.has(Field::Comunicazioni) && !cell(row, columns.at(Field::Comunicazioni)).isEmpty())
            values.comunicazioni = cell(row, columns.at(Field::Comunicazioni));
        if (council)
            values.consiglio = *council;
        if (const QString problem = taxCodeProblem(values.codiceFiscale); !problem.isEmpty())
            warn(sheet.name, number, problem);

        if (match >= 0) {
            StoredPerson& stored = storedPersons_[match];
            if (samePerson(stored.values, values))
                continue;
            PlannedPerson planned{stored.id, values, !values.userId.isEmpty() && !values.password.isEmpty()};
            plannedPerson_.insert(stored.id, int(plan_.persons.size()));
            plan_.persons.push_back(planned);
            stored.values = values; // the units' sheet finds the person by its new name
            ++plan_.personsChanged;
        } else {
            plan_.persons.push_back({std::nullopt, values, false});
            ++plan_.personsAdded;
        }
    }
}

std::optional<PersonRef> Planner::resolvePerson(const QString& text, bool& created, QString& problem)
{
    created = false;
    if (personsByName_.isEmpty() && personsByCode_.isEmpty()) {
        for (const StoredPerson& p : storedPersons_)
            indexPerson({p.id, -1}, p.values);
        for (int i = 0; i < plan_.persons.size(); ++i)
            if (!plan_.persons[i].id)
                indexPerson({-1, i}, plan_.persons[i].values);
    }
    const QString code = text.trimmed().toUpper();
    QVector<PersonRef> found = personsByCode_.value(code);
    if (found.isEmpty())
        found = personsByName_.value(matchKey(text));
    if (found.size() > 1) {
        problem = QStringLiteral("più persone si chiamano %1: scrivere il loro codice fiscale al posto del nome").arg(text);
        return std::nullopt;
    }
    if (found.size() == 1)
        return found.first();
    if (refusedCharacters(text)) {
        problem = kRefusedName;
        return std::nullopt;
    }
    registry::PersonInput values;
    std::tie(values.cognome, values.nome) = splitFullName(text);
    values.comunicazioni = defaultChannel_;
    const PersonRef ref{-1, int(plan_.persons.size())};
    plan_.persons.push_back({std::nullopt, values, false});
    ++plan_.personsAdded;
    indexPerson(ref, values);
    created = true;
    return ref;
}

void Planner::suppliers(const SheetTable& sheet, const SheetColumns& columns)
{
    for (int r = columns.headerRow + 1; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        const int number = r + 1;
        if (emptyRow(row))
            continue;
        QString cognome = cell(row, columns.at(Field::Cognome));
        QString nome = cell(row, columns.at(Field::Nome));
        if (!columns.has(Field::Cognome)) { // a company's name is one text: all of it is the "surname"
            cognome = cell(row, columns.at(columns.has(Field::FullName) ? Field::FullName : Field::Nome));
            nome.clear();
        }
        if (cognome.isEmpty()) {
            refuse(sheet.name, number, QStringLiteral("manca il nome del fornitore"));
            continue;
        }
        if (refusedCharacters(cognome) || refusedCharacters(nome)) {
            refuse(sheet.name, number, kRefusedName);
            continue;
        }
        const QString vat = vatKey(cell(row, columns.at(Field::PartitaIva)));
        const QString code = cell(row, columns.at(Field::CodiceFiscale)).toUpper();
        const QString nameKey = matchKey(cognome + u' ' + nome);
        int match = -1;
        for (int pass = 0; pass < 3 && match < 0; ++pass)
            for (int i = 0; i < storedSuppliers_.size() && match < 0; ++i) {
                const registry::SupplierInput& s = storedSuppliers_[i].second;
                if ((pass == 0 && !vat.isEmpty() && vatKey(s.partitaIva) == vat) ||
                    (pass == 1 && !code.isEmpty() && s.codiceFiscale.trimmed().toUpper() == code) ||
                    (pass == 2 && matchKey(s.cognome + u' ' + s.nome) == nameKey))
                    match = i;
            }

        registry::SupplierInput values;
        if (match >= 0) {
            const qint64 id = storedSuppliers_[match].first;
            if (supplierRows_.contains(id)) {
                refuse(sheet.name, number, QStringLiteral("lo stesso fornitore è già in %1").arg(supplierRows_.value(id)));
                continue;
            }
            supplierRows_.insert(id, where(sheet.name, number));
            values = storedSuppliers_[match].second;
        } else {
            const QString key = !vat.isEmpty() ? vat : !code.isEmpty() ? code : nameKey;
            if (newSupplierRows_.contains(key)) {
                refuse(sheet.name, number, QStringLiteral("lo stesso fornitore è già in %1").arg(newSupplierRows_.value(key)));
                continue;
            }
            newSupplierRows_.insert(key, where(sheet.name, number));
        }
        values.cognome = cognome;
        if (columns.has(Field::Nome) && columns.has(Field::Cognome))
            values.nome = nome;
        overlay(columns, row, Field::Mobile, values.mobile);
        overlay(columns, row, Field::Telefono, values.telefono);
        overlay(columns, row, Field::Fax, values.fax);
        overlay(columns, row, Field::Indirizzo, values.indirizzo);
        overlay(columns, row, Field::Cap, values.cap);
        overlay(columns, row, Field::Citta, values.citta);
        overlay(columns, row, Field::Email, values.email);
        overlay(columns, row, Field::Iban, values.iban);
        overlay(columns, row, Field::Note, values.note);
        overlay(columns, row, Field::PartitaIva, values.partitaIva);
        if (columns.has(Field::CodiceFiscale))
            values.codiceFiscale = code;
        if (const QString problem = taxCodeProblem(values.codiceFiscale); !problem.isEmpty())
            warn(sheet.name, number, problem);
        if (!vat.isEmpty() && taxCodeProblem(vat).size() > 0)
            warn(sheet.name, number, QStringLiteral("la partita IVA %1 non è valida").arg(values.partitaIva));

        if (match >= 0) {
            const auto& [id, stored] = storedSuppliers_[match];
            PlannedSupplier planned{id, values, !sameSupplier(stored, values), !associated_.contains(id)};
            if (!planned.changed && !planned.associate)
                continue;
            plan_.suppliers.push_back(planned);
            ++plan_.suppliersChanged;
        } else {
            plan_.suppliers.push_back({std::nullopt, values, true, true});
            ++plan_.suppliersAdded;
        }
    }
}

} // namespace velcaris::sheetimport
