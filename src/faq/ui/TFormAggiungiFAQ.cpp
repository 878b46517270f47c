#include "faq/ui/TFormAggiungiFAQ.h"

#include "dialogkit/Messages.h"
#include "store/StoreError.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::faq::ui {

namespace {

// A drop-down list that reads its entries again each time it opens.
class ChapterList : public QComboBox {
public:
    ChapterList(std::function<void()> refill, QWidget* parent) : QComboBox(parent), refill_(std::move(refill)) {}
    void showPopup() override
    {
        refill_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> refill_;
};

} // namespace

TFormAggiungiFAQ::TFormAggiungiFAQ(KnowledgeBase& base, Added added, QWidget* parent)
    : FaqDialogBase(parent, QStringLiteral("FormAggiungiFAQ"), QStringLiteral("Aggiungi FAQ")), base_(base),
      added_(std::move(added))
{
    resize(560, 460);
    chapter_ = new ChapterList([this] { fillChapters(); }, this);
    chapter_->setObjectName(QStringLiteral("ComboBox1"));
    QFont bold = chapter_->font();
    bold.setBold(true);
    chapter_->setFont(bold);
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("Edit2"));
    title_->setMaxLength(100);
    question_ = new QPlainTextEdit(this);
    question_->setObjectName(QStringLiteral("Memo1"));
    answer_ = new QPlainTextEdit(this);
    answer_->setObjectName(QStringLiteral("Memo2"));

    auto* form = new QFormLayout;
    const std::pair<const char*, QWidget*> rows[] = {
        {"Capitolo", chapter_}, {"Titolo", title_}, {"Domanda", question_}, {"Risposta", answer_}};
    for (const auto& [text, control] : rows) {
        auto* caption = new QLabel(QString::fromLatin1(text), this);
        caption->setBuddy(control);
        control->setAccessibleName(caption->text());
        form->addRow(caption, control);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* nuovo = new QPushButton(QStringLiteral("Aggiungi nuovo capitolo"), this);
    nuovo->setObjectName(QStringLiteral("BitBtn1"));
    auto* aggiungi = new QPushButton(QStringLiteral("Aggiungi"), this);
    aggiungi->setObjectName(QStringLiteral("BitBtn2"));
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BitBtn3"));
    buttons->addWidget(nuovo);
    buttons->addStretch(1);
    buttons->addWidget(aggiungi);
    buttons->addWidget(annulla);
    layout->addLayout(buttons);
    connect(nuovo, &QPushButton::clicked, this, [this] {
        if (newChapter_)
            newChapter_();
    });
    connect(aggiungi, &QPushButton::clicked, this, [this] { add(); });
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormAggiungiFAQ::fillChapters()
{
    const QString chosen = chapter_->currentText();
    QStringList chapters;
    try {
        chapters = base_.chapters();
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    chapter_->clear();
    chapter_->addItems(chapters);
    chapter_->setCurrentIndex(chapter_->findText(chosen));
}

void TFormAggiungiFAQ::start()
{
    chapter_->setCurrentIndex(-1);
    fillChapters();
    chapter_->setCurrentIndex(-1);
    title_->clear();
    question_->clear();
    answer_->clear();
    chapter_->setFocus();
    showOver();
}

void TFormAggiungiFAQ::add()
{
    const FaqEntry entry{chapter_->currentText(), title_->text(), question_->toPlainText(), answer_->toPlainText()};
    if (attempt([&] { return base_.addEntry(entry); }).done) {
        added_(entry);
        accept();
    }
}

} // namespace velcaris::faq::ui
