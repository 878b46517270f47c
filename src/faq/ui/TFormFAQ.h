#pragma once
// The FAQ window: the tree of chapters and titles (built the first time it opens in a run and
// kept), the entry shown, searches, stepping through the current set, new entries and chapters.
#include "dialogkit/DialogContext.h"
#include "faq/FaqBrowser.h"
#include "faq/KnowledgeBase.h"
#include "faq/ui/FaqDialogBase.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace velcaris::faq::ui {

class TFormAggiungiFAQ;
class TFormNCFAQ;
class TFormRicercaFAQ;

class TFormFAQ : public FaqDialogBase {
    Q_OBJECT
public:
    explicit TFormFAQ(const app::DialogContext& context);

    // Connects to the knowledge base, builds the tree the first time and shows the window; a
    // failure to connect is shown over the main window and nothing opens.
    void start();

protected:
    void done(int result) override;

private:
    void buildTree();
    QTreeWidgetItem* chapterNode(const QString& chapter) const;
    void titleChosen(QTreeWidgetItem* item);
    void showSet(QVector<FaqEntry> entries);
    void showCurrent();

    app::DialogContext context_;
    KnowledgeBase base_;
    FaqBrowser browser_;
    bool treeBuilt_ = false;
    QTreeWidget* tree_ = nullptr;
    QLineEdit* chapter_ = nullptr;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* question_ = nullptr;
    QPlainTextEdit* answer_ = nullptr;
    QLabel* counter_ = nullptr;
    TFormRicercaFAQ* search_ = nullptr;
    TFormAggiungiFAQ* addEntry_ = nullptr;
    TFormNCFAQ* addChapter_ = nullptr;
};

} // namespace velcaris::faq::ui
