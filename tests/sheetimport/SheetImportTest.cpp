// Importing a building from a spreadsheet: the model exported from one building and imported into
// an empty one gives the same building; hand-made files (.csv in two encodings and separators,
// .xlsx, .ods) with shuffled columns, header variants and bad rows give the rows they should and
// a second import updates instead of adding; a file that is no spreadsheet changes nothing.
#include "sheetimport/ImportPlan.h"
#include "sheetimport/TemplateExport.h"
#include "store/Database.h"
#include "support/Office.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <zip.h>

using namespace velcaris;
using sheetimport::ImportPlan;

namespace {

const QString kVilla = "Villa Rosa - Via Roma 1";
const QString kNuovo = "Nuovo - Via Po 2";

// A zip archive at `path` holding the named parts.
void writeZip(const QString& path, const QVector<std::pair<QString, QByteArray>>& parts)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.constData(), zip_uint64_t(content.size()), 0);
        ASSERT_GE(zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0); // the buffers are read here
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every row the import may write, as text: equal before and after means nothing was written.
QString snapshot(store::Database& db)
{
    QString out;
    for (const char* sql : {"SELECT * FROM Anagrafe ORDER BY Id", "SELECT * FROM Locali ORDER BY Id",
                            "SELECT * FROM Millesimi ORDER BY IdLocale, IdTabella", "SELECT * FROM Tabelle ORDER BY Id",
                            "SELECT * FROM Fornitori ORDER BY id", "SELECT * FROM fornitori_associazione",
                            "SELECT * FROM TipologieLocali ORDER BY Id", "SELECT * FROM Quote ORDER BY IdQuota"}) {
        store::Statement st(db, QString::fromLatin1(sql));
        while (st.step()) {
            for (int c = 0; c < st.columnCount(); ++c)
                out += st.value(c).toString() + u'|';
            out += u'\n';
        }
    }
    return out;
}

// The building as the user sees it, without keys: units with type, owner, tenant, shares and
// thousandths per table name; persons; suppliers serving it.
QStringList building(store::Database& db, const QString& condominium)
{
    QStringList rows;
    store::Statement units(db, "SELECT l.Nome, l.Scala, l.Piano, l.IdTipologia, p.Cognome || ' ' || p.Nome, "
                               "i.Cognome || ' ' || i.Nome, l.Foglio, l.Particella, l.Sub, l.PartecipazioneORD, "
                               "l.PartecipazioneSTR, l.Id "
                               "FROM Locali l JOIN Anagrafe p ON p.Id = l.idProprietario "
                               "JOIN Anagrafe i ON i.Id = l.idInquilino WHERE l.IdCondominio = ? ORDER BY l.Nome");
    store::Statement thousandths(db, "SELECT t.Nome, m.Millesimi FROM Millesimi m JOIN Tabelle t ON t.Id = m.IdTabella "
                                     "WHERE m.IdLocale = ? ORDER BY t.Nome");
    units.bind(1, condominium);
    while (units.step()) {
        QStringList cells;
        for (int c = 0; c < 11; ++c)
            cells << units.value(c).toString();
        QStringList shares;
        thousandths.reset();
        thousandths.bind(1, units.value(11));
        while (thousandths.step())
            shares << thousandths.value(0).toString() + '=' + QString::number(thousandths.value(1).toDouble(), 'f', 3);
        cells << shares.join(';');
        rows << "U:" + cells.join('|');
    }
    store::Statement persons(db, "SELECT Cognome, Nome, CodiceFiscale, \"Città\", Email, Comunicazioni, Consiglio, Note "
                                 "FROM Anagrafe WHERE idCondominio = ? ORDER BY Cognome, Nome");
    persons.bind(1, condominium);
    while (persons.step()) {
        QStringList cells;
        for (int c = 0; c < 8; ++c)
            cells << persons.value(c).toString();
        rows << "P:" + cells.join('|');
    }
    store::Statement suppliers(db, "SELECT f.Cognome, f.PartitaIVA, f.IBAN FROM Fornitori f JOIN fornitori_associazione a "
                                   "ON a.IdFornitore = f.id WHERE a.IdCondominio = ? ORDER BY f.Cognome");
    suppliers.bind(1, condominium);
    while (suppliers.step())
        rows << "F:" + suppliers.value(0).toString() + '|' + suppliers.value(1).toString() + '|' +
                    suppliers.value(2).toString();
    store::Statement tables(db, "SELECT Nome, COUNT(m.IdLocale) FROM Tabelle t LEFT JOIN Millesimi m ON m.IdTabella = t.Id "
                                "WHERE t.Id_Condominio = ? GROUP BY t.Id ORDER BY Nome");
    tables.bind(1, condominium);
    while (tables.step())
        rows << "T:" + tables.value(0).toString() + '|' + tables.value(1).toString();
    return rows;
}

