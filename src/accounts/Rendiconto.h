#pragma once
// The whole rendiconto of a condominium's year, every section computed from the stored rows at
// once (each section is also its own function, see its header): what the window shows, prints
// and exports.
#include "accounts/AccountingYear.h"
#include "accounts/Consuntivo.h"
#include "accounts/FinancialSummary.h"
#include "accounts/Register.h"
#include "accounts/Riparto.h"
#include "accounts/UnitStatement.h"

namespace velcaris::accounts {

struct Rendiconto {
    AccountingYear year;
    Consuntivo consuntivo;
    Riparto riparto;
    UnitStatement units;
    Register movements;
    FinancialSummary summary;
};

inline Rendiconto computeRendiconto(store::Database& db, const AccountingYear& year)
{
    Rendiconto r;
    r.year = year;
    r.consuntivo = computeConsuntivo(db, year);
    r.riparto = computeRiparto(db, year, r.consuntivo);
    r.units = computeUnitStatement(db, year, r.riparto);
    r.movements = computeRegister(db, year);
    r.summary = computeFinancialSummary(db, year, r.consuntivo, r.units);
    return r;
}

} // namespace velcaris::accounts
