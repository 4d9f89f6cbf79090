#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// What the report is made with: `CountDirection`, the period hours and `NewLine`.
struct ReportSettings {
    std::string CountDirection;
    std::optional<std::string> WindowFromHour; // absent until the settings were read
    std::optional<std::string> WindowToHour;
    std::string NewLine;
};

// What one report leaves for the next: the header of the last table that showed an hour
// (written again by a table without one) and row 24 of the hour table.
// The first and last hour of the evaluation period, both included; nothing when either is no
// number (a report then fails every day that has records).
std::optional<std::pair<long, long>> PeriodHours(const ReportSettings& settings);

struct ReportCarryOver {
    std::string ChosenHeader;
    std::optional<HourCount> Hour24;
};

struct Report {
    std::string ReportText;
    std::vector<int> Errors; // run-time errors met, in order
    ReportCarryOver CarryOver;
};

// The report of a count text: one hourly table per day block.
Report MakeReport(std::string_view countText, const ReportSettings& settings,
                  const ReportCarryOver& carryOver);

} // namespace orva
