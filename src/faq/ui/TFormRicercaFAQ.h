#pragma once
// The FAQ search dialog: its caption is the search ("Cerca nel titolo" or "Cerca nel testo"),
// one word, "Cerca".
#include "faq/KnowledgeBase.h"
#include "faq/ui/FaqDialogBase.h"

#include <functional>

class QLineEdit;

namespace velcaris::faq::ui {

class TFormRicercaFAQ : public FaqDialogBase {
    Q_OBJECT
public:
    enum class Mode { Titles, Texts };
    using Found = std::function<void(QVector<FaqEntry>)>;
    TFormRicercaFAQ(KnowledgeBase& base, Found found, QWidget* parent);

    void start(Mode mode);

private:
    void search();

    KnowledgeBase& base_;
    Found found_;
    Mode mode_ = Mode::Titles;
    QLineEdit* word_ = nullptr;
};

} // namespace velcaris::faq::ui
