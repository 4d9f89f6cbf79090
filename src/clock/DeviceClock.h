#pragma once

#include "evaluation/Evaluation.h"
#include "link/DeviceLink.h"

#include <string>

namespace orva {

// Reading the light barrier's clock beside the PC's, and setting it from the PC's clock or
// from a date and time typed by hand.
class DeviceClock {
public:
    DeviceClock(ORVA_DS& state, EditorVariables& vars, OrvaModule& module, DeviceLink& link,
                Evaluation& evaluation);

    void mnuUhrlesen_Click();
    void ReadDeviceClock();

    void mnuUhrstellen_Click();
    void AskClockSource();
    void SetDeviceClock();

    std::string DeviceClockLine;
    std::string TimeText;
    std::string YearTailText;
    std::string NowText;
    std::string SecondText;
    std::string MinuteText;
    std::string HourText;

private:
    // The wake-up and a clock command; false (with the count back at 0) when either failed.
    bool wakeAndSend(const std::string& letters);
    // Sends a clock data block twice, again after each NAK; false once the transfer failed.
    bool sendBlockTwice(const std::string& block);

    ORVA_DS& s_;
    EditorVariables& v_;
    OrvaModule& module_;
    DeviceLink& link_;
    Evaluation& evaluation_;
};

} // namespace orva
