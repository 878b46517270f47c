#include "dialogkit/EditDialog.h"

#include "dialogkit/Messages.h"
#include "store/StoreError.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace velcaris::app {

namespace {
bool blockingRun = true;

void centreOnScreen(QDialog* dialog)
{
    QScreen* screen = dialog->parentWidget() ? dialog->parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
}
} // namespace

EditDialog::EditDialog(const DialogContext& context, const QString& objectName, const QString& caption, int width,
                       int height)
    : QDialog(context.window), context_(context)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(width, height);
    setModal(true);
}

void EditDialog::setBlocking(bool on)
{
    blockingRun = on;
}

bool EditDialog::blocking()
{
    return blockingRun;
}

void EditDialog::run(const DialogRequest& request)
{
    bool ready = false;
    try {
        ready = prepare(request);
    } catch (const store::StoreError& e) {
        showFailure(window(), e.message());
    }
    if (!ready)
        return;
    centreOnScreen(this);
    if (blockingRun)
        exec();
    else
        open();
}

bool EditDialog::runEdit(const std::function<Outcome()>& action)
{
    return runEditAndShow(this, action, [this] { showRowAsNow(); });
}

void EditDialog::finish(const Change& change)
{
    accept();
    if (context_.changed)
        context_.changed(change);
}

QPushButton* EditDialog::addButtons(QBoxLayout* layout, const QString& confirmName, const QString& cancelName)
{
    auto* row = new QHBoxLayout;
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(confirmName);
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(cancelName);
    row->addStretch(1);
    row->addWidget(conferma);
    row->addWidget(annulla);
    layout->addLayout(row);
    connect(conferma, &QPushButton::clicked, this, [this] { confirm(); });
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
    return conferma;
}

} // namespace velcaris::app
