#include "window/TabLoading.h"
#include "registry/Suppliers.h"
#include "store/FilterText.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <gtest/gtest.h>

using namespace velcaris;
using registry::SupplierInput;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

class SuppliersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kBeta);
        office.addCondominium(kAlfa);
    }
    app::Workspace& ws() { return office.ws(); }
    store::Database& db() { return office.db(); }
    int count(const QString& sql, const QVector<QVariant>& params = {}) { return db().scalar(sql, params).toInt(); }
    qint64 add(const QString& surname, const QString& first = QString())
    {
        SupplierInput s;
        s.cognome = surname;
        s.nome = first;
        const auto outcome = registry::saveSupplier(ws(), std::nullopt, s);
        EXPECT_TRUE(outcome.done);
        return outcome.newKey.value_or(-1);
    }
    // The Fornitori tab with no condominium chosen: every supplier.
    store::Dataset& grid()
    {
        ws().selection.condominium.clear();
        app::LoadActiveTab(ws(), app::Tab::Fornitori, {});
        return ws().ds("ADOQueryFornitori");
    }

    test::Office office;
};

} // namespace

// ---- suppliers ----

TEST_F(SuppliersTest, AddStoresTheThirteenFieldsAndNoAssociation)
{
    SupplierInput s{"Idraulica", "Srl", "333", "011", "012", "Via Po 1", "10100", "Torino", "a@b.it", "CF1",
                    "01234567890", "IT00X", "nota"};
    const auto outcome = registry::saveSupplier(ws(), std::nullopt, s);
    ASSERT_TRUE(outcome.done);
    const auto stored = registry::readSupplier(ws(), outcome.newKey.value_or(-1));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->partitaIva, "01234567890");
    EXPECT_EQ(stored->iban, "IT00X");
    EXPECT_EQ(stored->citta, "Torino");
    EXPECT_EQ(stored->note, "nota");
    EXPECT_EQ(stored->mobile, "333");
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione"), 0);
    EXPECT_EQ(registry::supplierDisplayName(ws(), outcome.newKey.value_or(-1)), "Idraulica Srl");
}

TEST_F(SuppliersTest, EmptyFieldsAreAccepted)
{
    EXPECT_TRUE(registry::saveSupplier(ws(), std::nullopt, SupplierInput{}).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 1);
}

TEST_F(SuppliersTest, ModifyChangesThatSupplierAndTheGridShowsIt)
{
    const qint64 first = add("Idraulica", "Srl");
    const qint64 second = add("Elettrica");
    auto& suppliers = grid();
    ASSERT_EQ(suppliers.rowCount(), 2);
    auto s = *registry::readSupplier(ws(), first);
    s.cognome = "Zeta Idraulica";
    ASSERT_TRUE(registry::saveSupplier(ws(), first, s).done);
    EXPECT_EQ(registry::readSupplier(ws(), second)->cognome, "Elettrica");
    ASSERT_TRUE(suppliers.locate("id", {first}));
    EXPECT_EQ(suppliers.value("Fornitore").toString(), "Zeta Idraulica Srl");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 2);
}

TEST_F(SuppliersTest, ModifyingASupplierThatIsGoneIsRefused)
{
    const auto outcome = registry::saveSupplier(ws(), 999, SupplierInput{"X"});
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.messages.size(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 0);
}

TEST_F(SuppliersTest, ARefusedCharacterInANameWritesNothing)
{
    EXPECT_EQ(registry::saveSupplier(ws(), std::nullopt, SupplierInput{"Idraulica|Srl"}).texts(),
              QStringList{"Carattere non ammesso"});
    EXPECT_FALSE(registry::saveSupplier(ws(), std::nullopt, SupplierInput{"Idraulica", "S?rl"}).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 0);
    // Other boxes take any text.
    SupplierInput s{"Rossi"};
    s.note = "a/b: \"c\" <d>";
    EXPECT_TRUE(registry::saveSupplier(ws(), std::nullopt, s).done);
}

