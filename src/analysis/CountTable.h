#pragma once

#include "app/Settings.h"
#include "platform/GermanDate.h"

#include <string>

namespace orva {

// What the direction shows, for captions and chart legends.
std::string DirectionLabel(CountDirection direction);

// "EXddmm.csv" for the PC's date.
std::string ExportFileName(const Date& today);

} // namespace orva
