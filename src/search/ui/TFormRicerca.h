#pragma once
// The search window (caption "Ricerca"): the register of the active tab follows each change of
// the typed text. "Conferma" closes it leaving the register filtered; closing it otherwise puts
// the register back as the selection shows it.
#include "app/ui/DialogContext.h"
#include "search/Search.h"

#include <QDialog>

class QLabel;
class QLineEdit;

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
};

} // namespace velcaris::search::ui
