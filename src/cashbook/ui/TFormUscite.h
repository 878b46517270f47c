#pragma once
// "Uscite": adds an expense to the current year of the current condominium (one row, or one row
// per budget item of a split by percentages) or changes the one selected in the expense register.
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"
#include "cashbook/Expenses.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;

namespace velcaris::cashbook::ui {

class TFPercentualeRipartizione;

class TFormUscite : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormUscite(const app::DialogContext& context);

    TFPercentualeRipartizione* splitDialog() const { return split_; }

protected:
    // False (after saying why) when the condominium has no associated supplier or no budget item;
    // silently in modify mode when no expense is current.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;
    void done(int result) override;

private:
    void fillLists(const QString& condominium);
    void showExpense(const ExpenseInput& input);
    ExpenseInput input() const;
    void applyEnabling();
    void computeVat();
    void openSplit();

    app::BoxTable<ExpenseInput> boxes_;
    QLabel* condominio_ = nullptr;    // LabelCondominio
    QLabel* anno_ = nullptr;          // LabelAnnoAmministrativo
    QComboBox* suppliers_ = nullptr;  // ComboFornitori
    QComboBox* items_ = nullptr;      // ComboTipoSpesa
    QDateEdit* dataFattura_ = nullptr;
    QLineEdit* iva_ = nullptr;        // EditIVA
    QDateEdit* dataPagamento_ = nullptr;
    QComboBox* pagamento_ = nullptr;  // ComboPagamento
    QComboBox* tipologia_ = nullptr;  // ComboTipologia
    QCheckBox* pagato_ = nullptr;     // CheckPagato
    QCheckBox* ritenuta_ = nullptr;   // CheckRitenuta
    QGroupBox* group_ = nullptr;      // GroupBox1
    QDateEdit* periodo_ = nullptr;    // PeriodoRiferimento
    QCheckBox* ravvedimento_ = nullptr;
    QDateEdit* dataRitenuta_ = nullptr;
    QComboBox* metodoRitenuta_ = nullptr;
    QPushButton* splitButton_ = nullptr; // SpeedButton1
    TFPercentualeRipartizione* split_ = nullptr;
    std::optional<qint64> expenseId_; // modify mode
    store::RowStamp asRead_;          // the expense's row as shown (modify mode)
    app::ViewMemory memory_;          // DBGridUscite as it was when the dialog opened
};

} // namespace velcaris::cashbook::ui
