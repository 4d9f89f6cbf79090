#pragma once

#include "evaluation/Evaluation.h"
#include "link/DeviceLink.h"

#include <string>

namespace orva {

// Reading the light barrier's clock beside the PC's.
class DeviceClock {
public:
    DeviceClock(ORVA_DS& state, EditorVariables& vars, OrvaModule& module, DeviceLink& link,
                Evaluation& evaluation);

    void mnuUhrlesen_Click();
    void ReadDeviceClock();

    std::string DeviceClockLine;

private:
    ORVA_DS& s_;
    EditorVariables& v_;
    OrvaModule& module_;
    DeviceLink& link_;
    Evaluation& evaluation_;
};

} // namespace orva
