#pragma once
// The condominium dialog (caption "Condominio"): creates a condominium or changes the chosen one.
// It gathers the boxes, lets registry/Condominiums do the work and refreshes the main window.
#include "app/ViewMemory.h"

#include <QDialog>
#include <QHash>

class QLineEdit;

namespace velcaris::app {
class TForm1;
class RefusingLineEdit;
} // namespace velcaris::app

namespace velcaris::registry {

class TFormCondomini : public QDialog {
    Q_OBJECT
public:
    explicit TFormCondomini(app::TForm1& form);

    // Fills or empties the boxes for the workspace's edit mode; false (after saying why) when
    // there is nothing to modify.
    bool prepare();
    QLineEdit* edit(const QString& name) const { return edits_.value(name); }

private:
    void confirm();

    app::TForm1& form_;
    QHash<QString, QLineEdit*> edits_;
    app::ViewMemory tables_; // DBGridTabelle as it was when the dialog opened
};

} // namespace velcaris::registry
