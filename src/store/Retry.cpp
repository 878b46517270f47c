#include "store/Retry.h"

#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

namespace velcaris::store {

void pauseBeforeRetry(int attempt)
{
    // 2, 4, 8 ... up to 64 ms, each between half and one and a half times that.
    const int base = 1 << std::clamp(attempt, 1, 6);
    QThread::msleep(static_cast<unsigned long>(base / 2 + int(QRandomGenerator::global()->bounded(base + 1))));
}

} // namespace velcaris::store
