#pragma once
// "Anagrafe fornitore": adds a supplier or changes the one current in the Fornitori grid.
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"
#include "registry/Suppliers.h"

#include <optional>

namespace velcaris::registry::ui {

class TFormFornitore : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormFornitore(const app::DialogContext& context);

    SupplierInput input() const;
    void fill(const SupplierInput& supplier) { boxes_.fill(supplier); }
    std::optional<qint64> supplierId() const { return supplierId_; }

protected:
    // False in modify mode when no supplier is current.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    app::BoxTable<SupplierInput> boxes_;
    std::optional<qint64> supplierId_;
    store::RowStamp asRead_; // the supplier's row as shown (modify mode)
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
