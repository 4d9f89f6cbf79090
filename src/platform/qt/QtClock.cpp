#include "platform/qt/QtClock.h"

#include <QDateTime>

#include <chrono>
#include <thread>

namespace orva {

double QtClock::timer() {
    return static_cast<double>(timer_.nsecsElapsed()) / 1e9;
}

void QtClock::idle() {
    // Device commands run on their own thread: the window goes on meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

DateTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {{t.date().year(), t.date().month(), t.date().day()},
            t.time().hour(),
            t.time().minute(),
            t.time().second()};
}

} // namespace orva
