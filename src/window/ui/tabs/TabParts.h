#pragma once
// What every tab page of the main window is built from: bound grids (with their footers and
// their keys), buttons, figures and value labels, and the few things a tab's handlers ask of the
// window (guarded work, a reload, opening a dialog).
#include "dialogkit/DialogContext.h"
#include "dialogkit/ValueLabel.h"
#include "foundation/ColourText.h"
#include "window/Commands.h"
#include "foundation/Workspace.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>

class QColor;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolBar;
class QVBoxLayout;
class QWidget;

namespace velcaris::documents {
class TRtfReport;
}

namespace velcaris::app {

class DatasetModel;
class GridFooter;

class TabParts {
public:
    using Guarded = std::function<void(const std::function<void()>&)>;
    TabParts(Workspace& ws, QWidget* window, Guarded guarded);

    Workspace& ws;
    QWidget* window;
    // Runs work so that nothing escapes into the event loop: failures are shown.
    Guarded guarded;
    // Loads the active tab again (a toggle changed).
    std::function<void()> reload;
    // Opens a dialog as a command would, with what the tab knows beyond the workspace.
    std::function<void(DialogId, const DialogRequest&)> openDialog;
    // The window's template engine, which letters and notices are merged with.
    documents::TRtfReport* modello = nullptr;

    // A read-only grid over `dataset`, its rows selected whole, sorted by a click on a title (Ctrl
    // adds the column), Ctrl+F to find a text; with `footer`, a footer row of sums under it.
    QTableView* grid(const QString& name, const QString& dataset, QWidget* page, bool footer = false);
    QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
    QPushButton* toggle(const QString& name, const QString& caption, QWidget* parent);
    // A read-only figure in a tool bar, with its caption.
    QLineEdit* figure(const QString& name, const QString& caption, QWidget* parent, QToolBar* bar, bool bold = false,
                      const QColor* colour = nullptr);
    // A label that shows a value: its caption is its accessible name, the value its accessible
    // description (see setValue), so that a screen reader says both.
    QLabel* valueLabel(const QString& name, const QString& caption, QWidget* parent);
    // Row colours decided by the core.
    void paintRows(QTableView* grid, std::function<std::optional<Rgb>(int row)> colour);

    QList<DatasetModel*> models(QWidget* page) const { return models_.value(page); }
    GridFooter* footer(const QString& grid) const { return footers_.value(grid); }
    const QHash<QString, GridFooter*>& footers() const { return footers_; }
    // The models made before `page` was known are given to it.
    void adopt(QWidget* page);

private:
    QList<DatasetModel*> pending_;
    QHash<QWidget*, QList<DatasetModel*>> models_;
    QHash<QString, GridFooter*> footers_;
};

// A row of toggles above a tab's grid. Two `exclusive` toggles are never down together; every
// toggle reloads the tab.
QVector<QPushButton*> addToggleRow(TabParts& parts, QVBoxLayout* layout, QWidget* page,
                                   std::initializer_list<std::pair<const char*, const char*>> toggles,
                                   bool exclusive = false);
// A tool bar of three figures (name, caption) above a register, in `colour` when one is given.
void addFigureBar(TabParts& parts, QVBoxLayout* layout, QWidget* page, const QString& barName,
                  std::initializer_list<std::pair<const char*, const char*>> figures,
                  const QColor* colour = nullptr);
// A page with one register grid in which several rows can be selected; a right click clears the
// selection.
// `mailButtons` (name, caption), when given, stand over the grid after an "E-Mail:" caption.
QWidget* multiSelectPage(TabParts& parts, const QString& grid, const QString& dataset,
                         std::initializer_list<std::pair<const char*, const char*>> mailButtons = {});
// Two toggles of which at most one is down; either one reloads the tab.
void makeExclusive(TabParts& parts, QPushButton* one, QPushButton* other);
// Releasing the right button over the grid clears its (multi-row) selection.
void clearSelectionOnRightRelease(QTableView* grid);

// The keys (`field` of the grid's dataset) of the rows selected in `grid`, in the selection's
// order; and the rows of those keys selected again (after the rows were read anew).
QVector<qint64> selectedRowKeys(QTableView* grid, const QString& field);
void selectRowsByKey(QTableView* grid, const QString& field, const QVector<qint64>& keys);

// The twelve pages, in the order of the tabs.
QWidget* buildAgendaTab(TabParts& parts);
QWidget* buildInterventiTab(TabParts& parts);
QWidget* buildCondominiTab(TabParts& parts);
QWidget* buildMemoTab(TabParts& parts);
QWidget* buildPreventivoTab(TabParts& parts);
QWidget* buildEntrateTab(TabParts& parts);
QWidget* buildUsciteTab(TabParts& parts);
QWidget* buildFornitoriTab(TabParts& parts);
QWidget* buildAnagrafeTab(TabParts& parts);
QWidget* buildLocaliTab(TabParts& parts);
QWidget* buildQuoteTab(TabParts& parts);
QWidget* buildStampeTab(TabParts& parts);

} // namespace velcaris::app
