#pragma once

#include "app/Settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

// A hex text in groups of `width` (2 or 4) digits as decimal text, and the run-time error
// that ended the conversion early (0 when none did): the caller goes on with what came.
struct Conversion {
    std::string DecimalText;
    int error = 0;
};
Conversion HexToDecimal(std::string_view text, int width);

// The two counts of one hour; absent where an incomplete record left no digits for it.
struct HourCount {
    std::optional<long> Right = 0; // "Rechts"
    std::optional<long> Left = 0;  // "Links"
};

// One day block of the count text, read once for the report and for anything else that shows
// the counts. Hours without a record count 0.
struct DayCounts {
    std::string DateText; // "31.12.94", as the report's date line shows it
    bool HasRecords = false;
    std::array<HourCount, 24> Hours;
    std::array<bool, 24> Recorded{}; // the hours the device stored a record for
    std::optional<HourCount> Hour24; // a record for hour 24: kept, never shown
    std::vector<int> Errors;         // run-time errors met reading the block, in order
    bool Refused = false;            // a record for an hour above 24: the day is not reported
};

struct CountData {
    std::vector<DayCounts> Days; // in text order; days dated 01.01.94 are left out
    int RefusedBlocks = 0;
    // Records of the days not refused, each counted once: incomplete ones for hours 0-23, and
    // those for hour 24 (kept, never shown), complete or not.
    int RefusedRecords = 0;
    int Hour24Records = 0;
};

// Splits the count text into its day blocks and reads each one.
CountData ReadCountData(std::string_view countText);

// What one report leaves for the next: row 24 of the hour table.
struct ReportCarryOver {
    std::optional<HourCount> Hour24;
};

struct Report {
    std::string ReportText;
    std::vector<int> Errors; // run-time errors met, in order
    ReportCarryOver CarryOver;
};

// The report of a count text: one hourly table per day block, in the direction and over the
// period of the settings, lines ended by `newLine`.
Report MakeReport(std::string_view countText, const Settings& settings, const std::string& newLine,
                  const ReportCarryOver& carryOver);

} // namespace orva
