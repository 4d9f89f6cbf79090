#pragma once

#include "platform/GermanDate.h"

namespace orva {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds with fractions on a monotonic clock: only differences mean anything.
    virtual double timer() = 0;
    // Local date and time of the PC.
    virtual DateTime now() = 0;
    // Lets a few milliseconds pass, so that a wait on the clock alone does not burn a core.
    virtual void idle() = 0;
};

} // namespace orva
