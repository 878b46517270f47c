#pragma once
// Text boxes bound to the fields of a dialog's input struct: the table of boxes is written once,
// and filling the boxes from the struct or the struct from the boxes follows it. Each box's
// maximum length limits typing only: a longer text put in by the program is shown whole and
// written back whole.
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QVector>

namespace velcaris::app {

// The user cannot type past `limit` characters; a longer text put in by the program stays whole
// (and may be shortened, never lengthened, by typing).
void limitTyping(QLineEdit* edit, int limit);
// Puts `text` in the box without cutting it to the typing limit.
void putText(QLineEdit* edit, const QString& text);
// The caption of a box: named "Label" + the box's name without its "Edit" prefix, the box's
// buddy, and the box's accessible name.
QLabel* captionFor(QLineEdit* edit, const QString& text, QWidget* parent);

template <typename Input>
struct Box {
    const char* name;  // the component name, "EditNome"
    const char* label; // the caption, UTF-8
    int limit;         // typing limit
    QString Input::*field;
};

template <typename Input>
class BoxTable {
public:
    // Names and limits `edit` after `box`, binds it to the box's field and returns its caption.
    QLabel* add(const Box<Input>& box, QLineEdit* edit, QWidget* parent)
    {
        edit->setObjectName(QString::fromLatin1(box.name));
        limitTyping(edit, box.limit);
        bound_.push_back({edit, box.field});
        return captionFor(edit, QString::fromUtf8(box.label), parent);
    }
    void fill(const Input& input) const
    {
        for (const auto& [edit, field] : bound_)
            putText(edit, input.*field);
    }
    void read(Input& input) const
    {
        for (const auto& [edit, field] : bound_)
            input.*field = edit->text();
    }
    QLineEdit* edit(QString Input::*field) const
    {
        for (const auto& [edit, f] : bound_)
            if (f == field)
                return edit;
        return nullptr;
    }
    // In the order they were added (the tab order).
    QVector<QLineEdit*> edits() const
    {
        QVector<QLineEdit*> out;
        for (const auto& b : bound_)
            out << b.first;
        return out;
    }

private:
    QVector<QPair<QLineEdit*, QString Input::*>> bound_;
};

// Sets the tab order along `widgets`.
void chainTabOrder(const QVector<QWidget*>& widgets);

} // namespace velcaris::app
