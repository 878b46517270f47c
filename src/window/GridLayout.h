#pragma once
// Column layout of the register grids: per tab, which columns are hidden, their widths and
// Italian titles, and the grid's fixed behaviour. Data only; the window applies it.
#include "window/TabLoading.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::app {

// The widest amount a register shows whole: an amount column is at least as wide as this text
// in the grid's font (the window measures it), whatever width its layout names.
inline const QString kWidestAmount = QStringLiteral("999999.99");

struct ColumnSetting {
    QString field;     // matched without regard to case
    bool hidden = false;
    int width = -1;    // -1: leave the width
    QString title;     // empty: leave the title
    int position = -1; // >= 0: the column at that position (0-based) whatever its field
    bool amount = false; // the column shows amounts (see kWidestAmount)
};

struct GridLayout {
    QString grid;
    QVector<ColumnSetting> settings; // applied in order; a later setting wins
    bool sortable = true;            // a click on a title sorts the dataset
    bool wholeRowSelection = true;
    bool multiSelect = false;
    bool rowIndicator = true;
    bool movableColumns = true;
    int amountsFrom = -1;            // >= 0: every column from that position on shows amounts (the quota columns)
};

// The grids of the tab, each with its layout; empty for the tabs left alone (Memo, Stampe).
// fornitoriCompleta: ADOQueryFornitori reads QueryFornitoriCompleta (no condominium current).
QVector<GridLayout> gridLayouts(Tab tab, const TabToggles& toggles, bool fornitoriCompleta);

struct ColumnView {
    QString field;
    bool hidden = false;
    int width = -1;    // -1: the default width
    QString title;
    bool amount = false; // at least as wide as kWidestAmount
};

// The grid's columns, one per field in the dataset's order, with the layout applied.
QVector<ColumnView> resolveColumns(const GridLayout& layout, const QStringList& fieldNames);

// The fields an export of the grid writes: the visible columns, in order.
QStringList exportedFields(const GridLayout& layout, const QStringList& fieldNames);

// The dataset's sort after a click on the title of field. Without combine the sort becomes the
// field alone, ascending, or descending when it already was the sort ascending. With combine
// (Ctrl held) the field is toggled in place within the sort, or added at its end.
QString sortAfterTitleClick(const QString& currentSort, const QString& field, bool combine);

} // namespace velcaris::app
