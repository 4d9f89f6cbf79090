#pragma once

#include "app/Settings.h"
#include "archive/CountArchive.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orva {

enum class ViewGrouping { Hour, Day, Week, Month, Year };
enum class RangePreset { Last7Days, ThisMonth, LastMonth, ThisYear, LastYear, All };

inline constexpr ViewGrouping kGroupings[] = {ViewGrouping::Hour, ViewGrouping::Day,
                                              ViewGrouping::Week, ViewGrouping::Month,
                                              ViewGrouping::Year};
inline constexpr RangePreset kPresets[] = {RangePreset::Last7Days, RangePreset::ThisMonth,
                                           RangePreset::LastMonth, RangePreset::ThisYear,
                                           RangePreset::LastYear,  RangePreset::All};
// Longer ranges would give charts of more hours or days than anyone can read.
inline constexpr int kMaxHourlyDays = 31;
inline constexpr int kMaxDailyDays = 366;
inline constexpr const char* kAllSites = "Alle Standorte";

std::string groupingName(ViewGrouping grouping); // "Stunde", "Tag", …
std::string presetName(RangePreset preset);      // "Letzte 7 Tage", …

// What the window shows: a range of days (inclusive), how it is grouped, the direction, a site
// or all sites added up (`site` empty), and the evaluation period for "Summe Zeitraum".
struct ViewRequest {
    Date from;
    Date to;
    ViewGrouping grouping = ViewGrouping::Day;
    CountDirection direction = CountDirection::Both;
    std::string site;
    std::vector<std::string> sites = {}; // several added up, in place of `site` when given
    int fromHour = 6;
    int toHour = 18;
};

// A preset's range on `today`; the current month and year end today. "Alles" is `extent`,
// nothing when the archive is empty.
std::optional<std::pair<Date, Date>>
presetRange(RangePreset preset, const Date& today,
            const std::optional<std::pair<Date, Date>>& extent);
bool groupingFits(ViewGrouping grouping, const Date& from, const Date& to);
// `wanted`, or the finest grouping after it that fits the range.
ViewGrouping fittingGrouping(ViewGrouping wanted, const Date& from, const Date& to);
// The same day a year before; 29.02. becomes 28.02.
Date yearEarlier(const Date& d);

// One calendar group of the range (a day in the hourly view). `days == 0` is a gap: the
// archive holds none of its days, and it shows no number at all.
struct ViewRow {
    std::string label;
    Date first; // within the range
    Date last;
    int days = 0;
    long total = 0;  // "Summe Tag": all hours, in the direction
    long period = 0; // "Summe Zeitraum": the evaluation period's hours
    // The same days one year earlier, when the archive holds any of them.
    std::optional<long> earlier;
    // Hourly view only: the hours held.
    std::array<std::optional<long>, 24> hours{};
    std::array<std::optional<long>, 24> earlierHours{};
};

struct ArchiveView {
    ViewRequest request;
    std::vector<ViewRow> rows;
    long total = 0;
    long period = 0;
    std::vector<Date> missing;
    int conflicts = 0;
    bool hasEarlier = false;
    // Average persons per hour in the direction for each weekday (0 = Monday) over the range.
    std::array<std::array<double, 24>, 7> profile{};
    std::array<int, 7> profileDays{};
    std::vector<std::string> sites; // the sites that hold counts
};

// Everything from the archive in one go; the first error ends it.
ArchiveResult<ArchiveView> makeArchiveView(CountArchive& archive, const ViewRequest& request);

// "Personen pro Tag, Rechts, Standort 1, 01.12.2026 bis 07.12.2026", for caption and print.
std::string viewTitle(const ArchiveView& view);
// "Nord + Süd", a site's name, or "Alle Standorte".
std::string siteLabel(const ViewRequest& request);
// What the sums add up, in a sentence.
std::string sumsNote(const ArchiveView& view);
// The days the archive lacks and the conflicts, in sentences; empty when there are none.
std::string gapsNote(const ArchiveView& view);

// The table as shown: a header and the rows as text, a gap's numbers empty, then "Summe".
struct ViewTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};
ViewTable viewTable(const ArchiveView& view);
// Weekdays by hour, one decimal with a comma; an hour of a weekday not held stays empty.
ViewTable profileTable(const ArchiveView& view);
// The table in today's spreadsheet form: BOM, ';', CR LF.
std::string viewCsv(const ArchiveView& view);

} // namespace orva
