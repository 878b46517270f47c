#include "sheetimport/ColumnNames.h"

namespace velcaris::sheetimport {

namespace {

// Rows above the headers a sheet may have (a title, the building's name).
constexpr int kHeaderSearch = 10;

struct Name {
    const char* folded;
    Field field;
};

const Name kUnitNames[] = {
    {"locale", Field::UnitName}, {"nomelocale", Field::UnitName}, {"unita", Field::UnitName},
    {"unitaimmobiliare", Field::UnitName}, {"interno", Field::UnitName}, {"nome", Field::UnitName},
    {"scala", Field::Scala}, {"piano", Field::Piano}, {"tipologia", Field::Tipologia}, {"tipo", Field::Tipologia},
    {"tipologialocale", Field::Tipologia}, {"proprietario", Field::Proprietario}, {"condomino", Field::Proprietario},
    {"inquilino", Field::Inquilino}, {"conduttore", Field::Inquilino}, {"affittuario", Field::Inquilino},
    {"foglio", Field::Foglio}, {"particella", Field::Particella}, {"mappale", Field::Particella},
    {"sub", Field::Sub}, {"subalterno", Field::Sub},
    {"partecipazioneord", Field::PartecipazioneOrd}, {"partecipazioneordinaria", Field::PartecipazioneOrd},
    {"partecipazionespeseordinarie", Field::PartecipazioneOrd}, {"ord", Field::PartecipazioneOrd},
    {"partecipazionestr", Field::PartecipazioneStr}, {"partecipazionestraordinaria", Field::PartecipazioneStr},
    {"partecipazionespesestraordinarie", Field::PartecipazioneStr}, {"str", Field::PartecipazioneStr},
    {"id", Field::Ignored}, {"note", Field::Ignored}, {"nota", Field::Ignored}, {"totale", Field::Ignored},
    // The owner's contacts, which a list of owners often carries beside the unit: the persons'
    // sheet is where they are read.
    {"email", Field::Ignored}, {"mail", Field::Ignored}, {"telefono", Field::Ignored}, {"cellulare", Field::Ignored},
    {"mobile", Field::Ignored}, {"indirizzo", Field::Ignored}, {"codicefiscale", Field::Ignored},
    {"cf", Field::Ignored}, {"cap", Field::Ignored}, {"citta", Field::Ignored},
};

// What persons and suppliers share.
const Name kContactNames[] = {
    {"cognome", Field::Cognome}, {"nome", Field::Nome}, {"cognomeenome", Field::FullName},
    {"cognomenome", Field::FullName}, {"nominativo", Field::FullName}, {"mobile", Field::Mobile},
    {"cellulare", Field::Mobile}, {"cell", Field::Mobile}, {"telefono", Field::Telefono}, {"tel", Field::Telefono},
    {"fax", Field::Fax}, {"indirizzo", Field::Indirizzo}, {"via", Field::Indirizzo}, {"cap", Field::Cap},
    {"citta", Field::Citta}, {"comune", Field::Citta}, {"localita", Field::Citta}, {"email", Field::Email},
    {"mail", Field::Email}, {"postaelettronica", Field::Email}, {"codicefiscale", Field::CodiceFiscale},
    {"cf", Field::CodiceFiscale}, {"codfiscale", Field::CodiceFiscale}, {"codfisc", Field::CodiceFiscale},
    {"note", Field::Note}, {"nota", Field::Note}, {"id", Field::Ignored},
};

const Name kPersonNames[] = {
    {"condomino", Field::FullName}, {"persona", Field::FullName}, {"comunicazioni", Field::Comunicazioni},
    {"avvisi", Field::Comunicazioni}, {"consiglio", Field::Consiglio}, {"consigliere", Field::Consiglio},
    {"membrodelconsiglio", Field::Consiglio}, {"membrodelconsigliodeicondomini", Field::Consiglio},
    {"userid", Field::Ignored}, {"password", Field::Ignored},
};

const Name kSupplierNames[] = {
    {"ragionesociale", Field::Cognome}, {"denominazione", Field::Cognome}, {"fornitore", Field::Cognome},
    {"partitaiva", Field::PartitaIva}, {"piva", Field::PartitaIva}, {"iban", Field::Iban},
};

template <std::size_t N>
bool lookUp(const Name (&names)[N], const QString& folded, Field& field)
{
    for (const Name& n : names)
        if (folded == QLatin1String(n.folded)) {
            field = n.field;
            return true;
        }
    return false;
}

bool fieldOf(SheetKind kind, const QString& folded, Field& field)
{
    switch (kind) {
    case SheetKind::Units:
        return lookUp(kUnitNames, folded, field);
    case SheetKind::Persons:
        return lookUp(kPersonNames, folded, field) || lookUp(kContactNames, folded, field);
    case SheetKind::Suppliers:
        return lookUp(kSupplierNames, folded, field) || lookUp(kContactNames, folded, field);
    default:
        return false;
    }
}

// "Millesimi Generale" -> "Generale".
QString tableName(const QString& header)
{
    QString name = header.simplified();
    for (const QString& prefix : {QStringLiteral("millesimi "), QStringLiteral("mill. ")})
        if (name.startsWith(prefix, Qt::CaseInsensitive) && name.size() > prefix.size())
            return name.mid(prefix.size()).trimmed();
    return name;
}

SheetColumns columnsOf(SheetKind kind, const QStringList& header, int row)
{
    SheetColumns columns;
    columns.headerRow = row;
    for (int c = 0; c < header.size(); ++c) {
        const QString folded = foldedHeader(header[c]);
        if (folded.isEmpty())
            continue;
        Field field;
        if (fieldOf(kind, folded, field)) {
            if (!columns.fields.contains(field))
                columns.fields.insert(field, c);
        } else if (kind == SheetKind::Units) {
            columns.tables.push_back({c, tableName(header[c])});
        }
    }
    return columns;
}

bool enough(SheetKind kind, const SheetColumns& c)
{
    switch (kind) {
    case SheetKind::Units:
        return c.has(Field::UnitName);
    case SheetKind::Persons:
    case SheetKind::Suppliers:
        return c.has(Field::Cognome) || c.has(Field::FullName) || c.has(Field::Nome);
    default:
        return false;
    }
}

// The kind the headers tell: units name a unit or an owner, suppliers a VAT number or an IBAN,
// persons a surname.
SheetKind kindOfHeaders(const QStringList& header)
{
    QStringList folded;
    for (const QString& h : header)
        folded << foldedHeader(h);
    auto any = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (folded.contains(QLatin1String(n)))
                return true;
        return false;
    };
    if (any({"locale", "nomelocale", "unita", "unitaimmobiliare", "interno", "proprietario"}))
        return SheetKind::Units;
    if (any({"partitaiva", "piva", "iban", "ragionesociale", "fornitore"}))
        return SheetKind::Suppliers;
    if (any({"cognome", "cognomeenome", "cognomenome", "nominativo"}))
        return SheetKind::Persons;
    return SheetKind::Unknown;
}

} // namespace

