#pragma once
// "Importa fatture elettroniche": the suppliers' FatturaPA files (.xml, .xml.p7m, .zip) chosen
// one by one or as a folder become expenses of the current condominium's current year. The grid
// shows each invoice with its supplier (found in the register or new) and the proposed expense;
// the user chooses which to import, the budget item of each, the payment date and place, and
// confirms an invoice addressed to someone else. The files that could not be read are listed
// with their reason.
#include "dialogkit/DialogContext.h"
#include "einvoice/InvoiceImport.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace velcaris::einvoice::ui {

class TFImportaFatture : public QDialog {
    Q_OBJECT
public:
    explicit TFImportaFatture(const app::DialogContext& context);

    // Opens over the window on the current condominium; says why when nothing can be imported.
    void start();
    // Reads the files (or folders) and shows the proposal; "Scegli file" and "Scegli cartella"
    // end here.
    void load(const QStringList& paths);

private:
    void chooseFiles();
    void chooseFolder();
    void showProposal();
    void applyItemToAll();
    // The proposal's rows with what the user chose in the grid.
    ImportInput input() const;
    void confirm();

    app::DialogContext context_;
    ImportProposal proposal_;
    QVector<cashbook::BudgetChoice> items_;

    QLabel* condominio_ = nullptr;
    QTableWidget* grid_ = nullptr;    // GridFatture
    QListWidget* refused_ = nullptr;  // ListaScartati
    QDateEdit* payDate_ = nullptr;    // DataPagamento
    QComboBox* payPlace_ = nullptr;   // ComboPagamento
    QComboBox* allItems_ = nullptr;   // ComboVoce
    QPushButton* confirm_ = nullptr;  // BConferma
};

} // namespace velcaris::einvoice::ui