QStringList refusals(const ImportPlan& plan)
{
    QStringList out;
    for (const sheetimport::RowNote& n : plan.notes)
        out << QStringLiteral("%1 %2 %3: %4").arg(n.refused ? "SCARTO" : "AVVISO", n.sheet).arg(n.row).arg(n.text);
    return out;
}

class SheetImport : public ::testing::Test {
protected:
    test::Office office;
    store::Database& db() { return office.db(); }
    QString path(const QString& name) { return office.folder() + "/" + name; }
    ImportPlan preview(const QString& name) { return sheetimport::previewImport(office.ws(), path(name)); }
    void choose(const QString& condominium) { office.ws().selection.condominium = condominium; }
};

} // namespace

TEST_F(SheetImport, TheExportedModelImportedIntoAnEmptyCondominiumGivesTheSameBuilding)
{
    office.addCondominium(kVilla);
    office.addCondominium(kNuovo);
    const qint64 rossi = office.addPerson(kVilla, "Rossi", "Mario");
    const qint64 bianchi = office.addPerson(kVilla, "D'Angelo Bianchi", "Anna");
    const qint64 verdi = office.addPerson(kVilla, "Verdi", "Luca");
    db().exec("UPDATE Anagrafe SET CodiceFiscale = 'RSSMRA85T10A562S', \"Città\" = 'Forlì', Consiglio = 1, "
              "Note = 'scala B; citofono 3' WHERE Id = ?", {rossi});
    db().exec("UPDATE Anagrafe SET Email = 'anna@example.it', Comunicazioni = 'E-mail' WHERE Id = ?", {bianchi});
    db().exec("UPDATE Anagrafe SET Comunicazioni = 'Raccomandata' WHERE Comunicazioni IS NULL");
    const qint64 a1 = office.addUnit(kVilla, "A1", rossi, verdi);
    const qint64 a2 = office.addUnit(kVilla, "A2", bianchi, bianchi);
    const qint64 box = office.addUnit(kVilla, "Box 1", rossi, rossi);
    db().exec("UPDATE Locali SET IdTipologia = 'Appartamento', Scala = 'A', Piano = '1', Foglio = '12', "
              "Particella = '345', Sub = '6', PartecipazioneORD = 100, PartecipazioneSTR = 50 WHERE Id IN (?, ?)", {a1, a2});
    db().exec("UPDATE Locali SET IdTipologia = 'Box' WHERE Id = ?", {box});
    db().exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, 'Generale', 'clAqua'), (?, 'Scala A', 'clAqua')",
              {kVilla, kVilla});
    const double generale[] = {600.5, 333.333, 66.167};
    const double scala[] = {500, 500, 0};
    const qint64 units[] = {a1, a2, box};
    for (int i = 0; i < 3; ++i)
        db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, 1, ?), (?, ?, 2, ?)",
                  {kVilla, units[i], generale[i], kVilla, units[i], scala[i]});
    db().exec("INSERT INTO Fornitori (Cognome, PartitaIVA, IBAN, \"Città\") VALUES ('Idraulica Srl', '01234567897', "
              "'IT60X0542811101000000123456', 'Cantù'), ('Altro', '12345678903', '', '')");
    db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?)", {kVilla});

    choose(kVilla);
    ASSERT_TRUE(sheetimport::exportTemplate(office.ws(), path("modello.xlsx")).done);
    // The model of the building itself changes nothing.
    const ImportPlan same = preview("modello.xlsx");
    EXPECT_TRUE(same.error.isEmpty()) << same.error.toStdString();
    EXPECT_FALSE(same.writesSomething()) << same.summary().toStdString() << refusals(same).join('\n').toStdString();

    choose(kNuovo);
    const QString before = snapshot(db());
    const ImportPlan plan = preview("modello.xlsx");
    ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
    EXPECT_EQ(snapshot(db()), before) << "the preview writes nothing";
    EXPECT_EQ(plan.refusedRows(), 0) << refusals(plan).join('\n').toStdString();
    EXPECT_EQ(plan.unitsAdded, 3);
    EXPECT_EQ(plan.personsAdded, 3);
    EXPECT_EQ(plan.tablesAdded, 2);
    EXPECT_EQ(plan.suppliersAdded, 0) << "matched by partita IVA";
    EXPECT_EQ(plan.suppliersChanged, 1) << "associated with the new building";
    ASSERT_EQ(plan.tables.size(), 2);
    EXPECT_DOUBLE_EQ(plan.tables[0].total, 1000.0);
    const app::Outcome done = sheetimport::applyImport(office.ws(), plan);
    ASSERT_TRUE(done.done) << done.texts().join('\n').toStdString();

    const QStringList original = building(db(), kVilla);
    EXPECT_EQ(original.size(), 3 + 3 + 1 + 2);
    EXPECT_EQ(building(db(), kNuovo), original);
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Fornitori").toInt(), 2) << "no supplier twice";

    // Importing the same file again finds everything in place.
    const ImportPlan again = preview("modello.xlsx");
    EXPECT_FALSE(again.writesSomething()) << again.summary().toStdString();
}

