#include "window/ui/BankPanel.h"

#include "cashbook/Balances.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::app {

BankPanel::BankPanel(Workspace& ws, QWidget* window, TabParts::Guarded guarded, std::function<QStringList()> names,
                     std::function<void()> onlyBank)
    : QFrame(window), ws_(ws), guarded_(std::move(guarded)), names_(std::move(names))
{
    menu_ = new QMenu(window);
    menu_->setObjectName(QStringLiteral("PopupMenuCC"));
    QAction* bankOnly = menu_->addAction(QStringLiteral("&Visualizza solo movimenti in C.C."));
    bankOnly->setObjectName(QStringLiteral("VIsualizzasolomovimentiinCC1"));
    QAction* negative = menu_->addAction(QStringLiteral("&Segnala C.C. negativi"));
    negative->setObjectName(QStringLiteral("SegnalaCCnegativi1"));
    QAction* all = menu_->addAction(QStringLiteral("&Tutti i C.C."));
    all->setObjectName(QStringLiteral("uttiiCC1"));
    connect(bankOnly, &QAction::triggered, this, std::move(onlyBank));
    connect(negative, &QAction::triggered, this, [this] { showSummary(true); });
    connect(all, &QAction::triggered, this, [this] { showSummary(false); });

    // A floating panel over the window (a child of a splitter would become one of its panes).
    setObjectName(QStringLiteral("PanelCC"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    resize(420, 450);
    auto* layout = new QVBoxLayout(this);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoCC"));
    memo_->setReadOnly(true);
    memo_->setAccessibleName(QStringLiteral("Saldi conto corrente"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(memo_);
    layout->addWidget(ok, 0, Qt::AlignRight);
    hide();
}

void BankPanel::popupUnder(QPushButton* bank)
{
    move(bank->mapTo(parentWidget(), QPoint(0, 90)));
    menu_->popup(bank->mapToGlobal(QPoint(0, 90)));
}

void BankPanel::showSummary(bool onlyNegative)
{
    resize(width(), 450);
    memo_->clear();
    guarded_([&] { memo_->setPlainText(cashbook::bankSummary(ws_, names_(), onlyNegative).join(u'\n')); });
    memo_->setTabStopDistance(memo_->fontMetrics().averageCharWidth() * 50); // 200 dialog units
    show();
    raise();
}

} // namespace velcaris::app
