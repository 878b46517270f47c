#include "faq/ui/TFormNCFAQ.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::faq::ui {

TFormNCFAQ::TFormNCFAQ(KnowledgeBase& base, QWidget* parent)
    : FaqDialogBase(parent, QStringLiteral("FormNCFAQ"), QStringLiteral("Nuovo capitolo")), base_(base)
{
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Capitolo"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    name_->setMaxLength(100);
    name_->setMinimumWidth(260);
    caption->setBuddy(name_);
    name_->setAccessibleName(caption->text());
    row->addWidget(caption);
    row->addWidget(name_);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    auto* aggiungi = new QPushButton(QStringLiteral("Aggiungi"), this);
    aggiungi->setObjectName(QStringLiteral("BitBtn1"));
    aggiungi->setDefault(true);
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BitBtn3"));
    buttons->addStretch(1);
    buttons->addWidget(aggiungi);
    buttons->addWidget(annulla);
    layout->addLayout(buttons);
    connect(aggiungi, &QPushButton::clicked, this, [this] { add(); });
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormNCFAQ::start(QWidget* over, Added added)
{
    added_ = std::move(added);
    // Shown over the window that asked, which stays disabled meanwhile.
    setParent(over, windowFlags());
    name_->clear();
    name_->setFocus();
    showOver();
}

void TFormNCFAQ::add()
{
    const QString name = name_->text();
    const app::Outcome outcome = attempt([&] { return base_.addChapter(name); });
    if (!outcome.done) {
        if (outcome.texts().value(0) == kChapterExists)
            name_->clear();
        return;
    }
    if (added_)
        added_(name);
    accept();
}

} // namespace velcaris::faq::ui
