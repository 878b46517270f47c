#pragma once
// A line edit that drops refused characters, whether typed or pasted, and says so with
// "Carattere non ammesso"; typing goes on with the rest of the text.
#include <QLineEdit>

namespace velcaris::registry::ui {

class RefusingLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit RefusingLineEdit(const QString& refused, QWidget* parent = nullptr);
    void setRefused(const QString& refused) { refused_ = refused; }

private:
    void filter(const QString& text);
    QString refused_;
};

} // namespace velcaris::registry::ui
