#pragma once
// The income register's actions: its double click opens the receipt of the payment on that row,
// or offers to write it again when its document is missing; "Incassa quote" asks who pays and
// opens that person's statement, from which the payment is recorded.
class QTableView;

namespace velcaris::app {

class TabParts;

void connectEntrateActions(TabParts& parts, QTableView* grid);

// "Incassa quote": the owners and tenants of the chosen condominium are offered by name; the
// statement of the one chosen opens. Without a condominium or a current year it says so.
void collectQuotas(TabParts& parts);

} // namespace velcaris::app
