#pragma once
// "Entrate": records an opening amount or a transfer between the cash box and the bank account,
// or changes the income row selected in the register (of a payment only the date, the place and
// the note).
#include "dialogkit/EditDialog.h"
#include "cashbook/OpeningsAndTransfers.h"

#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace velcaris::cashbook::ui {

class TFEntrateSpeciali : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFEntrateSpeciali(const app::DialogContext& context);

protected:
    // False in modify mode when no income row is current.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    void applyEnabling();
    // Modify mode: the stored row in the controls.
    void showRow(const IncomeRow& row);

    QLabel* condominio_ = nullptr;  // LabelCondominio
    QComboBox* tipo_ = nullptr;     // ComboTipoMovimento
    QLineEdit* importo_ = nullptr;  // EditImporto
    QDateEdit* data_ = nullptr;     // ComboData
    QComboBox* metodo_ = nullptr;   // ComboMetodoPagamento
    QComboBox* tipologia_ = nullptr; // ComboTipologia
    QLineEdit* nota_ = nullptr;     // EditNota
    std::optional<qint64> rowId_;   // modify mode
    store::RowStamp asRead_;        // the income row as shown (modify mode)
    app::ViewMemory memory_;        // DBGridEntrate as it was when the dialog opened
};

} // namespace velcaris::cashbook::ui
