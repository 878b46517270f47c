#pragma once
// The Quadro AC window: the report's grid of text cells, kept above the other windows, with
// "Esporta" (the grid as a workbook in the condominium's folder) and "Annulla".
#include "foundation/Workspace.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QTableWidget;

namespace velcaris::reports::ui {

class TFStampe : public QDialog {
    Q_OBJECT
public:
    TFStampe(app::Workspace& ws, QWidget* parent = nullptr);

    // Fills SG with `grid` (rows of four cells) and shows the window, not modal.
    void showReport(const QVector<QStringList>& grid);
    // The cells as shown (rows of texts).
    QVector<QStringList> cells() const;

private:
    void exportGrid();

    app::Workspace& ws_;
    QTableWidget* sg_ = nullptr;
};

} // namespace velcaris::reports::ui
