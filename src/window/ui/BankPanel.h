#pragma once
// The bank pop-up of the "Conto Corrente" button and the floating panel with the bank balance of
// every condominium ("Segnala C.C. negativi", "Tutti i C.C.").
#include "foundation/Workspace.h"
#include "window/ui/tabs/TabParts.h"

#include <QFrame>
#include <functional>

class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace velcaris::app {

class BankPanel : public QFrame {
    Q_OBJECT
public:
    // `names` gives the condominiums the summary lists; `onlyBank` runs "Visualizza solo
    // movimenti in C.C.".
    BankPanel(Workspace& ws, QWidget* window, TabParts::Guarded guarded, std::function<QStringList()> names,
              std::function<void()> onlyBank);

    // The pop-up under the button, the panel placed where it will show.
    void popupUnder(QPushButton* bank);
    void showSummary(bool onlyNegative);

private:
    Workspace& ws_;
    TabParts::Guarded guarded_;
    std::function<QStringList()> names_;
    QMenu* menu_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
};

} // namespace velcaris::app
