#include "platform/qt/QtClock.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

namespace orva {

double QtClock::timer() {
    return static_cast<double>(timer_.nsecsElapsed()) / 1e9;
}

void QtClock::idle() {
    // Paints and desktop requests go on; keys and clicks wait until the command is over, and
    // so does the serial port's notifier, whose events are served between commands only.
    QEventLoop loop;
    QTimer::singleShot(5, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

DateTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {{t.date().year(), t.date().month(), t.date().day()},
            t.time().hour(),
            t.time().minute(),
            t.time().second()};
}

} // namespace orva
