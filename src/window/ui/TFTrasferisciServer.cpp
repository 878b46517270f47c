#include "window/ui/TFTrasferisciServer.h"

#include "dialogkit/Messages.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace velcaris::app {

namespace {

QLineEdit* field(const QString& name, const QString& caption, QFormLayout* form, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(caption);
    auto* label = new QLabel(caption + u':', parent);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

} // namespace

TFTrasferisciServer::TFTrasferisciServer(const AppPaths& paths, QWidget* parent) : QDialog(parent), paths_(paths)
{
    setObjectName(QStringLiteral("TFTrasferisciServer"));
    setWindowTitle(QStringLiteral("Trasferisci su server"));
    resize(600, 420);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Copia i dati dell'ufficio (i file %1 e %2) in un database vuoto di un server "
                                            "PostgreSQL. I file non vengono cambiati e restano quelli che il programma apre "
                                            "finché nelle impostazioni non si indica il server.")
                                 .arg(QDir::toNativeSeparators(paths_.mainDatabase()),
                                      QDir::toNativeSeparators(paths_.webDatabase())),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    host_ = field(QStringLiteral("EditServer"), QStringLiteral("Server"), form, this);
    host_->setPlaceholderText(QStringLiteral("nome o indirizzo; vuoto: questo computer"));
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("SpinPorta"));
    port_->setAccessibleName(QStringLiteral("Porta"));
    port_->setRange(1, 65535);
    port_->setValue(5432);
    auto* portLabel = new QLabel(QStringLiteral("Porta:"), this);
    portLabel->setBuddy(port_);
    form->addRow(portLabel, port_);
    database_ = field(QStringLiteral("EditDatabase"), QStringLiteral("Database"), form, this);
    user_ = field(QStringLiteral("EditUtente"), QStringLiteral("Utente"), form, this);
    password_ = field(QStringLiteral("EditPassword"), QStringLiteral("Password"), form, this);
    password_->setEchoMode(QLineEdit::Password);
    sslmode_ = new QComboBox(this);
    sslmode_->setObjectName(QStringLiteral("ComboSSL"));
    sslmode_->setAccessibleName(QStringLiteral("SSL"));
    sslmode_->addItems({QStringLiteral("prefer"), QStringLiteral("require"), QStringLiteral("disable"),
                        QStringLiteral("verify-full")});
    auto* sslLabel = new QLabel(QStringLiteral("SSL:"), this);
    sslLabel->setBuddy(sslmode_);
    form->addRow(sslLabel, sslmode_);
    layout->addLayout(form);

    outcome_ = new QLabel(this);
    outcome_->setObjectName(QStringLiteral("LabelEsito"));
    outcome_->setWordWrap(true);
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outcome_->hide();
    layout->addWidget(outcome_);
    section_ = new QPlainTextEdit(this);
    section_->setObjectName(QStringLiteral("TestoSezioneServer"));
    section_->setAccessibleName(QStringLiteral("Sezione da aggiungere alle impostazioni"));
    section_->setReadOnly(true);
    section_->setLineWrapMode(QPlainTextEdit::NoWrap);
    section_->hide();
    layout->addWidget(section_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    transfer_ = new QPushButton(QStringLiteral("Trasferisci"), this);
    transfer_->setObjectName(QStringLiteral("BtnTrasferisci"));
    transfer_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cancel_->setObjectName(QStringLiteral("BtnAnnulla"));
    buttons->addWidget(transfer_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(transfer_, &QPushButton::clicked, this, &TFTrasferisciServer::transfer);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

store::ServerParams TFTrasferisciServer::params() const
{
    store::ServerParams p;
    p.host = host_->text().trimmed();
    p.port = port_->value();
    p.database = database_->text().trimmed();
    p.user = user_->text().trimmed();
    p.password = password_->text();
    p.sslmode = sslmode_->currentText();
    return p;
}

void TFTrasferisciServer::transfer()
{
    const store::ServerParams server = params();
    {
        // Restored however the transfer ends.
        struct WaitCursor {
            WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
            ~WaitCursor() { QApplication::restoreOverrideCursor(); }
        } wait;
        result_ = store::transferToServer(paths_.mainDatabase(), paths_.webDatabase(), server);
    }
    if (!result_.done) {
        showFailure(this, result_.message);
        return;
    }
    // Done once: the server now holds the office, a second transfer would be refused.
    for (QWidget* w : std::initializer_list<QWidget*>{host_, port_, database_, user_, password_, sslmode_, transfer_})
        w->setEnabled(false);
    password_->clear();
    outcome_->setText(result_.message
                      + QStringLiteral("\n\nPer aprire d'ora in poi l'ufficio sul server, aggiungere al file delle "
                                       "impostazioni %1 la sezione seguente:")
                            .arg(QDir::toNativeSeparators(paths_.settingsFile())));
    outcome_->show();
    section_->setPlainText(store::serverSettingsSection(server));
    section_->show();
    section_->selectAll();
    section_->setFocus();
    cancel_->setText(QStringLiteral("Chiudi"));
    cancel_->setDefault(true);
}

} // namespace velcaris::app
