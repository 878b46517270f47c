#include "faq/ui/TFormRicercaFAQ.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velcaris::faq::ui {

TFormRicercaFAQ::TFormRicercaFAQ(KnowledgeBase& base, Found found, QWidget* parent)
    : FaqDialogBase(parent, QStringLiteral("FormRicercaFAQ"), QStringLiteral("FormRicercaFAQ")), base_(base),
      found_(std::move(found))
{
    auto* layout = new QHBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("Parola"), this);
    word_ = new QLineEdit(this);
    word_->setObjectName(QStringLiteral("Edit1"));
    word_->setMinimumWidth(220);
    caption->setBuddy(word_);
    word_->setAccessibleName(caption->text());
    auto* cerca = new QPushButton(QStringLiteral("Cerca"), this);
    cerca->setObjectName(QStringLiteral("BitBtn1"));
    cerca->setDefault(true); // Enter in the word acts as "Cerca"
    layout->addWidget(caption);
    layout->addWidget(word_);
    layout->addWidget(cerca);
    connect(cerca, &QPushButton::clicked, this, [this] { search(); });
}

void TFormRicercaFAQ::start(Mode mode)
{
    mode_ = mode;
    setWindowTitle(mode == Mode::Titles ? QStringLiteral("Cerca nel titolo") : QStringLiteral("Cerca nel testo"));
    word_->clear();
    word_->setFocus();
    showOver();
}

void TFormRicercaFAQ::search()
{
    const QString word = word_->text();
    if (word.isEmpty()) {
        say(kEnterWord);
        return;
    }
    const app::Outcome outcome = attempt([&] {
        found_(mode_ == Mode::Titles ? base_.searchTitles(word) : base_.searchTexts(word));
        return app::Outcome::accepted();
    });
    if (outcome.done)
        accept();
}

} // namespace velcaris::faq::ui