TEST_F(SheetImport, HandMadeFilesWithShuffledColumnsBadRowsAndASecondImportThatUpdates)
{
    office.addCondominium(kVilla);
    choose(kVilla);

    // Persons: semicolons, Windows-1252, "Cognome e nome" in one column, upper-case headers.
    writeFile(path("persone.csv"),
              QByteArray("CITT\xC0;Cognome e nome;codice_fiscale;E-Mail;Consiglio\r\n"
                         "Forl\xEC;Rossi Mario;RSSMRA85T10A562S;m@example.it;s\xEC\r\n"
                         "Cant\xF9;De Luca Anna Maria;BNCNNA70A41F205X;;\r\n"
                         "Roma;;;;\r\n"
                         "Milano;Verdi Luca;;;forse\r\n"));
    ImportPlan persons = preview("persone.csv");
    ASSERT_TRUE(persons.error.isEmpty()) << persons.error.toStdString();
    EXPECT_EQ(persons.personsAdded, 2);
    EXPECT_EQ(refusals(persons),
              (QStringList{"AVVISO Foglio1 3: il codice fiscale BNCNNA70A41F205X ha il carattere di controllo sbagliato",
                           "SCARTO Foglio1 4: manca il cognome",
                           "SCARTO Foglio1 5: \"Consiglio\" deve essere Sì o No, non \"forse\""}));
    ASSERT_TRUE(sheetimport::applyImport(office.ws(), persons).done);
    EXPECT_EQ(db().scalar("SELECT \"Città\" || '/' || Consiglio || '/' || Comunicazioni FROM Anagrafe WHERE Cognome = 'Rossi'").toString(),
              QString::fromUtf8("Forlì/1/Raccomandata"));
    EXPECT_EQ(db().scalar("SELECT Nome || '/' || \"Città\" FROM Anagrafe WHERE Cognome = 'De'").toString(),
              QString::fromUtf8("Luca Anna Maria/Cantù")) << "split on the first blank";

    // Units: commas, UTF-8 with its mark, columns in another order, a table per column, an owner
    // by codice fiscale, one by name, one the register does not know yet.
    writeFile(path("locali.csv"), QByteArray("\xEF\xBB\xBF"
                                             "Millesimi Generale,PROPRIETARIO,Unit\xC3\xA0,Ascensore,Partecipazione_ORD\n"
                                             "500,RSSMRA85T10A562S,A1,\"333,5\",100\n"
                                             "abc,De Luca Anna Maria,A2,10,100\n"
                                             "100,Rossi Mario,A1,1,100\n"
                                             "500,Neri Carlo,A3,0,120\n"
                                             "500,Neri Carlo,A4,,\n"));
    ImportPlan units = preview("locali.csv");
    ASSERT_TRUE(units.error.isEmpty()) << units.error.toStdString();
    EXPECT_EQ(units.unitsAdded, 2) << refusals(units).join('\n').toStdString();
    EXPECT_EQ(units.personsAdded, 1) << "Neri Carlo, once";
    EXPECT_EQ(units.tablesAdded, 2);
    const QStringList notes = refusals(units);
    ASSERT_EQ(notes.size(), 5) << notes.join('\n').toStdString();
    EXPECT_TRUE(notes[0].startsWith("SCARTO Foglio1 3: i millesimi della tabella Generale")) << notes[0].toStdString();
    EXPECT_TRUE(notes[1].startsWith("SCARTO Foglio1 4: il locale A1 è già in Foglio1, riga 2")) << notes[1].toStdString();
    EXPECT_TRUE(notes[2].startsWith("SCARTO Foglio1 5: PartecipazioneORD")) << notes[2].toStdString();
    EXPECT_EQ(notes[3], "AVVISO Foglio1 6: Neri Carlo non è in anagrafe: sarà aggiunto");
    EXPECT_EQ(notes[4], "AVVISO Locali 0: la tabella Ascensore somma 333.500 millesimi invece di 1000.000");
    ASSERT_TRUE(sheetimport::applyImport(office.ws(), units).done);
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Millesimi WHERE IdCondominio = ?", {kVilla}).toInt(), 4)
        << "every unit has a row in every table";
    EXPECT_EQ(db().scalar("SELECT SUM(Millesimi) FROM Millesimi m JOIN Tabelle t ON t.Id = m.IdTabella "
                          "WHERE t.Nome = 'Ascensore'").toDouble(), 333.5);
    EXPECT_EQ(db().scalar("SELECT p.Cognome || ' ' || i.Cognome FROM Locali l JOIN Anagrafe p ON p.Id = l.idProprietario "
                          "JOIN Anagrafe i ON i.Id = l.idInquilino WHERE l.Nome = 'A1'").toString(), "Rossi Rossi");

    // The same units again as a workbook: shared and inline strings, a gap in the cells, a
    // formula with its last value, a sheet of notes; A1 changes, A4 stays as it is.
    const QByteArray workbook =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"Istruzioni\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Locali\" sheetId=\"2\" r:id=\"rId2\"/>"
        "</sheets></workbook>";
    const QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Target=\"worksheets/note.xml\"/><Relationship Id=\"rId2\" Target=\"/xl/worksheets/locali.xml\"/>"
        "</Relationships>";
    const QByteArray strings = "<sst><si><t>Locale</t></si><si><r><t>Gene</t></r><r><t>rale</t></r></si><si><t>A1</t></si></sst>";
    const QByteArray sheet =
        "<worksheet><sheetData>"
        "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"D2\" t=\"s\"><v>1</v></c><c r=\"E2\" t=\"inlineStr\"><is><t>Scala</t></is></c></row>"
        "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>2</v></c><c r=\"D3\"><f>300*2</f><v>600</v></c><c r=\"E3\" t=\"str\"><v>B</v></c></row>"
        "<row r=\"5\"><c r=\"B5\" t=\"inlineStr\"><is><t>A4</t></is></c><c r=\"D5\"><v>500</v></c></row>"
        "</sheetData><mergeCells count=\"1\"><mergeCell ref=\"D3:D4\"/></mergeCells></worksheet>";
    writeZip(path("locali.xlsx"), {{"xl/workbook.xml", workbook}, {"xl/_rels/workbook.xml.rels", rels},
                                   {"xl/sharedStrings.xml", strings}, {"xl/worksheets/note.xml", "<worksheet><sheetData>"
                                   "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Locale Proprietario</t></is></c></row>"
                                   "</sheetData></worksheet>"},
                                   {"xl/worksheets/locali.xml", sheet}});
    ImportPlan update = preview("locali.xlsx");
    ASSERT_TRUE(update.error.isEmpty()) << update.error.toStdString();
    EXPECT_EQ(update.unitsAdded, 0);
    EXPECT_EQ(update.unitsChanged, 1) << refusals(update).join('\n').toStdString();
    EXPECT_EQ(update.refusedRows(), 0);
    ASSERT_TRUE(sheetimport::applyImport(office.ws(), update).done);
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Locali").toInt(), 2);
    EXPECT_EQ(test::joinedRows(db(), "SELECT l.Scala, m.Millesimi FROM Locali l JOIN Millesimi m ON m.IdLocale = l.Id "
                                     "JOIN Tabelle t ON t.Id = m.IdTabella WHERE l.Nome = 'A1' AND t.Nome = 'Generale'",
                               {}, "/"),
              "B/600.0");
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Anagrafe WHERE Cognome = 'Rossi'").toInt(), 1);

    // Suppliers as OpenDocument: a repeated column, a covered (merged) cell, a million empty rows
    // to the end of the sheet; the second row names the first supplier again by its partita IVA.
    const QByteArray content =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"Fornitori\">"
        "<table:table-row><table:table-cell><text:p>Ragione sociale</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"/><table:table-cell><text:p>P. IVA</text:p></table:table-cell>"
        "<table:table-cell><text:p>IBAN</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell><text:p>Idraulica <text:span>Srl</text:span></text:p></table:table-cell>"
        "<table:covered-table-cell table:number-columns-repeated=\"2\"/>"
        "<table:table-cell office:value-type=\"string\"><text:p>01234567897</text:p></table:table-cell>"
        "<table:table-cell><text:p>IT60X0542811101000000123456</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell><text:p>Idraulica Rossi Srl</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"/><table:table-cell office:value-type=\"float\" "
        "office:value=\"1234567897\"><text:p>1234567897</text:p></table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell table:number-columns-repeated=\"1024\"/>"
        "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    writeZip(path("fornitori.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
    ImportPlan suppliers = preview("fornitori.ods");
    ASSERT_TRUE(suppliers.error.isEmpty()) << suppliers.error.toStdString();
    EXPECT_EQ(suppliers.suppliersAdded, 2) << refusals(suppliers).join('\n').toStdString();
    EXPECT_EQ(refusals(suppliers), QStringList{"AVVISO Fornitori 3: la partita IVA 1234567897 non è valida"});
    ASSERT_TRUE(sheetimport::applyImport(office.ws(), suppliers).done);
    writeZip(path("fornitori2.ods"),
             {{"content.xml", QByteArray(content).replace("Idraulica <text:span>Srl</text:span>", "Idraulica Bianchi Srl")}});
    ImportPlan renamed = preview("fornitori2.ods");
    EXPECT_EQ(renamed.suppliersAdded, 0);
    EXPECT_EQ(renamed.suppliersChanged, 1);
    ASSERT_TRUE(sheetimport::applyImport(office.ws(), renamed).done);
    EXPECT_EQ(test::joinedRows(db(), "SELECT Cognome FROM Fornitori ORDER BY id", {}, ":", ", "),
              "Idraulica Bianchi Srl, Idraulica Rossi Srl");
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM fornitori_associazione").toInt(), 2);
}

