#pragma once
// The millesimal table dialog (caption "Nuova tabella"): adds a table to the current condominium
// or changes the one selected in the tables grid, with its colour chosen on a swatch.
#include "allocation/MillesimalTables.h"
#include "foundation/ColourText.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"

#include <optional>

class QColorDialog;
class QPushButton;

namespace velcaris::allocation::ui {

class TFormTabelle : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormTabelle(const app::DialogContext& context);

protected:
    // False (after saying why) when there is no condominium; silently when there is no table to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    void chooseColour();
    void showColour(const app::Rgb& colour);
    void fill(const TableInput& table);

    app::BoxTable<TableInput> boxes_;
    QPushButton* swatch_ = nullptr;     // Panel1
    QColorDialog* chooser_ = nullptr;   // ColorDialog1
    app::Rgb colour_;
    std::optional<app::Rgb> lastChosen_; // the chooser starts there; on clBlue the first time
    std::optional<qint64> tableId_;     // modify mode
    store::RowStamp asRead_;            // the table's row as shown (modify mode)
    app::ViewMemory memory_;            // DBGridTabelle as it was when the dialog opened
};

} // namespace velcaris::allocation::ui
