#include "window/ui/Tsplash.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

namespace velcaris::app {

namespace {

QPixmap splashPicture()
{
    QPixmap picture(622, 417);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, 417);
    sky.setColorAt(0, QColor(28, 62, 112));
    sky.setColorAt(1, QColor(120, 160, 210));
    p.fillRect(picture.rect(), sky);
    // A row of buildings, the program's subject.
    p.setPen(Qt::NoPen);
    const int heights[] = {180, 240, 150, 280, 200, 230, 170};
    int x = 20;
    for (int h : heights) {
        p.setBrush(QColor(235, 230, 215));
        p.drawRect(x, 417 - h, 78, h);
        p.setBrush(QColor(70, 90, 120));
        for (int wy = 417 - h + 16; wy < 400; wy += 34)
            for (int wx = x + 10; wx < x + 70; wx += 22)
                p.drawRect(wx, wy, 12, 16);
        x += 84;
    }
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPointSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 30, 622, 70), Qt::AlignCenter, QStringLiteral("Velcaris"));
    QFont subtitle = p.font();
    subtitle.setPointSize(14);
    subtitle.setBold(false);
    p.setFont(subtitle);
    p.drawText(QRect(0, 100, 622, 30), Qt::AlignCenter, QStringLiteral("Amministrazione condominiale"));
    return picture;
}

} // namespace

Tsplash::Tsplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("splash"));
    setFixedSize(622, 439);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setGeometry(0, 0, 622, 417);
    image_->setPixmap(splashPicture());

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("avanzamento"));
    // The bar keeps its full height of 25 and sits on the window's bottom edge, over the
    // picture's last rows: the window is 439 high, the picture 417.
    bar_->setGeometry(0, height() - 25, 622, 25);
    bar_->setRange(0, 25);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: blue; }"));

    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void Tsplash::advance()
{
    bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
    bar_->repaint();
}

int Tsplash::position() const
{
    return bar_->value();
}

} // namespace velcaris::app
