#pragma once
// A date box that takes a date as it is typed, with slashes or as eight digits (see
// foundation/TypedDate.h), and a calendar beside it. What is typed stays as typed: a text that is
// no date is refused by the dialog when it confirms, never turned into another date.
#include <QDate>
#include <QLineEdit>

namespace velcaris::app {

class DateField : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);

    // The date typed; a null date when the box is empty or holds no date.
    QDate date() const;
    // Whether the box is empty or holds a date.
    bool holdsDateOrNothing() const;
    // Shows `date` as dd/MM/yyyy; a null date empties the box.
    void setDate(const QDate& date);
    // The calendar under the box, on the date typed (today when there is none); a date picked
    // there is written in the box.
    void showCalendar();
};

} // namespace velcaris::app
