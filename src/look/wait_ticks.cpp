#include "look/wait_ticks.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

namespace xq {

bool WaitTicks(double milliseconds, const std::function<bool()>& stop) {
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 limit = static_cast<qint64>(milliseconds * 1e6);
    while (elapsed.nsecsElapsed() < limit) {
        if (stop && stop()) return false;
        // A nested loop that ends with a precise timer: events run, nothing spins.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        const double left = static_cast<double>(limit - elapsed.nsecsElapsed()) / 1e6;
        timer.start(static_cast<int>(std::ceil(left)));
        loop.exec();
    }
    return !(stop && stop());
}

}  // namespace xq
