#pragma once
// The splash window shown while the program starts: a picture and a progress bar of 25 steps.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace velcaris::app {

class Tsplash : public QWidget {
    Q_OBJECT
public:
    explicit Tsplash(QWidget* parent = nullptr);
    void advance(); // one step; values beyond the maximum stay at the maximum
    int position() const;

private:
    QLabel* image_;
    QProgressBar* bar_;
};

} // namespace velcaris::app
