#include "publishing/ui/TFormEmail.h"

#include "foundation/Settings.h"
#include "dialogkit/Messages.h"
#include "publishing/Email.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::publishing::ui {

namespace {

// The control's caption, as its buddy and its accessible name.
QLabel* caption(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

// Wait cursor while the message leaves, restored also when sending fails.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormEmail::TFormEmail(const app::DialogContext& context, MailClientSource mailClients)
    : EditDialog(context, QStringLiteral("FormEmail"), QStringLiteral("E-mail"), 560, 470),
      mailClients_(std::move(mailClients))
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("EditA"));
    hiddenView_ = new QPlainTextEdit(this);
    hiddenView_->setObjectName(QStringLiteral("EditCCn"));
    hiddenView_->setReadOnly(true);
    hiddenView_->setFixedHeight(70);
    // The addresses are joined without blanks: wrap anywhere rather than scroll sideways.
    hiddenView_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    hiddenView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    skippedNote_ = new QLabel(this);
    skippedNote_->setObjectName(QStringLiteral("LabelScartati"));
    skippedNote_->setWordWrap(true);
    skippedNote_->setStyleSheet(QStringLiteral("QLabel { color: #a40000; }"));
    attachView_ = new QLineEdit(this);
    attachView_->setObjectName(QStringLiteral("EditAttach"));
    attachView_->setReadOnly(true);
    auto* attachButton = new QPushButton(QStringLiteral("Allega..."), this);
    attachButton->setObjectName(QStringLiteral("attach"));
    subject_ = new QLineEdit(this);
    subject_->setObjectName(QStringLiteral("EditObject"));
    body_ = new QPlainTextEdit(this);
    body_->setObjectName(QStringLiteral("MemoMsg"));

    auto* grid = new QGridLayout;
    grid->addWidget(caption(QStringLiteral("A:"), to_, this), 0, 0);
    grid->addWidget(to_, 0, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("CCn:"), hiddenView_, this), 1, 0, Qt::AlignTop);
    grid->addWidget(hiddenView_, 1, 1, 1, 2);
    grid->addWidget(skippedNote_, 2, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Allegati:"), attachView_, this), 3, 0);
    grid->addWidget(attachView_, 3, 1);
    grid->addWidget(attachButton, 3, 2);
    grid->addWidget(caption(QStringLiteral("Oggetto:"), subject_, this), 4, 0);
    grid->addWidget(subject_, 4, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Messaggio:"), body_, this), 5, 0, Qt::AlignTop);
    grid->addWidget(body_, 5, 1, 1, 2);
    grid->setRowStretch(5, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(attachButton, &QPushButton::clicked, this, [this] { attach(); });
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormEmail::prepare(const app::DialogRequest& request)
{
    const std::optional<RecipientMode> mode = recipientModeFromText(request.recipientMode);
    if (!mode)
        return false;
    mode_ = *mode;
    // The settings file may have been edited since the program started.
    app::currentSettings() = app::ReadSettings(ws().paths().settingsFile());
    const EmailDraft draft =
        prepareEmail(ws(), mode_, request.selectedPersons, request.selectedSuppliers, app::currentSettings());
    hidden_ = draft.hidden;
    skipped_ = draft.skipped;
    to_->setText(draft.to);
    hiddenView_->setPlainText(joinedWithSemicolons(hidden_));
    skippedNote_->setText(skipped_.isEmpty() ? QString()
                                             : QStringLiteral("Indirizzi non validi, esclusi: ") + skipped_.join(QStringLiteral(", ")));
    skippedNote_->setVisible(!skipped_.isEmpty());
    subject_->setText(draft.subject);
    attachments_.clear();
    attachView_->clear();
    body_->setFocus();
    return true;
}

void TFormEmail::attach()
{
    QFileDialog chooser(this, QStringLiteral("Allega"), ws().paths().appFolder());
    chooser.setObjectName(QStringLiteral("OpenDialog1"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters({QStringLiteral("tutti (*)"), QStringLiteral("Documenti di testo (*.txt)"),
                            QStringLiteral("PDF (*.pdf)"), QStringLiteral("Documenti di Excel (*.xls *.xlsx)"),
                            QStringLiteral("Documenti di Word (*.doc *.docx)")});
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString path = chooser.selectedFiles().first();
    attachments_ << path;
    attachView_->setText(joinedWithSemicolons(attachments_));
}

void TFormEmail::confirm()
{
    EmailInput input;
    input.mode = mode_;
    input.to = to_->text();
    input.hidden = hidden_;
    input.skipped = skipped_;
    input.attachments = attachments_;
    input.subject = subject_->text();
    input.body = body_->toPlainText();
    // The address typed is the default recipient until the settings are read again.
    app::currentSettings().destinatario = input.to;
    const bool sent = runEdit([&] {
        WaitCursor wait;
        const std::shared_ptr<platform::MailClient> client = mailClients_();
        return sendEmail(*client, input, ws().paths().mailLog(), QDateTime::currentDateTime());
    });
    if (!sent)
        return; // the reason was shown; the message stays in the dialog to be sent again
    // The window reloads its tab, which also clears the persons' selection.
    finish(app::Change{});
}

} // namespace velcaris::publishing::ui
