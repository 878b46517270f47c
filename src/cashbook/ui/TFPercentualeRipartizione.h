#pragma once
// "Percentuali di ripartizione": the percentages by which one expense is split over the budget
// items of the current year. It writes nothing: the expense dialog that opened it writes one row
// per item with a percentage once the split is confirmed.
#include "dialogkit/DialogContext.h"
#include "cashbook/ExpenseSplit.h"

#include <QDialog>

class QTableWidget;

namespace velcaris::cashbook::ui {

class TFPercentualeRipartizione : public QDialog {
    Q_OBJECT
public:
    TFPercentualeRipartizione(const app::DialogContext& context, QWidget* parent);

    // Shows the grid: the items of the condominium afresh, or the confirmed split as it was.
    void openFor(const QString& condominium);
    // The confirmed split (empty when there is none).
    bool splitActive() const { return active_; }
    QVector<SplitLine> lines() const;
    // Forgets a confirmed split (the expense dialog closed).
    void clearSplit() { active_ = false; }

Q_SIGNALS:
    void splitChanged(bool active);

private:
    void confirmSplit();
    void cancelSplit();

    app::DialogContext context_;
    QTableWidget* grid_ = nullptr; // StringGridPercRip
    bool active_ = false;
};

} // namespace velcaris::cashbook::ui
