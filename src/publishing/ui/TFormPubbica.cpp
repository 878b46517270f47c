#include "publishing/ui/TFormPubbica.h"

#include "dialogkit/Messages.h"
#include "publishing/ui/TFormCancellaFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace velcaris::publishing::ui {

namespace {

QToolButton* smallButton(const QString& name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setFixedSize(26, 24);
    return b;
}

} // namespace

TFormPubbica::TFormPubbica(const app::DialogContext& context, TFormCancellaFiles* withdraw)
    : EditDialog(context, QStringLiteral("FormPubbica"), QStringLiteral("Pubblica"), 430, 190), withdraw_(withdraw)
{
    document_ = new QLineEdit(this);
    document_->setObjectName(QStringLiteral("EditDocumento"));
    document_->setReadOnly(true);
    QToolButton* add = smallButton(QStringLiteral("SpeedButton1"), QStringLiteral("+"), QStringLiteral("Aggiungi documento"), this);
    QToolButton* remove = smallButton(QStringLiteral("SpeedButton2"), QStringLiteral("-"), QStringLiteral("Elimina documento"), this);
    withYear_ = new QCheckBox(QStringLiteral("Anno amministrativo"), this);
    withYear_->setObjectName(QStringLiteral("CheckBoxAAPubblica"));
    withYear_->setChecked(true);
    years_ = new QComboBox(this);
    years_->setObjectName(QStringLiteral("ComboAA"));
    years_->setAccessibleName(withYear_->text());
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setObjectName(QStringLiteral("ComboData"));
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));

    auto* grid = new QGridLayout;
    auto* documentLabel = new QLabel(QStringLiteral("Documento"), this);
    documentLabel->setBuddy(document_);
    document_->setAccessibleName(documentLabel->text());
    grid->addWidget(documentLabel, 0, 0);
    grid->addWidget(document_, 0, 1);
    grid->addWidget(add, 0, 2);
    grid->addWidget(remove, 0, 3);
    grid->addWidget(withYear_, 1, 0);
    grid->addWidget(years_, 1, 1);
    auto* dateLabel = new QLabel(QStringLiteral("Data documento"), this);
    dateLabel->setBuddy(date_);
    date_->setAccessibleName(dateLabel->text());
    grid->addWidget(dateLabel, 2, 0);
    grid->addWidget(date_, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BitBtn1"));
    conferma->setDefault(true);
    auto* chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(conferma);
    buttons->addWidget(chiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(add, &QToolButton::clicked, this, [this] { chooseDocument(); });
    connect(remove, &QToolButton::clicked, this, [this] { withdraw_->run(); });
    connect(withYear_, &QCheckBox::toggled, years_, &QWidget::setEnabled);
    connect(conferma, &QPushButton::clicked, this, [this] { confirm(); });
    connect(chiudi, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormPubbica::prepare(const app::DialogRequest&)
{
    const QString& cond = ws().selection.condominium;
    if (cond.isEmpty()) {
        app::showInformation(window(), kChooseCondominium);
        return false;
    }
    setWindowTitle(QStringLiteral("Pubblica - ") + cond);
    document_->clear();
    const YearChoice choice = yearChoices(ws(), cond);
    years_->clear();
    years_->addItems(choice.names);
    years_->setCurrentIndex(choice.current);
    years_->setEnabled(withYear_->isChecked());
    return true;
}

void TFormPubbica::chooseDocument()
{
    QFileDialog chooser(this, QStringLiteral("Documento da pubblicare"), ws().paths().appFolder());
    chooser.setObjectName(QStringLiteral("OpenDialog1"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix(QStringLiteral("pdf"));
    chooser.setNameFilters({QStringLiteral("File PDF (*.pdf)"), QStringLiteral("Tutti i file (*)")});
    if (chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty())
        lastChosen_ = documentName(chooser.selectedFiles().first());
    document_->setText(lastChosen_);
}

void TFormPubbica::confirm()
{
    PublishInput input;
    input.document = document_->text();
    input.withYear = withYear_->isChecked();
    input.year = years_->currentText();
    input.date = date_->date();
    if (!runEdit([&] { return publishDocument(ws(), input); }))
        return;
    // Only the web database changed: no register of the window to put back.
    finish(app::Change{});
}

} // namespace velcaris::publishing::ui
