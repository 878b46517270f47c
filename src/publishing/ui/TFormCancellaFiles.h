#pragma once
// The withdrawal dialog (caption "Cancella documento"): the condominium's published documents,
// whose year can be changed through a list laid over the AA cell, and which the navigator's
// delete button withdraws.
#include "dialogkit/EditDialog.h"
#include "publishing/Documents.h"
#include "store/Dataset.h"

class QComboBox;
class QModelIndex;
class QTableView;

namespace velcaris::app {
class DatasetModel;
}

namespace velcaris::publishing::ui {

class TFormCancellaFiles : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormCancellaFiles(const app::DialogContext& context);

protected:
    bool prepare(const app::DialogRequest& request) override;
    // "Chiudi".
    void confirm() override;

private:
    // The year list over the AA cell of `index` when it is one, else hidden.
    void showYearListAt(const QModelIndex& index);
    void yearChosen(int item);
    // The navigator's delete, after the usual question.
    void withdrawCurrent();
    // The rows read again, the row of key `id` current when it is still there.
    void reread(qint64 id);
    qint64 currentId(); // -1 without a current row

    store::Dataset documents_;
    app::DatasetModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QComboBox* yearList_ = nullptr;
    YearChoice years_;
};

} // namespace velcaris::publishing::ui
