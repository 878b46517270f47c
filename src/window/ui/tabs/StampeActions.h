#pragma once
// The Stampe tab's handlers: they read the controls, call the core and show what it says.
class QWidget;

namespace velcaris::app {

class TabParts;

void connectStampeActions(TabParts& parts, QWidget* page);

} // namespace velcaris::app
