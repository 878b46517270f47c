#pragma once
// The Stampe tab's tax handlers: the Quadro AC and the 770 selection of the condominium group,
// the withholding certificates of the supplier group, and the monthly withholding payments.
class QWidget;

namespace velcaris::app {

class TabParts;

void connectTaxActions(TabParts& parts, QWidget* page);

} // namespace velcaris::app
