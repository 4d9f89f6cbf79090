#include "platform/qt/QtClock.h"

#include <QDateTime>
#include <QThread>

namespace orva {

double QtClock::timer() {
    return static_cast<double>(timer_.nsecsElapsed()) / 1e9;
}

void QtClock::idle() {
    QThread::msleep(1);
}

DateTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {{t.date().year(), t.date().month(), t.date().day()},
            t.time().hour(),
            t.time().minute(),
            t.time().second()};
}

} // namespace orva
