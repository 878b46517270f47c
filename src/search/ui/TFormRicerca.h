#pragma once
// The search window (caption "Ricerca"): the register of the active tab follows each change of
// the typed text (keys typed while a large register is read are taken together, so typing never
// waits for the register). "Conferma" closes it leaving the register filtered; closing it otherwise puts
// the register back as the selection shows it.
#include "dialogkit/DialogContext.h"
#include "search/Search.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTimer;

namespace velcaris::search::ui {

class TFormRicerca : public QDialog {
    Q_OBJECT
public:
    explicit TFormRicerca(const app::DialogContext& context);

    // Empties the text, shows the prompt of `kind` and opens over the window.
    void start(SearchKind kind, const SearchTarget& target);

protected:
    void reject() override;

private:
    void typed();

    app::DialogContext context_;
    SearchTarget target_;
    QLabel* prompt_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QTimer* pending_ = nullptr; // the filter of the latest text, once the typed keys are read
};

} // namespace velcaris::search::ui
