#pragma once
// Every column that holds a condominium's full name, by table: a rename carries the new name into
// each of them, a deletion removes the rows that carry it.
namespace velcaris::registry {

inline constexpr const char* kMainNameColumns[][2] = {
    {"AnnoAmministrativo", "idCondominio"}, {"Tabelle", "Id_Condominio"},
    {"Locali", "IdCondominio"},             {"Millesimi", "IdCondominio"},
    {"Anagrafe", "idCondominio"},           {"Quote", "IdCondominio"},
    {"fornitori_associazione", "IdCondominio"}, {"Entrate", "Condominio"},
    {"Uscite", "Condominio"},               {"Preventivi", "Condominio"},
    {"Scadenzario", "Condominio"},          {"Interventi", "Condominio"},
    {"Assemblee", "Condominio"},            {"Ripartizioni", "Condominio"},
    {"NumeriRicevute", "Condominio"},       {"ChiusureEsercizio", "Condominio"},
};

// The same in the web database, besides the condominium's own record (CodiceCondominio).
inline constexpr const char* kWebNameColumns[][2] = {
    {"Accesso", "IdCondominio"}, {"Quote", "Condominio"}, {"Files", "Condominio"},
};

} // namespace velcaris::registry