TEST_F(SheetImport, AFileThatIsNoBuildingIsRefusedWithAMessageAndChangesNothing)
{
    office.addCondominium(kVilla);
    const qint64 rossi = office.addPerson(kVilla, "Rossi", "Mario");
    office.addUnit(kVilla, "A1", rossi, rossi);
    choose(kVilla);
    ASSERT_TRUE(sheetimport::exportTemplate(office.ws(), path("modello.xlsx")).done);
    QFile model(path("modello.xlsx"));
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray whole = model.readAll();

    QByteArray noise(4096, '\0');
    QRandomGenerator random(31);
    for (char& c : noise)
        c = char(random.bounded(256));
    QByteArray tooLong = "Locale;Proprietario\n";
    for (int i = 0; i < 100000; ++i)
        tooLong += "L" + QByteArray::number(i) + ";Rossi Mario\n";
    const std::pair<const char*, QByteArray> files[] = {
        {"vuoto.csv", ""},
        {"rumore.xlsx", noise},
        {"rumore.csv", noise},
        {"troncato.xlsx", whole.left(whole.size() / 2)},
        {"senza-intestazioni.csv", "Colore;Peso\nrosso;3\n"},
        {"lungo.csv", tooLong},
    };
    const QString before = snapshot(db());
    for (const auto& [name, bytes] : files) {
        writeFile(path(name), bytes);
        const ImportPlan plan = preview(name);
        EXPECT_FALSE(plan.error.isEmpty()) << name;
        EXPECT_FALSE(plan.writesSomething()) << name;
        const app::Outcome outcome = sheetimport::applyImport(office.ws(), plan);
        EXPECT_FALSE(outcome.done) << name;
        ASSERT_EQ(outcome.texts().size(), 1) << name;
        EXPECT_FALSE(outcome.texts().first().isEmpty()) << name;
        EXPECT_EQ(snapshot(db()), before) << name;
    }
    EXPECT_TRUE(preview("vuoto.csv").error.contains("vuoto"));
    EXPECT_TRUE(preview("lungo.csv").error.contains("20000"));
}
