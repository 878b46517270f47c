#pragma once
// "Situazione condomino": the quotas of the current year on the units of the owner (or tenant) of
// the unit selected in the Locali grid, or of a person chosen by name, with the running sum of
// clicked amounts, the flip of the payable flag and "OK", which hands the selected rows to the
// payment dialog.
#include "allocation/OwnerStatement.h"
#include "dialogkit/EditDialog.h"

class QLabel;
class QPushButton;
class QTableView;

namespace velcaris::store {
class Dataset;
}

namespace velcaris::app {
class GridFooter;
}

namespace velcaris::allocation::ui {

class TFSituazioneCondomino : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFSituazioneCondomino(const app::DialogContext& context);

    // The explanation last shown by "Dettaglio" (for a look without the window).
    const QString& lastDetail() const { return detail_; }

protected:
    // The statement of the person the request names, or else of the unit selected in the Locali
    // grid; false, silently, when neither is there.
    bool prepare(const app::DialogRequest& request) override;
    // "OK".
    void confirm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openStatement();
    void flipRow(int row);
    // "Dettaglio": how the selected quota was computed.
    void showDetail();
    QVector<app::PaymentLine> selectedLines() const;

    app::DialogContext context_;
    store::Dataset* statement_ = nullptr;
    QTableView* grid_ = nullptr;           // GridSC
    app::GridFooter* footer_ = nullptr;
    QLabel* owner_ = nullptr;              // LabelProprietario
    QLabel* tenant_ = nullptr;             // LabelInquilino
    QLabel* unitName_ = nullptr;           // LabelLocale
    QPushButton* sumButton_ = nullptr;     // ButtonSomma
    QPushButton* payableButton_ = nullptr; // ButtonPagabili
    StatementSubject subject_;
    app::ViewMemory unitsView_;
    double sum_ = 0;
    QString detail_;
};

} // namespace velcaris::allocation::ui
