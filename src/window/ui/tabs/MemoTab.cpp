// The Memo tab: the chosen condominium's notes (Memo1) or, with none chosen, the general notes
// (DBMemo1). Both are stored at every key release by the window.
#include "window/ui/tabs/TabParts.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildMemoTab(TabParts&)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* memo1 = new QPlainTextEdit(page);
    memo1->setObjectName(QStringLiteral("Memo1"));
    memo1->setAccessibleName(QStringLiteral("Note del condominio"));
    memo1->hide();
    auto* dbMemo = new QPlainTextEdit(page);
    dbMemo->setObjectName(QStringLiteral("DBMemo1"));
    dbMemo->setAccessibleName(QStringLiteral("Note generali"));
    layout->addWidget(memo1);
    layout->addWidget(dbMemo);
    return page;
}

} // namespace velcaris::app
