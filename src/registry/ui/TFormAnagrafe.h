#pragma once
// "Anagrafe condomino": adds or changes a person of the Anagrafe tab.
#include "app/ViewMemory.h"
#include "registry/Persons.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace velcaris::app {
class TForm1;
}

namespace velcaris::registry::ui {

class TFormAnagrafe : public QDialog {
    Q_OBJECT
public:
    explicit TFormAnagrafe(app::TForm1& form);

    // Fills the boxes for the window's edit mode and remembers the grid's sort and row. False in
    // modify mode when no person is current.
    bool prepare();
    // prepare(), then modal.
    void run();

    PersonInput input() const;
    void fill(const PersonInput& person);
    std::optional<qint64> personId() const { return personId_; }

private:
    void generate();
    void confirm();
    void fillChannels();

    app::TForm1& form_;
    QLineEdit* cognome_ = nullptr;
    QLineEdit* nome_ = nullptr;
    QLineEdit* mobile_ = nullptr;
    QLineEdit* telefono_ = nullptr;
    QLineEdit* fax_ = nullptr;
    QLineEdit* indirizzo_ = nullptr;
    QLineEdit* cap_ = nullptr;
    QLineEdit* citta_ = nullptr;
    QLineEdit* email_ = nullptr;
    QLineEdit* codiceFiscale_ = nullptr;
    QComboBox* comunicazioni_ = nullptr;
    QCheckBox* consiglio_ = nullptr;
    QLineEdit* note_ = nullptr;
    QLineEdit* userId_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPushButton* generate_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<qint64> personId_;
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
