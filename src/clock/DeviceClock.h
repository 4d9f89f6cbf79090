#pragma once

#include "app/ORVA_DS.h"
#include "link/DeviceLink.h"

#include <optional>
#include <string>

namespace orva {

// Reading the light barrier's clock beside the PC's, and setting it from the PC's clock or
// from a date and time typed by hand.
class DeviceClock {
public:
    DeviceClock(ORVA_DS& state, OrvaModule& module, DeviceLink& link)
        : s_(state), module_(module), link_(link) {}

    void mnuUhrlesen_Click();
    void ReadDeviceClock();

    // What "&Uhr stellen" sends: the PC's clock at the time of sending, or the two data
    // blocks of a typed date and time.
    struct ClockSetting {
        bool fromPc = false;
        std::string DateText;     // seconds to the first digit of the year
        std::string YearTailText; // the other three digits of the year, and ETX
    };

    void mnuUhrstellen_Click();
    // The question, and the hand entry after No; nothing when the command stops here.
    std::optional<ClockSetting> AskClockSource();
    void SetDeviceClock(const ClockSetting& setting);

private:
    ORVA_DS& s_;
    OrvaModule& module_;
    DeviceLink& link_;
};

} // namespace orva
