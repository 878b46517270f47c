#pragma once
// Which column of a sheet holds what: headers are compared folded (case, accents, blanks,
// underscores and punctuation do not count: "Città", "CITTA", "citta_" are one header), and each
// field has the names a user's own list commonly gives it.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::sheetimport {

enum class SheetKind { Units, Persons, Suppliers, Instructions, Unknown };

enum class Field {
    UnitName, Scala, Piano, Tipologia, Proprietario, Inquilino, Foglio, Particella, Sub, PartecipazioneOrd,
    PartecipazioneStr,
    Cognome, Nome, FullName, Mobile, Telefono, Fax, Indirizzo, Cap, Citta, Email, CodiceFiscale, Comunicazioni,
    Consiglio, Note, PartitaIva, Iban,
    Ignored, // a column the import knows and leaves alone
};

// The header folded for comparison: lower case, accents dropped, letters and digits only.
QString foldedHeader(const QString& header);

// The header of a millesimal table's column: its name, or "Millesimi <name>" when the name alone
// would be read as another column ("Scala", "Piano") or lose a word ("Millesimi scala B").
QString tableHeader(const QString& table);

// The kind a sheet's name says ("Locali", "Persone", "Fornitori", "Istruzioni"), or Unknown.
SheetKind kindOfSheetName(const QString& name);

// The columns of one sheet: the row of its headers, the field of each known header (the first
// column when two say the same), and, for the units' sheet, the other headers: the millesimal
// tables, by column.
struct SheetColumns {
    int headerRow = -1; // from 0; -1 when no row has the headers the kind needs
    QHash<Field, int> fields;
    QVector<std::pair<int, QString>> tables;
    bool has(Field f) const { return fields.contains(f); }
    int at(Field f) const { return fields.value(f, -1); }
};

// Finds the header row among the first rows of `rows` for a sheet of `kind` (Unknown: the kind
// is told by the headers and written back). A units' sheet's header that names no field is a
// millesimal table; "Millesimi Generale" names the table Generale.
SheetColumns findColumns(SheetKind& kind, const QVector<QStringList>& rows);

} // namespace velcaris::sheetimport
