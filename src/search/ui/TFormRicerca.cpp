#include "search/ui/TFormRicerca.h"

#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "store/StoreError.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace velcaris::search::ui {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 120;
} // namespace

TFormRicerca::TFormRicerca(const app::DialogContext& context) : QDialog(context.window), context_(context)
{
    setObjectName(QStringLiteral("FormRicerca"));
    setWindowTitle(QStringLiteral("Ricerca"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(kWidth, kHeight);
    setModal(true);

    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("testo"));
    prompt_->setFont(QFont(QStringLiteral("Arial"), 10));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setGeometry(20, 40, kWidth - 40, 24);
    prompt_->setBuddy(edit_);
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    conferma->setDefault(true);
    conferma->setGeometry(kWidth - 110, kHeight - 40, 90, 28);
    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    pending_->setInterval(0);
    connect(pending_, &QTimer::timeout, this, [this] { typed(); });
    connect(edit_, &QLineEdit::textEdited, pending_, qOverload<>(&QTimer::start));
    connect(conferma, &QPushButton::clicked, this, [this] {
        if (pending_->isActive()) {
            pending_->stop();
            typed();
        }
        accept();
    });
}

void TFormRicerca::start(SearchKind kind, const SearchTarget& target)
{
    target_ = target;
    const SearchPrompt prompt = searchPrompt(kind);
    prompt_->setText(prompt.text);
    edit_->setAccessibleName(prompt.text);
    prompt_->adjustSize();
    prompt_->move(prompt.left * kWidth / 360, 14);
    edit_->clear();
    if (QScreen* screen = context_.window ? context_.window->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    edit_->setFocus();
    if (app::EditDialog::blocking())
        exec();
    else
        open();
}

void TFormRicerca::typed()
{
    try {
        applySearch(*context_.workspace, target_, edit_->text());
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
        return;
    }
    // The persons' and suppliers' registers do not make the totals: reading every income and
    // expense row again at each key would change nothing there.
    if (!searchMovesTotals(target_))
        return;
    app::Change change;
    change.totalsOnly = true;
    if (context_.changed)
        context_.changed(change);
}

void TFormRicerca::reject()
{
    pending_->stop();
    QDialog::reject();
    // The register as the selection shows it: the window chooses the condominium again.
    if (context_.changed)
        context_.changed(app::Change{});
}

} // namespace velcaris::search::ui
