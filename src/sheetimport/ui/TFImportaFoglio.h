#pragma once
// The window "Importa da foglio di calcolo": "Esporta modello" writes the workbook to fill in,
// "Scegli file..." reads a spreadsheet and shows what importing it would do (counts, the
// tables' totals, every refused row and warning), "Conferma" writes it all in one transaction,
// "Annulla" closes without writing.
#include "dialogkit/DialogContext.h"
#include "sheetimport/ImportPlan.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace velcaris::sheetimport::ui {

class TFImportaFoglio : public QDialog {
    Q_OBJECT
public:
    explicit TFImportaFoglio(const app::DialogContext& context);

    // Opens on the current condominium with no file read; says why when none is chosen.
    void start();

private:
    void exportModel();
    void chooseFile();
    void showPlan();
    void confirm();

    app::DialogContext context_;
    ImportPlan plan_;
    QLabel* file_ = nullptr;
    QLabel* summary_ = nullptr;
    QTableWidget* tables_ = nullptr;
    QTableWidget* notes_ = nullptr;
    QPushButton* confirm_ = nullptr;
};

} // namespace velcaris::sheetimport::ui
