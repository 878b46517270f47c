#include "documents/DatasetSource.h"
#include "documents/RtfReader.h"
#include "documents/RtfReport.h"
#include "support/TempDir.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::TempDir;

TEST(DatasetSource, ScansARegisterWithTypedValues)
{
    TempDir dir;
    store::Database db;
    db.open(dir.file("d.db"));
    db.exec("CREATE TABLE Entrate (id INTEGER PRIMARY KEY, Nome TEXT, Importo DOUBLE, Data DATE, Pagato BOOLEAN)");
    db.exec("INSERT INTO Entrate (Nome, Importo, Data, Pagato) VALUES ('Rata 1', 100.5, '2014-03-01', 1), "
            "('Rata {2}', 20, '2014-04-01', 0)");
    store::Dataset ds("ADOQueryEntrate");
    ds.setConnection(&db);
    ds.setTableName("Entrate");
    ds.open();
    documents::DatasetSource source(ds);
    EXPECT_EQ(source.recordCount(), 2);
    source.first();
    EXPECT_EQ(source.value("data").toDate(), QDate(2014, 3, 1));
    EXPECT_EQ(source.value("PAGATO").typeId(), QMetaType::Bool);
    EXPECT_TRUE(source.hasField("importo"));
    EXPECT_FALSE(source.hasField("assente"));
    source.next();
    source.next();
    EXPECT_TRUE(source.eof());
    EXPECT_FALSE(source.value("Nome").isValid());

    // Through the engine: a scan over the register lists both rows, braces escaped.
    documents::TRtfReport report;
    const QByteArray tpl = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\\\scan(A)\\\\\\\\A:Nome\\\\ \\\\A:Importo\\\\;\\\\endscan\\\\\\par}";
    const QByteArray out = report.MergeBytes(tpl, {&source});
    const QString text = documents::rtf::plainText(out);
    EXPECT_TRUE(text.contains("Rata 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("Rata {2}")) << text.toStdString();
}
