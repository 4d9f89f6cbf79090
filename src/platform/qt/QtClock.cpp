#include "platform/qt/QtClock.h"

#include <QDateTime>

namespace orva {

double QtClock::timer() { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }

DateTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {{t.date().year(), t.date().month(), t.date().day()},
            t.time().hour(),
            t.time().minute(),
            t.time().second()};
}

} // namespace orva
