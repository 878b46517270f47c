#pragma once
// The footer row of a register grid: one text (a sum) under some of its columns, kept aligned
// with the columns as they are resized, moved or scrolled.
#include <QHash>
#include <QWidget>

class QTableView;

namespace velcaris::app {

class GridFooter : public QWidget {
    Q_OBJECT
public:
    explicit GridFooter(QTableView* grid, QWidget* parent = nullptr);
    void setTexts(const QHash<int, QString>& byColumn);
    void clear();
    QString text(int column) const { return texts_.value(column); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTableView* grid_;
    QHash<int, QString> texts_;
};

} // namespace velcaris::app
