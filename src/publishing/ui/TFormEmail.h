#pragma once
// The e-mail dialog (caption "E-mail"): the recipients gathered by the button that opened it,
// attachments, subject and text; "OK" sends the message and writes it in the mail log.
#include "dialogkit/EditDialog.h"
#include "publishing/Recipients.h"
#include "publishing/ui/PublishingDialogs.h"

#include <QStringList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velcaris::publishing::ui {

class TFormEmail : public app::EditDialog {
    Q_OBJECT
public:
    TFormEmail(const app::DialogContext& context, MailClientSource mailClients);

    const QStringList& attachments() const { return attachments_; }

protected:
    // Reads the settings again and gathers the recipients of the request's mode.
    bool prepare(const app::DialogRequest& request) override;
    // "OK".
    void confirm() override;

private:
    // "Allega...": one more file.
    void attach();

    MailClientSource mailClients_;
    RecipientMode mode_ = RecipientMode::Tutti;
    QStringList hidden_;
    QStringList skipped_;
    QStringList attachments_;
    QLineEdit* to_ = nullptr;
    QPlainTextEdit* hiddenView_ = nullptr;
    QLabel* skippedNote_ = nullptr;
    QLineEdit* attachView_ = nullptr;
    QLineEdit* subject_ = nullptr;
    QPlainTextEdit* body_ = nullptr;
};

} // namespace velcaris::publishing::ui
