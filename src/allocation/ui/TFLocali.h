#pragma once
// The unit dialog (caption "Locali"): adds a unit to the current condominium or changes the one
// selected in the unit view, with its owner, tenant and thousandths in every table.
#include "allocation/Units.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"

#include <optional>

class QComboBox;
class QTableWidget;

namespace velcaris::allocation::ui {

class TFLocali : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFLocali(const app::DialogContext& context);

protected:
    // False (after saying why) when the condominium has no millesimal table; silently when there
    // is no unit to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const UnitInput& unit);
    // Stamps the unit `id` and reads it; nullopt when there is no such unit.
    std::optional<UnitInput> stampAndRead(qint64 id);
    UnitInput input() const;
    void fillLists();
    void buildGrid();
    static void choose(QComboBox* combo, const QVariant& value);

    app::BoxTable<UnitInput> boxes_;
    QComboBox* tipologia_ = nullptr;   // DBLookupTipologia
    QComboBox* proprietari_ = nullptr; // DBLookupProprietari
    QComboBox* inquilini_ = nullptr;   // DBLookupInquilini
    QTableWidget* grid_ = nullptr;     // StringGridMillesimi
    QVector<qint64> tableIds_;         // the grid's columns 1.., left to right
    std::optional<qint64> unitId_;     // modify mode
    UnitInput stamps_;                 // only its stamps: the unit's rows as shown (modify mode)
    app::ViewMemory memory_;           // DBGridLocali as it was when the dialog opened
};

} // namespace velcaris::allocation::ui
