#pragma once
// The condominium dialog (caption "Condominio"): creates a condominium or changes the chosen one.
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"
#include "registry/Condominiums.h"

namespace velcaris::registry::ui {

class TFormCondomini : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormCondomini(const app::DialogContext& context);

    QLineEdit* edit(const QString& name) const { return findChild<QLineEdit*>(name); }

protected:
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    // The chosen condominium's row as stored now.
    store::RowStamp stampCondominium();

    app::BoxTable<CondominiumInput> boxes_;
    store::RowStamp asRead_; // the condominium's row as shown (modify mode)
    app::ViewMemory tables_; // DBGridTabelle as it was when the dialog opened
};

} // namespace velcaris::registry::ui
