#include "analysis/CountTable.h"

namespace orva {

std::string DirectionLabel(CountDirection direction) {
    switch (direction) {
    case CountDirection::Right:
        return "Rechts";
    case CountDirection::Left:
        return "Links";
    case CountDirection::Both:
        break;
    }
    return "beide Richtungen (Rechts + Links)";
}

std::string ExportFileName(const Date& today) {
    return "EX" + zeroPadded(today.day, 2) + zeroPadded(today.month, 2) + ".csv";
}

} // namespace orva
