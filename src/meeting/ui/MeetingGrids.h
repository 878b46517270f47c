#pragma once
// The read-only grids of the meeting window: whole rows selected, several at once, the first
// column stretched; cells written in place.
#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

namespace velcaris::meeting::ui {

QTableWidget* grid(const QString& name, const QStringList& titles, QWidget* parent);
void setCell(QTableWidget* g, int row, int column, const QString& text, bool right = false);

} // namespace velcaris::meeting::ui
