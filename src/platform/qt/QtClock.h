#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace orva {

class QtClock : public Clock {
public:
    QtClock() { timer_.start(); }
    double timer() override;
    DateTime now() override;
    void idle() override;

private:
    QElapsedTimer timer_;
};

} // namespace orva
