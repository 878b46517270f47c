#pragma once
// The new-chapter dialog (caption "Nuovo capitolo").
#include "faq/KnowledgeBase.h"
#include "faq/ui/FaqDialogBase.h"

#include <functional>

class QLineEdit;

namespace velcaris::faq::ui {

class TFormNCFAQ : public FaqDialogBase {
    Q_OBJECT
public:
    using Added = std::function<void(const QString&)>;
    TFormNCFAQ(KnowledgeBase& base, QWidget* parent);

    // Opens over `over` (the FAQ window or the new-entry dialog); `added` hears of the new chapter.
    void start(QWidget* over, Added added);

private:
    void add();

    KnowledgeBase& base_;
    Added added_;
    QLineEdit* name_ = nullptr;
};

} // namespace velcaris::faq::ui