QString foldedHeader(const QString& header)
{
    const QString decomposed = header.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.isLetterOrNumber())
            folded += c.toLower();
    return folded;
}

QString tableHeader(const QString& table)
{
    Field field;
    if (fieldOf(SheetKind::Units, foldedHeader(table), field) || tableName(table) != table.simplified())
        return QStringLiteral("Millesimi ") + table;
    return table;
}

SheetKind kindOfSheetName(const QString& name)
{
    const QString folded = foldedHeader(name);
    for (const char* n : {"locali", "unita", "unitaimmobiliari", "millesimi", "tabellemillesimali"})
        if (folded == QLatin1String(n))
            return SheetKind::Units;
    for (const char* n : {"persone", "anagrafe", "condomini", "proprietari"})
        if (folded == QLatin1String(n))
            return SheetKind::Persons;
    if (folded == QLatin1String("fornitori"))
        return SheetKind::Suppliers;
    if (folded == QLatin1String("istruzioni"))
        return SheetKind::Instructions;
    return SheetKind::Unknown;
}

SheetColumns findColumns(SheetKind& kind, const QVector<QStringList>& rows)
{
    int seen = 0;
    for (int r = 0; r < rows.size() && seen < kHeaderSearch; ++r) {
        if (rows[r].join(QString()).trimmed().isEmpty())
            continue;
        ++seen;
        const SheetKind k = kind == SheetKind::Unknown ? kindOfHeaders(rows[r]) : kind;
        if (k == SheetKind::Unknown || k == SheetKind::Instructions)
            continue;
        SheetColumns columns = columnsOf(k, rows[r], r);
        if (enough(k, columns)) {
            kind = k;
            return columns;
        }
    }
    return SheetColumns{};
}

} // namespace velcaris::sheetimport
