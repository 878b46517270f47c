#pragma once
// The income register's double click: opens the receipt of the payment on that row, or offers to
// write it again when its document is missing.
class QTableView;

namespace velcaris::app {

class TabParts;

void connectEntrateActions(TabParts& parts, QTableView* grid);

} // namespace velcaris::app
