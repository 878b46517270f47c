#pragma once
// The F24 tax code (codice tributo) under which the condominium pays the withholding it retains on
// an invoice, decided by the invoice's reason of payment (CausalePagamento, the same letters as
// the withholding certificate) and the kind of withholding (RT01 persons, RT02 companies):
//   W  (contracts of works or services, the 4% of art. 25-ter DPR 600/73): 1019 when the
//      supplier pays IRPEF (RT01), 1020 when it pays IRES (RT02);
//   Q, R, S, T, U, V, V2 (commissions of agents, representatives, mediators, business finders
//      and door-to-door sellers, art. 25-bis DPR 600/73): 1038;
//   every other reason (A professional fees, M occasional self-employment, ...): 1040, the
//      withholding on self-employment income (art. 25 DPR 600/73).
// Agenzia delle Entrate, F24 tax code tables (1019/1020 condominium withholdings on contracts,
// 1038 commissions, 1040 self-employment).
#include "einvoice/Invoice.h"

#include <QString>

namespace velcaris::einvoice {

QString withholdingTaxCode(const Withholding& withholding);

} // namespace velcaris::einvoice
