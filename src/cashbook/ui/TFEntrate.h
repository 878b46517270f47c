#pragma once
// The payment dialog (caption "Entrate"), opened by the owner statement with the quotas the
// administrator selected: the next receipt number, the payer, one editable line per payable
// quota, the method and whether to print. "Conferma" records the payment, writes its receipt
// (and its PDF copy in the background), and gives the units grid back as the statement found it.
#include "dialogkit/EditDialog.h"
#include "foundation/PaymentDraft.h"
#include "cashbook/Payments.h"
#include "documents/RtfReport.h"
#include "platform/PdfConverter.h"
#include "platform/Shell.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;

namespace velcaris::cashbook::ui {

class TFEntrate : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFEntrate(const app::DialogContext& context);

    // The shell receipts are printed through (tests give a recording one); the desktop's otherwise.
    void setShell(platform::Shell* shell) { shell_ = shell ? shell : &systemShell_; }
    platform::PdfConverter& pdfConverter() { return pdf_; }

protected:
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    QVector<PaymentRow> gridRows() const;
    // Rewrites the amounts in two-decimal form and shows the total; the refusal when one is not a
    // number (shown when `tell`).
    QString recomputeTotal(bool tell);

    QLabel* condominio_ = nullptr;  // LabelCondominio
    QLabel* ricevuta_ = nullptr;    // LabelRicevuta
    QDateEdit* data_ = nullptr;     // Data
    QLabel* persona_ = nullptr;     // LabelPersona
    QLabel* importo_ = nullptr;     // LabelImporto
    QTableWidget* grid_ = nullptr;  // GridRicevuta
    QComboBox* pagamento_ = nullptr; // Combopagamento
    QCheckBox* stampa_ = nullptr;   // CheckBoxRicevute

    app::PaymentDraft draft_;
    int number_ = 1;
    bool filling_ = false;
    documents::TRtfReport engine_;
    platform::SystemShell systemShell_;
    platform::Shell* shell_ = &systemShell_;
    platform::PdfConverter pdf_;
};

} // namespace velcaris::cashbook::ui
