#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace xq::test {

// Spins the event loop until the condition holds or the time is up.
inline bool Eventually(const std::function<bool()>& condition, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return condition();
}

}  // namespace xq::test
