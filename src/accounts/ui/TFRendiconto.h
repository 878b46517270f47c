#pragma once
// The rendiconto window (caption "Rendiconto"): the year's accounts of the current condominium for
// the year chosen, one tab per section with its totals and notes. "Stampa" writes the document
// (its PDF copy follows in the background), "Esporta" the workbook, "Estratto conguaglio" one
// letter per owner chosen in the per-unit grid (with their PDF copies); "Chiudi esercizio" carries
// the conguagli and the balances into the next year and "Riapri esercizio" takes them back.
#include "accounts/PendingMatters.h"
#include "accounts/Rendiconto.h"
#include "dialogkit/DialogContext.h"
#include "foundation/Outcome.h"
#include "documents/RtfReport.h"
#include "platform/PdfConverter.h"

#include <QDialog>
#include <QVector>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace velcaris::app {
class DateField;
}

namespace velcaris::accounts::ui {

class TFRendiconto : public QDialog {
    Q_OBJECT
public:
    explicit TFRendiconto(const app::DialogContext& context);

    // Opens over the window on the current condominium and its current year; says why when there
    // is no condominium or it has no year.
    void start();

private:
    QPushButton* button(const char* name, const QString& text);
    // Computes the chosen year's sections anew and shows them.
    void refresh();
    std::optional<AccountingYear> chosenYear() const;
    // Runs a core action, shows its messages and any failure of the data store; true when done.
    bool attempt(const std::function<app::Outcome()>& action);
    // The rows changed: the main window follows, and so does this window.
    void changed();

    void print();
    void exportWorkbook();
    void conguaglioStatements();
    void closeChosenYear();
    void reopenChosenYear();

    app::DialogContext context_;
    documents::TRtfReport report_;
    platform::PdfConverter pdf_;
    QVector<AccountingYear> years_;
    std::optional<Rendiconto> shown_; // none when the rows could not be read
    PendingMatters pending_;

    QComboBox* year_ = nullptr;
    QLabel* closing_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QVector<QTableWidget*> grids_; // one per section, in the sections' order
    QVector<QLabel*> notes_;
    app::DateField* due_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* statements_ = nullptr;
    QPushButton* closeYear_ = nullptr;
    QPushButton* reopenYear_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace velcaris::accounts::ui
