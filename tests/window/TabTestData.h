#pragma once
// A started workspace over a temporary folder with a small office: two condominiums (one with
// apostrophes in its name), their persons, units, millesimal tables, years, budget and quotas.
#include "foundation/Selection.h"
#include "foundation/Workspace.h"
#include "store/FilterText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velcaris::test {

inline const QString kDangelo = QStringLiteral("D'Angelo - Via dell'Orso 3");
inline const QString kBeta = QStringLiteral("Beta - Via Re 3");

class TabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ws.startUp(), QString());
        auto& db = ws.mainDb();
        db.exec("INSERT INTO Condomini (Nome, Comune, Codice_fiscale, Conto_corrente, Intestatario, Banca, Ascensore, "
                "Sezione_urbana, Foglio, Particella, Sub, Zona_censuaria, Microzona) "
                "VALUES (?, 'Roma', '9700', 'IT60X', 'Cond. D''Angelo', 'Banca Uno', 'Si', 'A', '12', '345', '6', '1', '2')",
                {kDangelo});
        db.exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Milano')", {kBeta});
        // Persons: 1 Rossi Mario, 2 Bianchi (no first name), 3 Verdi (empty first name), 4 Neri of Beta,
        // 5 someone of no condominium.
        const struct { int id; const char* cond; const char* cognome; const char* nome; } people[] = {
            {1, "D", "Rossi", "Mario"}, {2, "D", "Bianchi", nullptr}, {3, "D", "Verdi", ""},
            {4, "B", "Neri", "Luca"},   {5, "", "Esterno", "Ugo"}};
        for (const auto& p : people)
            db.exec("INSERT INTO Anagrafe (Id, idCondominio, Cognome, Nome) VALUES (?, ?, ?, ?)",
                    {p.id, condOf(p.cond), QString::fromUtf8(p.cognome), p.nome ? QVariant(QString::fromUtf8(p.nome)) : QVariant()});
        // Units: 1 Int. 1 (Rossi, let to Bianchi), 2 Int. 2 (Rossi), 3 Int. 3 (Verdi), 4 B1 of Beta (Neri).
        const struct { int id; const char* cond; const char* nome; int owner; int tenant; } units[] = {
            {1, "D", "Int. 1", 1, 2}, {2, "D", "Int. 2", 1, 1}, {3, "D", "Int. 3", 3, 3}, {4, "B", "B1", 4, 4}};
        for (const auto& u : units)
            db.exec("INSERT INTO Locali (Id, IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Piano, Scala) "
                    "VALUES (?, ?, ?, ?, ?, 'Appartamento', '1', 'A')",
                    {u.id, condOf(u.cond), QString::fromUtf8(u.nome), u.owner, u.tenant});
        // Tables of D'Angelo, stored out of name order; Beta has one.
        db.exec("INSERT INTO Tabelle (Id, Id_Condominio, Nome, Descrizione) VALUES (1, ?, 'Scale', 's'), "
                "(2, ?, 'A', 'generale'), (3, ?, 'Ascensore', 'asc'), (4, ?, 'Zeta', 'z')",
                {kDangelo, kDangelo, kDangelo, kBeta});
        const struct { int unit; int table; double value; } thousandths[] = {
            {1, 1, 300}, {1, 2, 250}, {1, 3, 100}, {2, 1, 700}, {2, 2, 450.5}, {3, 2, 299.5}, {4, 4, 1000}};
        for (const auto& m : thousandths)
            db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)",
                    {m.unit == 4 ? kBeta : kDangelo, m.unit, m.table, m.value});
        // Years: D'Angelo 2013 (old) and 2014 (current); Beta two years, none current.
        db.exec("INSERT INTO AnnoAmministrativo (id, idCondominio, nome, data_inizio, data_fine, approvato, corrente) VALUES "
                "(1, ?, '2013', '2013-01-01', '2013-12-31', 1, 0), (2, ?, '2014', '2014-01-01', '2014-12-31', 1, 1), "
                "(3, ?, 'B2013', '2013-02-01', '2014-01-31', 0, 0), (4, ?, 'B2014', '2014-02-01', '2015-01-31', 1, 0)",
                {kDangelo, kDangelo, kBeta, kBeta});
        db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES "
                "(?, '2014', 'Scale', 'Pulizia', 120.5), (?, '2014', 'A', 'Luce', 80), (?, '2013', 'A', 'Vecchia', 50), "
                "(?, 'B2014', 'Zeta', 'Altro', 999)",
                {kDangelo, kDangelo, kDangelo, kBeta});
        // Quotas of 2014; Int. 3 has Rata 1 twice; Rata 2 of Int. 1 never had ImportoPagato written.
        const struct { int unit; const char* aa; const char* name; double due; QVariant paid; } quotas[] = {
            {1, "2014", "Rata 1", 100, 40.0},  {1, "2014", "Rata 2", 50, QVariant()}, {2, "2014", "Rata 1", 200, 200.0},
            {3, "2014", "Rata 1", 10, 0.0},    {3, "2014", "Rata 1", 5, 0.0},         {1, "2013", "Rata 1", 999, 0.0},
            {1, "2013", "Acconto", 1, 0.0}};
        for (const auto& q : quotas)
            db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato) VALUES (?, ?, ?, ?, ?, ?)",
                    {kDangelo, q.unit, QString::fromUtf8(q.aa), QString::fromUtf8(q.name), q.due, q.paid});
        db.exec("INSERT INTO Fornitori (id, Cognome, Nome) VALUES (1, 'Zanetti', 'Ivo'), (2, 'Acme', NULL), (3, 'Idraulica', '')");
        db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?), (2, ?), (2, ?)",
                {kDangelo, kDangelo, kBeta});
    }

    static QVariant condOf(const char* key)
    {
        if (*key == 'D')
            return kDangelo;
        if (*key == 'B')
            return kBeta;
        return QString();
    }

    // What choosing a condominium in the list sets before the tab loads.
    void choose(const QString& condominium)
    {
        ws.selection.condominium = condominium;
        app::SplitCondominiumName(ws.selection, condominium);
        const QString c = store::quoteFilterValue(condominium);
        for (const char* name : {"ADOQueryEntrate", "ADOQueryUscite", "ADOQueryInterventi"})
            ws.ds(name).setFilter(condominium.isEmpty() ? QString() : "Condominio=" + c);
        ws.ds("ADOTableCondomini").setFilter(condominium.isEmpty() ? QString() : "Nome = " + c);
    }

    QStringList column(const QString& dataset, const QString& field)
    {
        QStringList out;
        auto& d = ws.ds(dataset);
        for (int row = 0; row < d.rowCount(); ++row)
            out << d.valueAt(row, field).toString();
        return out;
    }

    TempDir dir;
    app::Workspace ws{app::AppPaths(dir.path())};
};

} // namespace velcaris::test