TEST_F(SuppliersTest, TextsAreStoredAsTypedAndUsableInFilters)
{
    SupplierInput s{"D'Angelo; Rossi", "L'Edile"};
    s.note = QString("'; DELETE FROM Fornitori; --") + QString(2000, u'n');
    s.indirizzo = "Via \"Nuova\" 1";
    const qint64 id = registry::saveSupplier(ws(), std::nullopt, s).newKey.value_or(-1);
    add("Altro");
    const auto stored = registry::readSupplier(ws(), id);
    EXPECT_EQ(stored->cognome, s.cognome);
    EXPECT_EQ(stored->note, s.note);
    EXPECT_EQ(stored->indirizzo, s.indirizzo);
    auto& suppliers = grid();
    suppliers.setFilter("Fornitore LIKE " + store::quoteFilterValue("*D'Angelo;*"));
    ASSERT_EQ(suppliers.rowCount(), 1);
    EXPECT_EQ(suppliers.value("Fornitore").toString(), "D'Angelo; Rossi L'Edile");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 2);
}

// ---- associations ----

TEST_F(SuppliersTest, TheCondominiumsAreListedByName)
{
    EXPECT_EQ(registry::associationCondominiums(ws()), QStringList({kAlfa, kBeta}));
}

TEST_F(SuppliersTest, ThreeSelectedOneAlreadyAssociatedWritesTwoRowsAndOneMessage)
{
    const qint64 a = add("Idraulica", "Srl");
    const qint64 b = add("Elettrica");
    const qint64 c = add("Pulizie", "Snc");
    db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?), (?, ?)",
              {c, kAlfa, a, kBeta});
    int written = -1;
    const auto outcome = registry::associateSuppliers(ws(), {a, b, c}, kAlfa, &written);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(outcome.texts(),
              QStringList{QString::fromUtf8("ATTENZIONE: Il fornitore \"Pulizie Snc\" e' già associato al condominio ") +
                          kAlfa});
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione WHERE IdCondominio = ?", {kAlfa}), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione WHERE IdFornitore = ?", {c}), 1);

    // The condominium's Fornitori tab now lists all three.
    ws().selection.condominium = kAlfa;
    app::LoadActiveTab(ws(), app::Tab::Fornitori, {});
    EXPECT_EQ(ws().ds("ADOQueryFornitori").rowCount(), 3);

    // Again: every one is refused, nothing is written.
    const auto again = registry::associateSuppliers(ws(), {a, b, c}, kAlfa, &written);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(again.messages.size(), 3);
    EXPECT_TRUE(again.texts()[0].contains("\"Idraulica Srl\""));
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione"), 4);
}

TEST_F(SuppliersTest, ACondominiumNameWithAnApostropheIsMatchedExactly)
{
    const QString aquila = "L'Aquila - Via dell'Orso 3";
    office.addCondominium(aquila);
    const qint64 a = add("Idraulica");
    int written = -1;
    registry::associateSuppliers(ws(), {a}, aquila, &written);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(registry::associateSuppliers(ws(), {a}, aquila, &written).messages.size(), 1);
    EXPECT_EQ(written, 0);
    registry::associateSuppliers(ws(), {a}, kAlfa, &written);
    EXPECT_EQ(written, 1);
}

TEST_F(SuppliersTest, NoCondominiumOrAnUnknownOneWritesNothing)
{
    const qint64 a = add("Idraulica");
    EXPECT_FALSE(registry::associateSuppliers(ws(), {a}, QString()).done);
    EXPECT_FALSE(registry::associateSuppliers(ws(), {a}, "Nessuno - Via X").done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione"), 0);
}

TEST_F(SuppliersTest, AFailedAssociationLeavesNoRowBehind)
{
    const qint64 a = add("Idraulica");
    const qint64 b = add("Elettrica");
    test::refuseWrites(db(), "fornitori_associazione", "INSERT", "associazione bloccata",
                       "NEW.IdFornitore = " + QString::number(b));
    int written = -1;
    const auto outcome = registry::associateSuppliers(ws(), {a, b}, kAlfa, &written);
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(written, 0);
    EXPECT_TRUE(outcome.texts().value(0).contains("associazione bloccata"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione"), 0);
}
