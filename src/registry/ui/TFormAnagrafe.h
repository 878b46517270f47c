#pragma once
// "Anagrafe condomino": adds or changes a person of the Anagrafe tab.
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"
#include "registry/Persons.h"

#include <optional>

class QCheckBox;
class QComboBox;

namespace velcaris::registry::ui {

class TFormAnagrafe : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormAnagrafe(const app::DialogContext& context);

    PersonInput input() const;
    void fill(const PersonInput& person);
    std::optional<qint64> personId() const { return personId_; }

protected:
    // False in modify mode when no person is current.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    void generate();
    void fillChannels();

    app::BoxTable<PersonInput> boxes_;
    QComboBox* comunicazioni_ = nullptr;
    QCheckBox* consiglio_ = nullptr;
    std::optional<qint64> personId_;
    store::RowStamp asRead_; // the person's row as shown (modify mode)
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
