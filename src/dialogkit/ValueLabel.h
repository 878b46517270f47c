#pragma once
// A label that shows a value beside its caption: the caption is its accessible name and the value
// its accessible description, so that a screen reader says both.
class QLabel;
class QString;

namespace velcaris::app {

// Shows `text` in a value label and tells assistive technology.
void setValue(QLabel* label, const QString& text);

} // namespace velcaris::app
