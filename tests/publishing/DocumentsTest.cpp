#include "publishing/Documents.h"
#include "support/Office.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::publishing;
using velcaris::test::Office;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

struct FileRow {
    QString condominio, aa, file, data;
    bool operator==(const FileRow&) const = default;
};

QVector<FileRow> filesOf(Office& office)
{
    QVector<FileRow> rows;
    store::Statement st(office.ws().webDb(), "SELECT Condominio, AA, File, Data FROM Files ORDER BY Id");
    while (st.step())
        rows.push_back({st.value(0).toString(), st.value(1).toString(), st.value(2).toString(), st.value(3).toString()});
    return rows;
}

} // namespace

TEST(Documents, PublishingRecordsTheNameWithOrWithoutTheYear)
{
    Office office;
    office.addCondominium(kAlfa);
    office.ws().selection.condominium = kAlfa;
    PublishInput in{documentName("/home/studio/Documenti/2024/Verbale assemblea.pdf"), true, "2024", QDate(2024, 4, 2)};
    EXPECT_EQ(in.document, "Verbale assemblea.pdf");
    const app::Outcome first = publishDocument(office.ws(), in);
    EXPECT_TRUE(first.done);
    EXPECT_TRUE(first.newKey.has_value());
    in.withYear = false;
    ASSERT_TRUE(publishDocument(office.ws(), in).done);
    // Without a current year the list shows nothing, and nothing is what is stored.
    in.withYear = true;
    in.year.clear();
    ASSERT_TRUE(publishDocument(office.ws(), in).done);
    EXPECT_EQ(filesOf(office), QVector<FileRow>({{kAlfa, "2024", "Verbale assemblea.pdf", "2024-04-02"},
                                                 {kAlfa, "", "Verbale assemblea.pdf", "2024-04-02"},
                                                 {kAlfa, "", "Verbale assemblea.pdf", "2024-04-02"}}));
}

TEST(Documents, RefusedWithoutACondominiumOrADocument)
{
    Office office;
    const PublishInput in{"a.pdf", true, "2024", QDate(2024, 1, 1)};
    EXPECT_EQ(publishDocument(office.ws(), in).texts(), QStringList({kChooseCondominium}));
    office.ws().selection.condominium = kAlfa;
    EXPECT_EQ(publishDocument(office.ws(), {"", true, "2024", QDate(2024, 1, 1)}).texts(), QStringList({kChooseDocument}));
    EXPECT_TRUE(filesOf(office).isEmpty());
}

TEST(Documents, YearChoicesAreTheCondominiumsNewestFirstOnlyWithACurrentYear)
{
    Office office;
    office.addYear(kAlfa, "2022", false);
    office.addYear(kBeta, "2023", true);
    office.addYear(kAlfa, "2023", true);
    office.addYear(kAlfa, "2024", false);
    const YearChoice alfa = yearChoices(office.ws(), kAlfa);
    EXPECT_EQ(alfa.names, QStringList({"2024", "2023", "2022"}));
    EXPECT_EQ(alfa.current, 1);
    office.db().exec("UPDATE AnnoAmministrativo SET corrente = 0 WHERE idCondominio = ?", {kAlfa});
    const YearChoice none = yearChoices(office.ws(), kAlfa);
    EXPECT_TRUE(none.names.isEmpty());
    EXPECT_EQ(none.current, -1);
}

TEST(Documents, WithdrawingRemovesOnlyTheRowAndLeavesTheFile)
{
    Office office;
    office.ws().selection.condominium = kAlfa;
    const QString path = office.folder() + "/Bilancio.pdf";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF");
    file.close();
    const qint64 keep = *publishDocument(office.ws(), {"Altro.pdf", false, {}, QDate(2024, 1, 1)}).newKey;
    const qint64 gone = *publishDocument(office.ws(), {documentName(path), false, {}, QDate(2024, 1, 2)}).newKey;
    ASSERT_TRUE(setDocumentYear(office.ws(), keep, "2023").done);
    ASSERT_TRUE(withdrawDocument(office.ws(), gone).done);
    EXPECT_EQ(filesOf(office), QVector<FileRow>({{kAlfa, "2023", "Altro.pdf", "2024-01-01"}}));
    EXPECT_TRUE(QFile::exists(path));
}
