#pragma once
// The new-entry dialog (caption "Aggiungi FAQ"): chapter, title, question and answer; a new
// chapter can be made from here.
#include "faq/KnowledgeBase.h"
#include "faq/ui/FaqDialogBase.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace velcaris::faq::ui {

class TFormAggiungiFAQ : public FaqDialogBase {
    Q_OBJECT
public:
    using Added = std::function<void(const FaqEntry&)>;
    TFormAggiungiFAQ(KnowledgeBase& base, Added added, QWidget* parent);

    // "Aggiungi nuovo capitolo" calls this.
    void setNewChapter(std::function<void()> newChapter) { newChapter_ = std::move(newChapter); }
    // Every field emptied, the chapter list focused.
    void start();
    // The chapter list read again from the knowledge base.
    void fillChapters();

private:
    void add();

    KnowledgeBase& base_;
    Added added_;
    std::function<void()> newChapter_;
    QComboBox* chapter_ = nullptr;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* question_ = nullptr;
    QPlainTextEdit* answer_ = nullptr;
};

} // namespace velcaris::faq::ui
