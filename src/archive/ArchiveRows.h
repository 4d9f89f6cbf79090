#pragma once

#include "archive/CountArchive.h"
#include "evaluation/Evaluation.h"

#include <string>
#include <vector>

namespace orva {

// The hours a download brings to the archive: every recorded hour 0-23 of the days the report
// shows, with both counts whole, dated by the two-digit year rule against `today`. Days dated
// 01.01.94, refused days, hour 24 and incomplete records stay out, as they stay out of the report.
std::vector<ArchivedHour> archiveHours(const CountData& data, const Date& today);

// True when the hour had ended by `at`: from then on its count can only grow.
bool hourEnded(const Date& date, int hour, const DateTime& at);

struct MergedHour {
    long right = 0;
    long left = 0;
    bool conflict = false; // an ended hour was offered with a lower count
};
// One hour held and offered again: the offered counts, except that an ended hour's count never
// shrinks; each direction on its own.
MergedHour mergeHour(const ArchivedHour& held, const ArchivedHour& offered, bool ended);

// Days from `from` to `to` inclusive (0 when `to` is before `from`), and the day `n` days on.
int daysBetween(const Date& from, const Date& to);
Date addDays(const Date& d, int n);
// 0 = Monday ... 6 = Sunday.
int weekday(const Date& d);
// "2026-12-07", the form the database keeps, which sorts like the dates.
std::string isoDate(const Date& d);
std::optional<Date> parseIsoDate(const std::string& text);

enum class Grouping { Day, Week, Month, Year };
// The name of the group a day falls in: "07.12.2026", "KW 49/2026", "12.2026", "2026".
std::string groupLabel(const Date& d, Grouping grouping);

// Days added up by calendar day, ISO week, month or year. A group holds only the days the
// archive has; `days` says how many that were.
struct GroupTotals {
    std::string label; // "07.12.2026", "KW 49/2026", "12.2026", "2026"
    Date first;        // first day of the calendar group (not of the days held)
    Date last;
    int days = 0;
    long right = 0;
    long left = 0;
    long periodRight = 0;
    long periodLeft = 0;
};
std::vector<GroupTotals> groupDays(const std::vector<DayTotals>& days, Grouping grouping);
// ISO week number and its year (the year the week's Thursday falls in).
std::pair<int, int> isoWeek(const Date& d);
// The days from `from` to `to` that `held` (in date order) lacks.
std::vector<Date> missingDays(const std::vector<DayTotals>& held, const Date& from, const Date& to);

// The spreadsheet forms: UTF-8 with byte order mark, ';' between fields, CR LF, dd.mm.yyyy.
// Hourly, as the export of a download writes it, so that an import reads it back.
std::string hourlyCsv(const std::vector<ArchivedHour>& hours);
std::string groupedCsv(const std::vector<GroupTotals>& groups);

} // namespace orva
