#pragma once
// The allocation dialog (caption "Ripartizione"): on its first tab the amounts of the current
// year are shared among the units into instalments, after a preview of what will be written;
// on its second tab a personal quota is charged to the unit of the single-quota view.
#include "allocation/Allocation.h"
#include "foundation/ViewMemory.h"
#include "dialogkit/EditDialog.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableWidget;

namespace velcaris::app {
class DateField;
}

namespace velcaris::allocation::ui {

class TFEccezioni;

class TFRipartizione : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFRipartizione(const app::DialogContext& context);

protected:
    // False (after saying why) without a current year.
    bool prepare(const app::DialogRequest& request) override;
    // On the allocation tab: checks the input and shows the preview; on the personal tab: writes.
    void confirm() override;

private:
    QWidget* buildAllocationTab();
    QWidget* buildPersonalTab();
    QWidget* buildPreviewPage();
    void setInstalmentRows(int count); // NumeroQuote left with a value
    void fillStaircases(bool shown);   // CheckRipScale clicked
    void openExceptions();             // BEccezioni
    AllocationInput readAllocation();
    // The first due-date cell of the instalment grid that holds a text but no date; empty when none.
    QString unreadableDueDate() const;
    void write();                      // the preview's "Conferma"
    void back();                       // the preview's "Indietro"
    // What writing quotas changed: the single-quota view comes back as it was and the register
    // shows the amounts due, the new quotas among them.
    app::Change quotasWritten() const;

    QStackedWidget* pages_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QWidget* allocationTab_ = nullptr;   // TabRipartizione
    QWidget* personalTab_ = nullptr;     // TabQuotePersonali
    QComboBox* type_ = nullptr;          // ComboTipologia
    QTableWidget* tables_ = nullptr;     // GridTabelle
    QCheckBox* equalParts_ = nullptr;    // CheckPU
    QLineEdit* equalPart_ = nullptr;     // EditPU
    QLineEdit* instalments_ = nullptr;   // NumeroQuote
    QTableWidget* quotas_ = nullptr;     // GridQuote
    QCheckBox* rounding_ = nullptr;      // CheckArrotonda
    QCheckBox* toTheCent_ = nullptr;     // CheckCentesimo
    QCheckBox* byStaircase_ = nullptr;   // CheckRipScale
    QListWidget* staircases_ = nullptr;  // RipScale
    QLabel* condominium_ = nullptr;      // LabelCondominio
    QLabel* owner_ = nullptr;            // LabelProprietario
    QLabel* tenant_ = nullptr;           // LabelInquilino
    QLabel* unit_ = nullptr;             // LabelLocale
    QLineEdit* quotaName_ = nullptr;     // EditQuota
    QLineEdit* amount_ = nullptr;        // EditImporto
    app::DateField* due_ = nullptr;      // EditData
    QLineEdit* note_ = nullptr;          // EditNote
    QPlainTextEdit* preview_ = nullptr;  // MemoAnteprima
    QWidget* buttons_ = nullptr;         // Conferma and Annulla
    TFEccezioni* exceptions_ = nullptr;

    AllocationUnits units_;
    bool exceptionsConfirmed_ = false;
    QVector<qint64> excluded_;
    std::optional<qint64> personalUnit_;
    AllocationInput pending_;            // what the preview shows
    app::ViewMemory memory_;             // the single-quota view as it was when the dialog opened
};

} // namespace velcaris::allocation::ui
