#include "dialogkit/DateField.h"

#include "foundation/TypedDate.h"

#include <QAction>
#include <QCalendarWidget>
#include <QStyle>

namespace velcaris::app {

DateField::DateField(QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    QAction* calendar = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    calendar->setObjectName(QStringLiteral("ApriCalendario"));
    calendar->setText(QStringLiteral("Calendario"));
    calendar->setToolTip(QStringLiteral("Scegli la data dal calendario"));
    connect(calendar, &QAction::triggered, this, [this] { showCalendar(); });
}

QDate DateField::date() const
{
    return dateFromTyped(text()).value_or(QDate());
}

bool DateField::holdsDateOrNothing() const
{
    return text().trimmed().isEmpty() || dateFromTyped(text()).has_value();
}

void DateField::setDate(const QDate& date)
{
    setText(date.isValid() ? date.toString(kDateFormat) : QString());
}

void DateField::showCalendar()
{
    // A child of the box: an item view that edits through this box keeps it open meanwhile.
    auto* calendar = new QCalendarWidget(this);
    calendar->setObjectName(QStringLiteral("Calendario"));
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    const QDate typed = date();
    calendar->setSelectedDate(typed.isValid() ? typed : QDate::currentDate());
    auto pick = [this, calendar](QDate picked) {
        setDate(picked);
        calendar->close();
        setFocus();
    };
    connect(calendar, &QCalendarWidget::clicked, this, pick);
    connect(calendar, &QCalendarWidget::activated, this, pick);
    calendar->adjustSize();
    calendar->move(mapToGlobal(QPoint(0, height())));
    calendar->show();
    calendar->setFocus();
}

} // namespace velcaris::app
